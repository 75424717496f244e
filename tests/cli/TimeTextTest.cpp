#include "cli/TimeText.h"

#include <gtest/gtest.h>

namespace {

struct TimeCase {
    const char* text;
    std::optional<double> seconds;
};

TEST(TimeText, ReadsSecondsAndClockTimes)
{
    const TimeCase cases[] = {
        {"12.5", 12.5},           {"0", 0.0},           {".5", 0.5},          {"7.", 7.0},
        {"1:02.5", 62.5},         {"01:02:03.250", 3723.25}, {"100:00:00", 360000.0}, {" 3 ", 3.0},
        {"", std::nullopt},       {"-1", std::nullopt}, {"1:60", std::nullopt}, {"1:60:00", std::nullopt},
        {"1:2:3:4", std::nullopt}, {"12,5", std::nullopt}, {"1e3", std::nullopt}, {"abc", std::nullopt},
        {"1:", std::nullopt},
    };
    for (const TimeCase& c : cases)
        EXPECT_EQ(ParseTimeText(QString::fromLatin1(c.text)), c.seconds) << c.text;
}

} // namespace
