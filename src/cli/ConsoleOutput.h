#pragma once

#include "platform/ui/MessageService.h"

#include <QString>

struct ConversionProgress;

// The conversion's messages on standard error, each naming the clip it is
// about. Questions are answered No without being shown: nobody is there to
// answer them, and No keeps what the user asked for.
class ConsoleMessages final : public MessageService {
public:
    using MessageService::Show;
    MessageAnswer Show(const Message& message) override;

    void SetClip(const QString& clip) { clip_ = clip; }
    // A message about the clip of SetClip, or about the whole call when none is set.
    void Say(const QString& text) const;

private:
    QString clip_;
};

// One line on standard error that a conversion's progress rewrites: pictures
// written of those expected and the time left. Only on a terminal.
class ProgressLine final {
public:
    ProgressLine();
    void Show(const QString& clip, const ConversionProgress& progress);
    // Clears the line, so that the next output starts on a clean one.
    void Clear();

private:
    bool terminal_ = false;
    bool shown_ = false;
};
