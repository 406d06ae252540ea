#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>

// A periodic timer of the program's scheduler (the clock in use when the
// timer is made). Its interval is in milliseconds, or in microseconds for
// rates that are no whole number of milliseconds apart.
class ClockTimer {
public:
    explicit ClockTimer(std::function<void()> onTick);
    ~ClockTimer();
    ClockTimer(const ClockTimer&) = delete;
    ClockTimer& operator=(const ClockTimer&) = delete;

    void SetInterval(uint32_t ms) { SetIntervalUs(uint64_t{ms} * 1000); }
    void SetIntervalUs(uint64_t us);
    void SetActive(bool active);
    // Held, the timer keeps its place: released, it is due as much later as it was held.
    void SetHeld(bool held);
    // Quiet, its ticks are passed in their turn without calling it (see VirtualClock::SetQuiet).
    void SetQuiet(bool quiet);
    bool Quiet() const { return FQuiet; }
    // May run up to this late by the wall clock, with the next tick that wakes (see VirtualClock::SetSlack).
    void SetSlackUs(uint64_t us);
    uint32_t Interval() const { return static_cast<uint32_t>(FIntervalUs / 1000); }
    uint64_t IntervalUs() const { return FIntervalUs; }
    bool Active() const { return FActive; }
    bool Held() const { return FHeld; }

private:
    void Apply();

    std::function<void()> FOnTick;
    uint64_t FIntervalUs = 1000 * 1000;
    bool FActive = false;
    bool FHeld = false;
    bool FQuiet = false;
    VirtualClock* FScheduler = nullptr;
    VirtualClock::TimerId FId = 0;
};
