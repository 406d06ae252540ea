#include "platform/OutOfSightFreeze.h"

#include "platform/Clock.h"
#include "platform/PacedClock.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {
PacedClock* Paced() {
    return dynamic_cast<PacedClock*>(&Clock::Current());
}
} // namespace

OutOfSightFreeze::OutOfSightFreeze(QWidget* window) : QObject(window), FWindow(window) {
    window->installEventFilter(this);
}

OutOfSightFreeze::~OutOfSightFreeze() {
    if (FFrozen)
        if (PacedClock* clock = Paced()) clock->SetFrozen(false);
}

bool OutOfSightFreeze::InSight(const QWidget* window) {
    if (!window->isVisible() || window->isMinimized()) return false;
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed();
}

bool OutOfSightFreeze::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
        // The exposure is told to the window's native handle, made at the first show.
        if (watched == FWindow && !FHandle && FWindow->windowHandle()) {
            FHandle = FWindow->windowHandle();
            FHandle->installEventFilter(this);
        }
        // Looked at once the event has been handled, when the window's state says it.
        QMetaObject::invokeMethod(this, &OutOfSightFreeze::Follow, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void OutOfSightFreeze::Follow() {
    const bool inSight = InSight(FWindow);
    // A window not shown yet (while the splash runs) freezes nothing.
    FSeen = FSeen || inSight;
    const bool frozen = FSeen && !inSight;
    if (frozen == FFrozen) return;
    FFrozen = frozen;
    if (PacedClock* clock = Paced()) clock->SetFrozen(frozen);
}
