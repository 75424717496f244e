#include "platform/ui/WindowMessage.h"

#include <QCoreApplication>

WindowMessageEvent::WindowMessageEvent(int message_, long long wParam_, long long lParam_)
    : QEvent(EventType()), message(message_), wParam(wParam_), lParam(lParam_)
{
}

QEvent::Type WindowMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject& receiver, int message, long long wParam, long long lParam)
{
    QCoreApplication::postEvent(&receiver, new WindowMessageEvent(message, wParam, lParam));
}
