#include "flow/ActionCollector_KX.h"

#include "foundation/brenmarError.h"
#include "platform/Exception.h"

TActionCollector::TActionCollector(QObject* gameWindow) : QObject(gameWindow) {}

void TActionCollector::SetKey(int action, uint16_t virtualKey) {
    if (action < 0 || action >= static_cast<int>(FKeys.size())) throw ERangeError();
    FKeys[static_cast<size_t>(action)] = virtualKey;
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
        // Key 0 is no key: never down, so the stop action has no key of its own.
        if (FKeys[i] != 0 && FKeyboard.IsKeyDown(FKeys[i])) {
            if (!FWasDown[i] || (aligned && FRepeats[i])) FQueue.push_back(static_cast<uint8_t>(i));
            FWasDown[i] = true;
        } else {
            FWasDown[i] = false;
        }
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
