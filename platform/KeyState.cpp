#include "platform/KeyState.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <array>

namespace {
std::array<bool, 256> down{};
// Presses since the collector last looked: a tap shorter than a frame is
// down and up again before any sample sees it.
std::array<uint8_t, 256> presses{};
KeyStateFilter* installedFilter = nullptr;
} // namespace

bool KeyState::IsDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= static_cast<int>(down.size())) return false;
    return down[static_cast<size_t>(virtualKey)];
}

void KeyState::SetDown(int virtualKey, bool isDown) {
    if (virtualKey <= 0 || virtualKey >= static_cast<int>(down.size())) return;
    const auto index = static_cast<size_t>(virtualKey);
    if (isDown && !down[index] && presses[index] < UINT8_MAX) ++presses[index];
    down[index] = isDown;
}

bool KeyState::TakePress(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= static_cast<int>(presses.size())) return false;
    const auto index = static_cast<size_t>(virtualKey);
    const bool pressed = presses[index] > 0;
    presses[index] = 0;
    return pressed;
}

void KeyState::ReleaseAll() {
    down.fill(false);
    presses.fill(0);
}

int KeyState::VirtualKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return VK_A + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    default: return 0;
    }
}

void KeyState::InstallFilter() {
    if (installedFilter || !QCoreApplication::instance()) return;
    installedFilter = new KeyStateFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(installedFilter);
}

bool KeyStateFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        KeyState::ReleaseAll();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    // The same key event visits the QWindow, the widget window and the focus
    // widget; count it at the QWindow only.
    if (!qobject_cast<QWindow*>(watched)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    KeyState::SetDown(KeyState::VirtualKeyOf(key->key()), type == QEvent::KeyPress);
    return false;
}
