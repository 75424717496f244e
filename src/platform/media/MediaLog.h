#pragma once

// FFmpeg prints its errors only. Its warnings speak of its own workings (such
// as the old full-range pixel format the filter chain asks for on purpose);
// what matters to a user the program says in its own words.
void ShowOnlyMediaErrors();
