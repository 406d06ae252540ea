#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class ClockTimer;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A component that raises OnTimer every Interval milliseconds, measured from
// the end of one tick to the next. Its ticks come from the program's one
// scheduler (see Clock), in real time as in virtual time, so every timer's
// ticks keep their order however busy the machine is. Ticks are delivered
// only while Enabled, Interval is not 0 and OnTimer is assigned, and never
// while the application terminates. ThreadPriority is kept for callers that
// set it; all ticks run on the main thread.
//
// An error escaping OnTimer ends that tick only and is not shown, so one
// faulty frame cannot flood the screen with messages; the one exception is
// an error that makes the application terminate, which the top-level
// handler reports.
class TThreadedTimer : public QObject {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(QObject* Sender)>;

    explicit TThreadedTimer(QObject* owner = nullptr);
    ~TThreadedTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    uint16_t Interval() const { return FInterval; }
    void SetInterval(uint16_t value);
    // An interval finer than whole milliseconds (a rate such as 72 per second);
    // Interval then reads the whole milliseconds of it. 0 stops the ticks.
    void SetIntervalUs(uint32_t us);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority value) { FThreadPriority = value; }
    const NotifyEvent& OnTimer() const { return FOnTimer; }
    // Always stores the handler and re-evaluates whether ticks run.
    void SetOnTimer(NotifyEvent handler);
    // Held, the timer keeps its place without ticking: released, its next
    // tick is due as much later as it was held.
    void SetHeld(bool held);
    // Quiet, its ticks pass without OnTimer: its owner knows they would change nothing.
    void SetQuiet(bool quiet);
    bool Quiet() const;

    // Whether ticks are being delivered now.
    bool Ticking() const;

private:
    void UpdateTimer();
    void DoTick();

    bool FEnabled = true;
    uint16_t FInterval = 1000;
    uint32_t FIntervalUs = 1000 * 1000;
    TThreadPriority FThreadPriority = tpNormal;
    NotifyEvent FOnTimer;
    std::unique_ptr<ClockTimer> FTimer;
};
