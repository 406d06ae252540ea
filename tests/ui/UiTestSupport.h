#pragma once

#include "gfx/GfxPanel.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace UiTest {

// Handles messages until the condition holds, at most `limit` rounds.
inline bool RunUntil(const std::function<bool()>& done, int limit = 20000) {
    for (int i = 0; i < limit && !done(); ++i)
        Application::ProcessMessages();
    return done();
}

inline uint64_t Now() {
    return TestEnvironment::Clock().Now();
}

// Does something once a condition holds, checked every 10 ms of program
// time: how a test plays the user while the code under test waits in its
// own message loop.
class WhenReady {
public:
    WhenReady(std::function<bool()> ready, std::function<void()> act)
        : FReady(std::move(ready)), FAct(std::move(act)), FTimer([this] { Check(); }) {
        FTimer.SetInterval(10);
        FTimer.SetActive(true);
    }
    bool Done() const { return FDone; }

private:
    void Check() {
        if (FDone || !FReady()) return;
        FDone = true;
        FTimer.SetActive(false);
        FAct();
    }
    std::function<bool()> FReady;
    std::function<void()> FAct;
    bool FDone = false;
    ClockTimer FTimer;
};

// Something at a moment of program time (milliseconds from now).
inline std::unique_ptr<WhenReady> After(uint64_t ms, std::function<void()> act) {
    const uint64_t due = Now() + ms;
    return std::make_unique<WhenReady>([due] { return Now() >= due; }, std::move(act));
}

inline void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

inline void Click(QWidget* target, const QPoint& at) {
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

inline void MoveMouse(QWidget* target, const QPoint& at) {
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

// A shown window with a frame panel (192 x 416, the title frame's size) for
// the screens that lay their panels into the frame.
struct FrameWindow {
    QWidget Window;
    TGfxPanel* Frame;
    FrameWindow() : Frame(new TGfxPanel(&Window)) {
        Window.resize(192, 416);
        Frame->setGeometry(0, 0, 192, 416);
        QImage picture(192, 416, QImage::Format_RGB32);
        picture.fill(QColor(10, 20, 30));
        Frame->SetPicture(picture);
        Frame->SetFramesPerSec(72);
        Window.show();
        RunUntil([this] { return !Frame->ShowPending(); }, 200);
    }
};

} // namespace UiTest
