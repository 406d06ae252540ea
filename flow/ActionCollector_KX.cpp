#include "flow/ActionCollector_KX.h"

#include "foundation/brenmarError.h"
#include "platform/Exception.h"

TActionCollector::TActionCollector(QObject* gameWindow) : QObject(gameWindow) {}

void TActionCollector::SetKey(int action, uint16_t keyCode) {
    if (action < 0 || action >= static_cast<int>(FKeys.size())) throw ERangeError();
    FKeys[static_cast<size_t>(action)] = keyCode;
    // Presses from before, in a menu say, are not this game's.
    FKeyboard.TakePress(keyCode);
}

void TActionCollector::SetPadKey(int action, uint16_t keyCode) {
    if (action < 0 || action >= ActionCount) throw ERangeError();
    FPadKeys[static_cast<size_t>(action)] = keyCode;
    FKeyboard.TakePress(keyCode);
}

void TActionCollector::ForgetPresses() {
    for (size_t i = 0; i < ActionCount; ++i)
        TakePress(i);
}

bool TActionCollector::IsDown(size_t action) const {
    // Key 0 is no key: never down, so the stop action has no key of its own.
    return (FKeys[action] != 0 && FKeyboard.IsKeyDown(FKeys[action])) ||
           (FPadKeys[action] != 0 && FKeyboard.IsKeyDown(FPadKeys[action]));
}

bool TActionCollector::TakePress(size_t action) const {
    // Both are taken: a press of either is seen once.
    const bool key = FKeys[action] != 0 && FKeyboard.TakePress(FKeys[action]);
    const bool pad = FPadKeys[action] != 0 && FKeyboard.TakePress(FPadKeys[action]);
    return key || pad;
}

uint16_t TActionCollector::GetKey(int action) const {
    if (action < 0 || action >= static_cast<int>(FKeys.size())) throw ERangeError();
    return FKeys[static_cast<size_t>(action)];
}

void TActionCollector::SetRepeat(int action, bool repeat) {
    if (action < 0 || action >= ActionCount) throw ERangeError();
    FRepeats[static_cast<size_t>(action)] = repeat;
}

bool TActionCollector::GetRepeat(int action) const {
    if (action < 0 || action >= ActionCount) throw ERangeError();
    return FRepeats[static_cast<size_t>(action)];
}

void TActionCollector::PollKeys(bool aligned) {
    for (size_t i = 0; i < ActionCount; ++i) {
        const bool down = IsDown(i);
        // A press since the last sample counts once, even when the key is up
        // again already or was let go and pressed anew in between.
        const bool fresh = TakePress(i) || (down && !FWasDown[i]);
        if (fresh || (down && aligned && FRepeats[i])) FQueue.push_back(static_cast<uint8_t>(i));
        FWasDown[i] = down;
    }
}

void TActionCollector::PressAction(uint8_t action) {
    if (action >= ActionCount) throw ERangeError();
    FQueue.push_back(action);
}

uint8_t TActionCollector::PopAction() {
    ErrorReporter().Check(HasActions(), QString(), QStringLiteral("TActionCollector.PopAction"));
    // Going on past a failed check must stay harmless: an empty queue gives no action.
    if (FQueue.empty()) throw EAbort();
    const uint8_t code = FQueue.front();
    FQueue.pop_front();
    return code;
}
