#pragma once

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class ClockTimer;
class TThreadedTimer;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The thread of a TThreadedTimer in real time: it sleeps for the interval,
// hands the tick to the main thread and waits until it has run (a blocking
// queued call), again and again while it is resumed.
class TTimerThread : public QThread {
    Q_OBJECT
public:
    explicit TTimerThread(TThreadedTimer* timer);
    ~TTimerThread() override;

    // Takes effect after the current sleep.
    void SetInterval(uint32_t ms);
    // Resumes (starting the thread the first time) or suspends the ticks.
    void SetRunning(bool running);
    void SetThreadPriority(TThreadPriority priority);

    // Stops the thread and frees it; no tick reaches the timer afterwards.
    // Safe at any time on the main thread, even from inside the thread's own
    // tick or a message loop nested in it: then the thread is only told to
    // stop, and it frees itself once that tick has returned.
    static void Dispose(TTimerThread* thread);

protected:
    void run() override;

private:
    void RunTick();

    std::mutex FLock;
    std::condition_variable FWake;
    uint32_t FInterval = 1000;
    bool FRunning = false;
    bool FStop = false;
    // Main thread only.
    TThreadedTimer* FTimer;
    bool FInTick = false;
    TThreadPriority FPriority = tpNormal;
};

// A component that raises OnTimer every Interval milliseconds, measured from
// the end of one tick to the next (sleep, then tick on the main thread). In
// real time a TTimerThread drives it; in virtual time (the clock installed
// when the timer is made) the virtual clock's scheduler does, with the same
// timing. Ticks are delivered only while Enabled, Interval is not 0 and
// OnTimer is assigned, and never while the application terminates.
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
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority value);
    const NotifyEvent& OnTimer() const { return FOnTimer; }
    // Always stores the handler and re-evaluates whether ticks run.
    void SetOnTimer(NotifyEvent handler);

    // Whether ticks come from a thread (real time) or the virtual clock.
    bool Threaded() const { return FThread != nullptr; }
    // Whether ticks are being delivered now.
    bool Ticking() const;

private:
    friend class TTimerThread;
    void UpdateTimer();
    void DoTick();

    bool FEnabled = true;
    uint16_t FInterval = 1000;
    TThreadPriority FThreadPriority = tpNormal;
    NotifyEvent FOnTimer;
    TTimerThread* FThread = nullptr;
    std::unique_ptr<ClockTimer> FVirtualTimer;
};
