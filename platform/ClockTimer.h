#pragma once

#include "platform/Clock.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

// A periodic timer that reads the program's clock: a precise QTimer in real
// time, a timer of the virtual clock's scheduler in virtual time. The clock
// in use when the timer is made decides which.
class ClockTimer {
public:
    explicit ClockTimer(std::function<void()> onTick);
    ~ClockTimer();
    ClockTimer(const ClockTimer&) = delete;
    ClockTimer& operator=(const ClockTimer&) = delete;

    void SetInterval(uint32_t ms);
    void SetActive(bool active);
    uint32_t Interval() const { return FInterval; }
    bool Active() const { return FActive; }

private:
    void Apply();

    std::function<void()> FOnTick;
    uint32_t FInterval = 1000;
    bool FActive = false;
    VirtualClock* FVirtual = nullptr;
    VirtualClock::TimerId FVirtualId = 0;
    std::unique_ptr<QTimer> FRealTimer;
};
