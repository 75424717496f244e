#pragma once

#include <QString>

class QWidget;

enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };
// Warning is the exclamation mark of a caution or a question with consequences.
enum class MessageIcon { None, Warning };

struct Message {
    QWidget* owner = nullptr; // nullptr: a box without owner window
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

// Every message box of the program goes through this one service, so that a
// test can record what was shown and answer it.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer Show(const Message& message) = 0;

    MessageAnswer Show(QWidget* owner, const QString& text, const QString& caption,
                       MessageButtons buttons = MessageButtons::Ok, MessageIcon icon = MessageIcon::None)
    {
        return Show(Message{owner, text, caption, buttons, icon});
    }
};
