#include "flow/MouseControl_KX.h"

#include "flow/GameF.h"

#include <QGuiApplication>
#include <QWidget>

namespace {
// The offscreen platform cannot grab and warns at every attempt.
bool CanGrab() {
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}
} // namespace

TMouseControl::~TMouseControl() {
    Release();
}

TGameForm* TMouseControl::Form() const {
    return FForm.data();
}

void TMouseControl::SetForm(TGameForm* form) {
    FForm = form;
    QWidget* panel = form ? form->GamePanelWidget() : nullptr;
    if (panel == FCaptured) return;
    Release();
    if (!panel) return;
    FCaptured = panel;
    if (CanGrab() && panel->isVisible()) panel->grabMouse();
}

void TMouseControl::Release() {
    if (FCaptured && CanGrab() && QWidget::mouseGrabber() == FCaptured) FCaptured->releaseMouse();
    FCaptured = nullptr;
}
