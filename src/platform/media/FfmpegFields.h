#pragma once

#include <cstring>
#include <type_traits>

// FFmpeg is C and keeps whatever number a stream declares in its enum fields
// (an MPEG-2 stream may name any of 256 colour matrices); C++ must not read a
// number outside the enum's values through the enum type, so such fields are
// read as the integers they hold.
template <typename Enum>
int StoredNumber(const Enum& field)
{
    std::underlying_type_t<Enum> number;
    std::memcpy(&number, &field, sizeof number);
    return static_cast<int>(number);
}
