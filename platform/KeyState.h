#pragma once

#include <QObject>

class QKeyEvent;

// Windows virtual-key codes of the keys the game reads.
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

// The asynchronous key state: which keys are down at this moment and which
// were pressed since last asked, in virtual-key codes, fed by an
// application-wide event filter.
class KeyState {
public:
    static bool IsDown(int virtualKey);
    // A key going down counts one press; one already down counts none.
    static void SetDown(int virtualKey, bool down);
    // Whether the key was pressed since the last call for it; clears that.
    static bool TakePress(int virtualKey);
    static void ReleaseAll();
    // The virtual-key code of a Qt key, or 0 when the game has no use for it.
    static int VirtualKeyOf(int qtKey);
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
