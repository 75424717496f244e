#pragma once

#include "platform/media/MediaResult.h"

#include <QString>

#include <cstdint>

// The texts of how a conversion ended, for whichever front end shows them.
namespace ConversionMessages {
inline QString PicturesNotWritten(std::int64_t count, const QString& folder, const QString& firstError)
{
    return QStringLiteral("%1 of the pictures could not be written to %2.\nThe first error: %3")
        .arg(count)
        .arg(folder, firstError);
}

inline QString EndedEarly(MediaResult result)
{
    return QStringLiteral("The conversion ended early: %1").arg(QString::fromStdString(MediaErrorText(result)));
}
} // namespace ConversionMessages
