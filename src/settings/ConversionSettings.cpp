#include "settings/ConversionSettings.h"

#include <array>
#include <charconv>

double PresetFrameRate(int frameRateIndex)
{
    static constexpr std::array<double, 6> kRates = {kDefaultFrameRate, 23.976, 24.0, 25.0, 29.97, 30.0};
    if (frameRateIndex < 0 || frameRateIndex >= static_cast<int>(kRates.size()))
        return -1.0;
    return kRates[static_cast<std::size_t>(frameRateIndex)];
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
