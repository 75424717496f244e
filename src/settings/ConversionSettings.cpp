#include "settings/ConversionSettings.h"

#include <array>
#include <charconv>

void ChooseFrameRate(ConversionSettings& settings, int frameRateIndex, double customRate, double sourceFrameRate)
{
    static constexpr std::array<double, 5> kPresets = {23.976, 24.0, 25.0, 29.97, 30.0};
    settings.frameRateIndex = frameRateIndex;
    if (frameRateIndex == kCustomFrameRateIndex) {
        settings.frameRate = customRate;
    } else if (frameRateIndex >= 1 && frameRateIndex <= static_cast<int>(kPresets.size())) {
        settings.frameRate = kPresets[static_cast<std::size_t>(frameRateIndex - 1)];
    } else {
        settings.frameRateIndex = kOriginalFrameRateIndex;
        settings.frameRate = sourceFrameRate;
    }
}

double ParseDecimal(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value);
    (void)end;
    return error == std::errc() ? value : 0.0;
}
