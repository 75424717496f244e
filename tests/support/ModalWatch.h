#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

// Waits in the event loop for the first modal window of type T, hands it to
// inspect and then dismisses it, so a test can read what a real dialog shows.
template <typename T>
class ModalWatch final {
public:
    explicit ModalWatch(std::function<void(T&)> inspect)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this, inspect = std::move(inspect)] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window)
                return;
            poll_.stop();
            inspect(*window);
            window->reject();
        });
        poll_.start(10);
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

private:
    QTimer poll_;
};
