#include "cli/ConsoleOutput.h"

#include "extract/ConversionJob.h"
#include "platform/media/ClockText.h"

#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace {
const char* const kCommand = "framelift-extract";
const char* const kClearToEnd = "\033[K";
} // namespace

MessageAnswer ConsoleMessages::Show(const Message& message)
{
    if (message.buttons != MessageButtons::Ok)
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    Say(message.caption.isEmpty() ? message.text : message.caption + QStringLiteral(": ") + message.text);
    return MessageAnswer::Ok;
}

void ConsoleMessages::Say(const QString& text) const
{
    if (clip_.isEmpty())
        std::fprintf(stderr, "%s: %s\n", kCommand, qPrintable(text.trimmed()));
    else
        std::fprintf(stderr, "%s: %s: %s\n", kCommand, qPrintable(clip_), qPrintable(text.trimmed()));
}

ProgressLine::ProgressLine() : terminal_(isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(const QString& clip, const ConversionProgress& progress)
{
    if (!terminal_)
        return;
    const QString left = progress.secondsLeft
                             ? QStringLiteral(", %1 left").arg(ClockText(*progress.secondsLeft))
                             : QString();
    std::fprintf(stderr, "\r%s: %lld of %lld pictures%s%s", qPrintable(QFileInfo(clip).fileName()),
                 static_cast<long long>(progress.written), static_cast<long long>(progress.expected),
                 qPrintable(left), kClearToEnd);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Clear()
{
    if (!shown_)
        return;
    std::fprintf(stderr, "\r%s", kClearToEnd);
    std::fflush(stderr);
    shown_ = false;
}
