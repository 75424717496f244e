#pragma once

#include "platform/media/MediaResult.h"

#include <QString>

class MessageService;
class QWidget;

// The three kinds of box a conversion shows: a message on the main window
// captioned with the application title, a diagnostic box without owner, and
// the platform's text for a result code.
class ConversionReporter final {
public:
    ConversionReporter(MessageService& messages, QWidget* owner) : messages_(messages), owner_(owner) {}

    void Message(const QString& text) const;
    void MessageWithCaption(const QString& text, const QString& caption) const;
    // text holds %1 for the result code in hexadecimal.
    void Diagnostic(const QString& text, MediaResult result) const;
    void Diagnostic(const QString& text) const;
    void ErrorText(MediaResult result) const;

    MessageService& Messages() const { return messages_; }
    QWidget* Owner() const { return owner_; }

private:
    MessageService& messages_;
    QWidget* owner_;
};
