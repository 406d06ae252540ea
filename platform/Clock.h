#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The one source of time of the program. The real clock reads the monotonic
// system clock and sleeps for real; the virtual clock keeps its own time,
// which only moves when something sleeps or when the message loop is idle,
// and runs the program's periodic timers itself in a fixed order.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    virtual bool IsVirtual() const = 0;

    static Clock& Current();
    // Replaces the program's clock; returns the previous one.
    static std::unique_ptr<Clock> Install(std::unique_ptr<Clock> clock);
};

class RealClock : public Clock {
public:
    RealClock();
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
    bool IsVirtual() const override { return false; }

private:
    int64_t FStartNs;
};

// Virtual time with a scheduler of periodic timers. A timer's next tick is
// due one interval after its previous tick returned (as a timer thread that
// sleeps between ticks would behave). Ticks due at the same time run in the
// order their timers were registered. A timer never ticks inside its own tick.
class VirtualClock : public Clock {
public:
    using TimerId = int;

    uint32_t TickCount() override { return static_cast<uint32_t>(FNow); }
    uint64_t Now() const { return FNow; }
    void Sleep(uint32_t ms) override { FNow += ms; }
    bool IsVirtual() const override { return true; }

    TimerId Register(std::function<void()> onTick);
    void Unregister(TimerId id);
    // Starts (due one interval from now), restarts with a new interval, or stops a timer.
    void Schedule(TimerId id, uint32_t intervalMs, bool active);

    // Runs every tick that is due now, earliest first. Returns whether any ran.
    bool RunDueTicks();
    // Moves time to the earliest due tick and runs it. Returns false when no timer is active.
    bool AdvanceToNextTick();
    bool HasActiveTimers() const;

private:
    struct Entry {
        TimerId Id = 0;
        uint64_t Due = 0;
        uint32_t Interval = 0;
        bool Active = false;
        bool Running = false;
        std::function<void()> OnTick;
    };
    Entry* Find(TimerId id);
    Entry* EarliestRunnable();
    void RunTick(TimerId id);

    uint64_t FNow = 1000;
    TimerId FNextId = 1;
    std::vector<std::unique_ptr<Entry>> FEntries;
};
