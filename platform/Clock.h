#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

class VirtualClock;

// The one source of time of the program. Every periodic timer runs on one
// scheduler (VirtualClock): in tests and headless runs its time jumps from
// tick to tick; in the program (PacedClock) the same scheduler is paced by
// the wall clock. Either way the ticks, their order and their times are the
// same, so a game depends only on its inputs, never on the machine's speed.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // Whether time jumps instead of passing (nothing waits for the wall clock).
    virtual bool IsVirtual() const = 0;
    // The scheduler of the periodic timers, if this clock has one.
    virtual VirtualClock* Scheduler() { return nullptr; }

    static Clock& Current();
    // Replaces the program's clock; returns the previous one.
    static std::unique_ptr<Clock> Install(std::unique_ptr<Clock> clock);
};

// The scheduler of periodic timers, in microseconds. A timer's next tick is
// due one interval after its previous tick returned (as a timer that sleeps
// between ticks would behave). Ticks run in due order; ticks due at the same
// time run in the order their timers were registered. A timer never ticks
// inside its own tick. Scheduler time moves only to a tick's due time or by
// Sleep, so ticks keep their times however late they run.
class VirtualClock : public Clock {
public:
    using TimerId = int;

    uint32_t TickCount() override { return static_cast<uint32_t>(FNow / 1000); }
    // Scheduler time in milliseconds and in microseconds.
    uint64_t Now() const { return FNow / 1000; }
    uint64_t NowUs() const { return FNow; }
    void Sleep(uint32_t ms) override { FNow += uint64_t{ms} * 1000; }
    bool IsVirtual() const override { return true; }
    VirtualClock* Scheduler() override { return this; }

    TimerId Register(std::function<void()> onTick);
    void Unregister(TimerId id);
    // Starts (due one interval from now), restarts with a new interval, or stops a timer.
    void Schedule(TimerId id, uint64_t intervalUs, bool active);
    // Holds a timer without losing its place: released, it is due as much
    // later as it was held, so held timers keep their phases to each other.
    void Hold(TimerId id, bool held);
    // A quiet timer's owner knows that its ticks change nothing until it says
    // otherwise. Its ticks are passed in their order and at their times, as if
    // they ran, but the timer is not called and paced time does not wait for
    // them: nothing wakes for a panel on which nothing moves.
    void SetQuiet(TimerId id, bool quiet);
    // A timer whose ticks only show at a later frame may run up to the slack
    // late by the wall clock, with the next tick that wakes: paced time then
    // wakes once for both. Its ticks keep their place and time in the schedule.
    void SetSlack(TimerId id, uint64_t slackUs);

    // Runs every tick that is due now, earliest first. Returns whether any ran.
    bool RunDueTicks();
    // Moves time to the earliest due tick and runs it (in paced time, once the
    // wall clock has reached it). Returns false when no timer is active.
    bool AdvanceToNextTick();
    // One step of a message loop: the ticks due now, or else the next one.
    bool Step() { return RunDueTicks() || AdvanceToNextTick(); }
    bool HasActiveTimers() const;
    // When paced time must wake next: the earliest due time of a tick that is
    // not quiet, allowing each its slack. Empty when nothing is to wake for.
    std::optional<uint64_t> NextWake() const;
    // Runs the action once no tick is running: at once from outside every
    // tick, else right after the outermost running tick returns (a key read
    // inside a tick's nested loop acts between ticks).
    void WhenNoTickRuns(std::function<void()> action);

protected:
    struct Entry;
    // Whether the wall clock has reached a tick's due time; virtual time is always there.
    virtual bool Reached(const Entry& /*tick*/) const { return true; }
    // Waits for the wall clock to reach a tick's due time, handling events
    // meanwhile; may return early. False when waiting is over for good (the program ends).
    virtual bool WaitUntil(const Entry& /*tick*/) { return true; }
    // Told whenever the earliest due tick may have changed.
    virtual void ScheduleChanged() {}
    // Before a timer starts: time that passed with nothing scheduled counts.
    virtual void CatchUpWhenIdle() {}
    struct Entry {
        TimerId Id = 0;
        uint64_t Due = 0;
        uint64_t Interval = 0;
        uint64_t HeldFor = 0;
        bool Active = false;
        bool Held = false;
        bool Running = false;
        bool Quiet = false;
        uint64_t SlackUs = 0;
        std::function<void()> OnTick;
    };
    const Entry* EarliestRunnable() const;
    Entry* EarliestRunnable();
    // Runs (passes) the quiet ticks that come first, as long as they are reached.
    void PassReachedQuietTicks();
    bool TickRunning() const;

    uint64_t FNow = 1000 * 1000;

private:
    Entry* Find(TimerId id);
    void RunTick(Entry* entry);
    void RunBetweenTicks();

    TimerId FNextId = 1;
    std::vector<std::unique_ptr<Entry>> FEntries;
    std::vector<std::function<void()>> FBetweenTicks;
};
