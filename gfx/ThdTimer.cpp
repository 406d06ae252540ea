#include "gfx/ThdTimer.h"

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/ClockTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>

namespace {
QThread::Priority QtPriority(TThreadPriority priority) {
    switch (priority) {
    case tpIdle:
        return QThread::IdlePriority;
    case tpLowest:
        return QThread::LowestPriority;
    case tpLower:
        return QThread::LowPriority;
    case tpNormal:
        return QThread::NormalPriority;
    case tpHigher:
        return QThread::HighPriority;
    case tpHighest:
        return QThread::HighestPriority;
    case tpTimeCritical:
        return QThread::TimeCriticalPriority;
    }
    return QThread::NormalPriority;
}
} // namespace

// --- TTimerThread ----------------------------------------------------------

TTimerThread::TTimerThread(TThreadedTimer* timer) : FTimer(timer) {}

TTimerThread::~TTimerThread() = default;

void TTimerThread::SetInterval(uint32_t ms) {
    std::lock_guard lock(FLock);
    FInterval = ms;
}

void TTimerThread::SetRunning(bool running) {
    {
        std::lock_guard lock(FLock);
        if (FStop) return;
        FRunning = running;
    }
    FWake.notify_all();
    if (running && !isRunning() && !isFinished()) start(QtPriority(FPriority));
}

void TTimerThread::SetThreadPriority(TThreadPriority priority) {
    FPriority = priority;
    if (isRunning()) setPriority(QtPriority(priority));
}

void TTimerThread::run() {
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FStop || FRunning; });
        if (FStop) return;
        // Only a stop cuts the sleep short; a new interval counts from the next one.
        if (FWake.wait_for(lock, std::chrono::milliseconds(FInterval), [this] { return FStop; }))
            return;
        if (!FRunning) continue;
        lock.unlock();
        QMetaObject::invokeMethod(
            this, [this] { RunTick(); }, Qt::BlockingQueuedConnection);
        lock.lock();
    }
}

void TTimerThread::RunTick() {
    if (!FTimer) return;
    FInTick = true;
    FTimer->DoTick();
    FInTick = false;
}

void TTimerThread::Dispose(TTimerThread* thread) {
    {
        std::lock_guard lock(thread->FLock);
        thread->FStop = true;
        thread->FRunning = false;
    }
    thread->FWake.notify_all();
    thread->FTimer = nullptr;
    if (thread->FInTick) {
        // The thread waits for the tick that is running below us; it ends
        // when that tick returns, and only then may it be freed.
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        return;
    }
    // A tick handed over but not yet run is withdrawn, which releases the
    // waiting thread. One may be handed over just after, so repeat until it is gone.
    while (!thread->wait(QDeadlineTimer(2)))
        QCoreApplication::removePostedEvents(thread, QEvent::MetaCall);
    delete thread;
}

// --- TThreadedTimer --------------------------------------------------------

TThreadedTimer::TThreadedTimer(QObject* owner) : QObject(owner) {
    if (Clock::Current().IsVirtual())
        FVirtualTimer = std::make_unique<ClockTimer>([this] { DoTick(); });
    else
        FThread = new TTimerThread(this);
    if (FThread) FThread->SetInterval(FInterval);
}

TThreadedTimer::~TThreadedTimer() {
    FEnabled = false;
    UpdateTimer();
    if (FThread) TTimerThread::Dispose(FThread);
}

void TThreadedTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TThreadedTimer::SetInterval(uint16_t value) {
    if (value == FInterval) return;
    FInterval = value;
    if (FThread) FThread->SetInterval(value);
    UpdateTimer();
}

void TThreadedTimer::SetThreadPriority(TThreadPriority value) {
    if (value == FThreadPriority) return;
    FThreadPriority = value;
    if (FThread) FThread->SetThreadPriority(value);
    UpdateTimer();
}

void TThreadedTimer::SetOnTimer(NotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

bool TThreadedTimer::Ticking() const {
    return FEnabled && FInterval != 0 && FOnTimer;
}

void TThreadedTimer::UpdateTimer() {
    const bool run = Ticking();
    if (FThread) {
        FThread->SetRunning(run);
        return;
    }
    FVirtualTimer->SetInterval(FInterval);
    FVirtualTimer->SetActive(run);
}

void TThreadedTimer::DoTick() {
    if (Application::Terminated()) return;
    // A copy: the handler may free this timer (and with it FOnTimer) while it runs.
    const NotifyEvent handler = FOnTimer;
    if (!handler) return;
    try {
        handler(this);
    } catch (...) {
        if (Application::Terminated()) Application::ShowException(std::current_exception());
    }
}
