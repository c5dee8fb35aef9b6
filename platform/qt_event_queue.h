// The program's event queue over Qt. Qt's own events are turned into the main
// loop's events as they are delivered and kept in one queue together with the
// gadget events the program posts itself, so a posted click always comes after
// every event that was already waiting.
#pragma once

#include <deque>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "platform_events.h"

class QAbstractButton;

namespace tabulon::platform {

class QtEventQueue : public QObject, public shell::EventSource {
public:
    QtEventQueue();
    ~QtEventQueue() override;

    // Key-down and close events of this window (and its children) become
    // events of window `number`.
    void watchWindow(QWidget* window, int number);
    void watchButton(QAbstractButton* button, int window, int gadget);

    shell::PlatformEvent waitEvent() override;
    void postGadgetEvent(int window, int gadget, int subtype) override;
    void closeWindow(int window) override;

    // Whether an event is waiting, without blocking (for the tests).
    bool hasPending() const { return !queue_.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::deque<shell::PlatformEvent> queue_;
    QPointer<QWidget> window_;
    int windowNumber_ = 0;
    bool closing_ = false;
};

}  // namespace tabulon::platform
