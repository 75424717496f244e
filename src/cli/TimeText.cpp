#include "cli/TimeText.h"

#include <QRegularExpression>

std::optional<double> ParseTimeText(const QString& text)
{
    static const QRegularExpression kTime(
        QStringLiteral(R"(^(?:(?:(\d+):)?(\d+):)?(\d+(?:\.\d*)?|\.\d+)$)"));
    const QRegularExpressionMatch match = kTime.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool hasHours = match.hasCaptured(1);
    const bool hasMinutes = match.hasCaptured(2);
    const double hours = hasHours ? match.captured(1).toDouble() : 0.0;
    const double minutes = hasMinutes ? match.captured(2).toDouble() : 0.0;
    const double seconds = match.captured(3).toDouble();
    if ((hasMinutes && seconds >= 60.0) || (hasHours && minutes >= 60.0))
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}
