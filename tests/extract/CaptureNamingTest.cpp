#include "imaging/BmpFile.h"
#include "extract/CaptureNaming.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <ctime>

namespace {
const LocalTime kNewYearsEve{2009, 12, 31, 23, 59, 59, 999};

struct NamingCase {
    LocalTime time;
    int format;
    int sequence;
    const char* name;
};

class CaptureNamingTest : public ::testing::TestWithParam<NamingCase> {};

TEST_P(CaptureNamingTest, FollowsTheCapturePattern)
{
    const NamingCase& c = GetParam();
    const QString expected = c.name[0] ? QStringLiteral("/pictures/") + QString::fromLatin1(c.name) : QString();
    EXPECT_EQ(CaptureFileName(QStringLiteral("/pictures/"), c.time, c.format, c.sequence), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CaptureNamingTest,
    ::testing::Values(NamingCase{kNewYearsEve, 0, 0, "capture.2009.12.31.23.59.59.999.bmp"},
                      NamingCase{kNewYearsEve, 1, 0, "capture.2009.12.31.23.59.59.999.jpg"},
                      NamingCase{kNewYearsEve, 2, 0, "capture.2009.12.31.23.59.59.999.png"},
                      NamingCase{kNewYearsEve, 3, 0, "capture.2009.12.31.23.59.59.999.tif"},
                      NamingCase{kNewYearsEve, 4, 0, "capture.2009.12.31.23.59.59.999.gif"},
                      NamingCase{{2009, 4, 14, 9, 5, 3, 7}, 1, 0, "capture.2009.04.14.09.05.03.007.jpg"},
                      NamingCase{{2009, 4, 14, 9, 5, 3, 7}, 1, 1, "capture.2009.04.14.09.05.03.007_1.jpg"},
                      NamingCase{{2009, 4, 14, 9, 5, 3, 7}, 0, 12, "capture.2009.04.14.09.05.03.007_12.bmp"},
                      NamingCase{kNewYearsEve, 5, 0, ""}, NamingCase{kNewYearsEve, -1, 0, ""}));

TEST(CaptureNamingTest, KeepsALongFolderWhole)
{
    const QString folder = QStringLiteral("/") + QString(400, u'd') + QStringLiteral("/");
    EXPECT_EQ(CaptureFileName(folder, kNewYearsEve, 0), folder + QStringLiteral("capture.2009.12.31.23.59.59.999.bmp"));
}

// The process's time zone for one test: UTC+5:45, where neither the hour nor
// the minute of a clock read as UTC is the local one.
class NepalTime {
public:
    NepalTime() : saved_(qgetenv("TZ")), wasSet_(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", "<+0545>-5:45");
        tzset();
    }
    ~NepalTime()
    {
        if (wasSet_)
            qputenv("TZ", saved_);
        else
            qunsetenv("TZ");
        tzset();
    }
    NepalTime(const NepalTime&) = delete;
    NepalTime& operator=(const NepalTime&) = delete;

private:
    QByteArray saved_;
    bool wasSet_;
};

// Read between two readings of Qt's local clock, to the millisecond.
TEST(CaptureNamingTest, SystemTimeIsTheLocalTimeNow)
{
    const NepalTime zone;
    const QDateTime before = QDateTime::currentDateTime();
    const LocalTime now = SystemLocalTime();
    const QDateTime after = QDateTime::currentDateTime();
    const QDateTime read(QDate(now.year, now.month, now.day), QTime(now.hour, now.minute, now.second, now.millisecond));
    const auto text = [](const QDateTime& time) { return time.toString(Qt::ISODateWithMs).toStdString(); };
    EXPECT_TRUE(before <= read && read <= after) << text(before) << " <= " << text(read) << " <= " << text(after);
}

std::uint32_t Read32(const std::array<std::uint8_t, kBmpHeadersSize>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Read16(const std::array<std::uint8_t, kBmpHeadersSize>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

TEST(BmpHeadersTest, LaysOutBothHeadersLittleEndian)
{
    const auto headers = BmpHeaders(640, 480, 921600);
    EXPECT_EQ(headers[0], 'B');
    EXPECT_EQ(headers[1], 'M');
    EXPECT_EQ(Read32(headers, 2), 921654u);
    EXPECT_EQ(Read32(headers, 6), 0u); // both reserved words
    EXPECT_EQ(Read32(headers, 10), 54u);
    EXPECT_EQ(Read32(headers, 14), 40u);
    EXPECT_EQ(Read32(headers, 18), 640u);
    EXPECT_EQ(Read32(headers, 22), 480u);
    EXPECT_EQ(Read16(headers, 26), 1u);
    EXPECT_EQ(Read16(headers, 28), 24u);
    for (std::size_t at = 30; at < 54; at += 4)
        EXPECT_EQ(Read32(headers, at), 0u) << at;
}
} // namespace
