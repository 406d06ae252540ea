#pragma once

#include "flow/KeyboardHandler.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <deque>

// Polls one player's five keys (index = action code: left, right, turn, drop, stop) once per brick
// frame and queues an action for every fresh press, a tap between two samples included; a key
// marked to repeat queues again while it is held and the brick stands on a column boundary.
class TActionCollector : public QObject {
public:
    static constexpr int ActionCount = 5;

    explicit TActionCollector(QObject* gameWindow);

    // The key's place (a scan code); 0 is no key.
    void SetKey(int action, uint16_t keyCode);
    uint16_t GetKey(int action) const;
    // The pad button standing for the action; it acts exactly as a second key.
    void SetPadKey(int action, uint16_t keyCode);
    void SetRepeat(int action, bool repeat);
    bool GetRepeat(int action) const;

    void PollKeys(bool aligned);
    // Drops the presses no sample has seen yet: those made while the game was paused.
    void ForgetPresses();
    // Queues an action as a fresh press of its key would: the computer player's hand.
    void PressAction(uint8_t action);
    bool HasActions() const { return !FQueue.empty(); }
    int QueuedCount() const { return static_cast<int>(FQueue.size()); }
    // Removes and returns the oldest queued code.
    uint8_t PopAction();

private:
    std::deque<uint8_t> FQueue;
    bool IsDown(size_t action) const;
    bool TakePress(size_t action) const;

    std::array<uint16_t, 6> FKeys{};
    std::array<uint16_t, ActionCount> FPadKeys{};
    TKeyboardHandler FKeyboard;
    std::array<bool, ActionCount> FWasDown{};
    std::array<bool, ActionCount> FRepeats{};
};
