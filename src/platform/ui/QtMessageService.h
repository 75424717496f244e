#pragma once

#include "platform/ui/MessageService.h"

// Message boxes on screen, modal to their owner.
class QtMessageService final : public MessageService {
public:
    using MessageService::Show;
    MessageAnswer Show(const Message& message) override;
};
