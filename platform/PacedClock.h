#pragma once

#include "platform/Clock.h"

#include <QPointer>
#include <QTimer>

// The program's clock: the scheduler of VirtualClock, paced by the wall
// clock. A tick due at scheduler time t runs once the wall clock has reached
// t; ticks run in the scheduler's order and at the scheduler's times however
// late they run, so a slow machine plays the same game, only later. The main
// thread sleeps until the next due tick that is not quiet: one timer for the
// next deadline; the quiet ticks before it are passed when it wakes.
class PacedClock : public VirtualClock {
public:
    // pace: scheduler time per wall time (1 is real time; more runs the same
    // ticks in the same order, only sooner).
    explicit PacedClock(double pace = 1.0);

    uint32_t TickCount() override;
    // Moves scheduler time on and sleeps until the wall clock is there too.
    void Sleep(uint32_t ms) override;
    bool IsVirtual() const override { return false; }

    // Held around every message loop of the program's own (ProcessMessages,
    // waits): such a loop steps the scheduler itself, one step per turn, and
    // the timer of the next deadline only wakes it.
    class OwnLoop {
    public:
        OwnLoop() { ++depth; }
        ~OwnLoop() { --depth; }
        OwnLoop(const OwnLoop&) = delete;
        OwnLoop& operator=(const OwnLoop&) = delete;
        static bool Running() { return depth > 0; }

    private:
        static inline int depth = 0;
    };

    // When the wall clock is further ahead than this, the schedule stops
    // trying to catch up (after a stall or a modal dialog): the ticks go on
    // from where they were instead of running in a burst.
    static constexpr uint64_t MaxLagUs = 250 * 1000;

    // Frozen, no tick is reached and nothing wakes; thawed, every timer goes
    // on where it was, the frozen time not counted (a pause of everything).
    void SetFrozen(bool frozen);
    bool Frozen() const { return FFrozen; }

protected:
    bool Reached(const Entry& tick) const override;
    bool WaitUntil(const Entry& tick) override;
    void ScheduleChanged() override;
    void CatchUpWhenIdle() override;

private:
    // Wall time in scheduler units: where the scheduler would be with no lag.
    uint64_t PacedNow() const;
    void Arm();
    void DeadlineReached();
    void SleepFor(uint64_t schedulerUs) const;

    double FPace;
    int64_t FStartNs;
    mutable uint64_t FOffsetUs = 0;
    bool FFrozen = false;
    uint64_t FFrozenAtUs = 0;
    QPointer<QTimer> FDeadline;
};
