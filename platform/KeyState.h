#pragma once

#include <QObject>

class QKeyEvent;

// Windows virtual-key codes of the keys the menus read (by their meaning on
// this keyboard's layout).
enum VirtualKey : int {
    VK_RETURN = 13,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_A = 65, // letters are 65 ('A') to 90 ('Z')
};

// The game's keys are places on the keyboard: the native scan code of the
// key (on Linux the X key code, the evdev code plus 8), whatever the layout
// prints on it. These are the places of the default keys.
namespace ScanCode {
constexpr int Escape = 9;
constexpr int W = 25;
constexpr int P = 33;
constexpr int A = 38;
constexpr int S = 39;
constexpr int D = 40;
constexpr int Up = 111;
constexpr int Left = 113;
constexpr int Right = 114;
constexpr int Down = 116;
// Key codes from here on are no keyboard's: the gamepads' buttons, by player.
constexpr int FirstPad = 512;
constexpr int Limit = 1024;
} // namespace ScanCode

// The asynchronous key state: which keys are down at this moment and which
// were pressed since last asked, by key code (a scan code or a pad's button),
// fed by an application-wide event filter and by the gamepads.
class KeyState {
public:
    static bool IsDown(int keyCode);
    // A key going down counts one press; one already down counts none.
    static void SetDown(int keyCode, bool down);
    // Whether the key was pressed since the last call for it; clears that.
    static bool TakePress(int keyCode);
    static void ReleaseAll();
    // The virtual-key code of a Qt key, or 0 when the menus have no use for it.
    static int VirtualKeyOf(int qtKey);
    // The key's place: its native scan code, or for an event that carries
    // none (a synthesized one) the place of its key on a US keyboard; 0 when
    // neither is known.
    static int ScanCodeOf(const QKeyEvent& event);
    static int ScanCodeOfQtKey(int qtKey);
    // The Qt key at a place on a US keyboard, or 0.
    static int QtKeyAt(int scanCode);
    // Whether the code is a keyboard key's place (not a pad's, not 0).
    static bool IsKeyboardKey(int keyCode) { return keyCode > 0 && keyCode < ScanCode::FirstPad; }
    // The key code standing for one player's pad action.
    static int PadKey(int player, int action) { return ScanCode::FirstPad + player * 8 + action; }
    // Installs the filter on the running application (once).
    static void InstallFilter();
};

// Counts a key only once per press: events reaching a window, not their
// propagation to children; X's auto-repeat pairs are ignored; all keys are
// released when the application loses focus.
class KeyStateFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
