#include "ui/brenmarSplashForm.h"

#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TbmSplashForm::TbmSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setFixedSize(257, 112);
    setFocusPolicy(Qt::StrongFocus);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(s->geometry().center());
        move(r.topLeft());
    }
    ArmSkip();
}

int64_t TbmSplashForm::SecondsShown() const {
    return static_cast<uint32_t>(Clock::Current().TickCount() - FShownTick) / 1000;
}

void TbmSplashForm::WaitAndClose() {
    const auto done = [this] { return FDismissed || SecondsShown() >= ShownSeconds; };
    // Woken at the seventh second even when nothing else happens meanwhile.
    const int64_t left =
        ShownSeconds * 1000 -
        static_cast<int64_t>(static_cast<uint32_t>(Clock::Current().TickCount() - FShownTick));
    ProcessMessagesUntil(done, left > 0 ? left : 0);
    close();
}

void TbmSplashForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FShownTick = Clock::Current().TickCount();
}

void TbmSplashForm::keyPressEvent(QKeyEvent* event) {
    if (TWiper::AnyWipeRunning())
        RequestSkip();
    else if (event->key() == Qt::Key_Escape)
        Application::Terminate();
    else
        FDismissed = true;
}

void TbmSplashForm::closeEvent(QCloseEvent* event) {
    ClearSkip();
    QWidget::closeEvent(event);
}
