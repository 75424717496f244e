#pragma once

#include <QString>

// A moment of local time, to the millisecond.
struct LocalTime {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The system clock in the local time zone.
LocalTime SystemLocalTime();

// outputFolder (ending with '/') followed by
// capture.<yyyy>.<mm>.<dd>.<hh>.<mm>.<ss>.<mmm>[_<sequence>].<extension>;
// the sequence part only when sequence is above 0; the extension is the
// format's. Empty for a code no format has.
QString CaptureFileName(const QString& outputFolder, const LocalTime& time, int outputFormat, int sequence = 0);
