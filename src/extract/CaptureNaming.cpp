#include "extract/CaptureNaming.h"

#include "imaging/PictureFormats.h"

#include <chrono>
#include <ctime>

LocalTime SystemLocalTime()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto sinceEpoch = now.time_since_epoch();
    const auto millisecond = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
            static_cast<int>(millisecond)};
}

QString CaptureFileName(const QString& outputFolder, const LocalTime& time, int outputFormat, int sequence)
{
    const PictureFormat* format = FindPictureFormat(outputFormat);
    if (format == nullptr)
        return {};
    const QString stamp = QString::asprintf("capture.%04d.%02d.%02d.%02d.%02d.%02d.%03d", time.year, time.month,
                                            time.day, time.hour, time.minute, time.second, time.millisecond);
    const QString suffix = sequence > 0 ? QStringLiteral("_%1").arg(sequence) : QString();
    return outputFolder + stamp + suffix + u'.' + QLatin1StringView(format->extension);
}
