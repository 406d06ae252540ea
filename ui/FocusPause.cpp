#include "ui/FocusPause.h"

#include <QEvent>
#include <QWidget>

TFocusPause::TFocusPause(QWidget* window, std::function<void()> onFocusLost)
    : QObject(window), FOnFocusLost(std::move(onFocusLost)) {
    window->installEventFilter(this);
}

bool TFocusPause::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && FOnFocusLost) FOnFocusLost();
    return QObject::eventFilter(watched, event);
}
