#include "flow/KeyboardHandler.h"

#include "platform/KeyState.h"

bool TKeyboardHandler::IsKeyDown(int virtualKey) const {
    try {
        return KeyState::IsDown(virtualKey);
    } catch (...) {
        return false;
    }
}

bool TKeyboardHandler::TakePress(int virtualKey) const {
    try {
        return KeyState::TakePress(virtualKey);
    } catch (...) {
        return false;
    }
}
