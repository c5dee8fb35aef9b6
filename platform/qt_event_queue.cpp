#include "qt_event_queue.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>

#include "qt_key_map.h"

namespace tabulon::platform {

QtEventQueue::QtEventQueue()
{
    QCoreApplication::instance()->installEventFilter(this);
}

QtEventQueue::~QtEventQueue()
{
    if (auto* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

void QtEventQueue::watchWindow(QWidget* window, int number)
{
    window_ = window;
    windowNumber_ = number;
}

void QtEventQueue::watchButton(QAbstractButton* button, int window, int gadget)
{
    QObject::connect(button, &QAbstractButton::clicked, this, [this, window, gadget] {
        queue_.push_back({shell::EventKind::Gadget, window, gadget, 0, 0});
    });
}

bool QtEventQueue::eventFilter(QObject* watched, QEvent* event)
{
    if (!window_ || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        // Consumed here, so the key is queued once and not again for each parent
        // it would propagate to. Alt held or not, the key is the same.
        const auto* key = static_cast<QKeyEvent*>(event);
        queue_.push_back({shell::EventKind::KeyDown, windowNumber_, 0, 0, windowsVirtualKey(key->key())});
        return true;
    }
    if (event->type() == QEvent::Close && widget == window_ && !closing_) {
        // A close request: the loop decides; the window stays until it does.
        queue_.push_back({shell::EventKind::Close, windowNumber_, 0, 0, 0});
        event->ignore();
        return true;
    }
    return false;
}

shell::PlatformEvent QtEventQueue::waitEvent()
{
    while (queue_.empty()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    shell::PlatformEvent event = queue_.front();
    queue_.pop_front();
    return event;
}

void QtEventQueue::postGadgetEvent(int window, int gadget, int subtype)
{
    queue_.push_back({shell::EventKind::Gadget, window, gadget, subtype, 0});
}

void QtEventQueue::closeWindow(int window)
{
    if (window == windowNumber_ && window_) {
        closing_ = true;
        window_->close();
    }
}

}  // namespace tabulon::platform
