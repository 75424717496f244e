#pragma once

#include "platform/ui/MessageService.h"

#include <QList>

#include <deque>

// Records every message box and answers from a script; an unscripted box
// gets its first button (Ok or Yes).
class RecordingMessageService final : public MessageService {
public:
    using MessageService::Show;

    MessageAnswer Show(const Message& message) override
    {
        shown.append(message);
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const Message& message : shown)
            texts.append(message.text);
        return texts;
    }

    QList<Message> shown;
    std::deque<MessageAnswer> answers;
};
