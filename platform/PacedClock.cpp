#include "platform/PacedClock.h"

#include "platform/Application.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

namespace {
int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

PacedClock::PacedClock(double pace) : FPace(pace > 0 ? pace : 1.0), FStartNs(MonotonicNs()) {}

uint64_t PacedClock::PacedNow() const {
    const auto wallUs = static_cast<uint64_t>(static_cast<double>(MonotonicNs() - FStartNs) / 1000.0 * FPace);
    // Scheduler time starts where a fresh scheduler starts.
    return wallUs + 1000 * 1000 - FOffsetUs;
}

uint32_t PacedClock::TickCount() {
    CatchUpWhenIdle();
    return VirtualClock::TickCount();
}

void PacedClock::CatchUpWhenIdle() {
    // Quiet ticks are passed by the loops only, never here: a handler in the
    // middle of its work must not see time move by how fast the machine is.
    if (HasActiveTimers()) return;
    const uint64_t now = FFrozen ? FFrozenAtUs : PacedNow();
    if (now > FNow) FNow = now;
}

void PacedClock::Sleep(uint32_t ms) {
    CatchUpWhenIdle();
    VirtualClock::Sleep(ms);
    const uint64_t now = PacedNow();
    if (now < FNow) SleepFor(FNow - now);
}

void PacedClock::SleepFor(uint64_t schedulerUs) const {
    std::this_thread::sleep_for(
        std::chrono::microseconds(static_cast<int64_t>(static_cast<double>(schedulerUs) / FPace)));
}

void PacedClock::SetFrozen(bool frozen) {
    if (frozen == FFrozen) return;
    FFrozen = frozen;
    if (frozen)
        FFrozenAtUs = PacedNow();
    else
        FOffsetUs += PacedNow() - FFrozenAtUs;
    Arm();
}

bool PacedClock::Reached(const Entry& tick) const {
    if (FFrozen) return false;
    const uint64_t now = PacedNow();
    if (now < tick.Due) return false;
    // A quiet tick is passed late by design, not because the machine stalled.
    if (!tick.Quiet && now - tick.Due > MaxLagUs) FOffsetUs += now - tick.Due;
    return true;
}

bool PacedClock::WaitUntil(const Entry& tick) {
    if (Application::Terminated()) return false;
    if (!QCoreApplication::instance()) {
        const uint64_t now = PacedNow();
        if (now < tick.Due) SleepFor(tick.Due - now);
        return true;
    }
    OwnLoop loop;
    Arm();
    // Returns after the deadline's timer or any other event: the caller looks again.
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return !Application::Terminated();
}

void PacedClock::ScheduleChanged() { Arm(); }

void PacedClock::Arm() {
    if (!QCoreApplication::instance()) return;
    if (!FDeadline) {
        // Owned by the application, so it goes before the event loop does.
        FDeadline = new QTimer(QCoreApplication::instance());
        FDeadline->setSingleShot(true);
        FDeadline->setTimerType(Qt::PreciseTimer);
        QObject::connect(FDeadline, &QTimer::timeout, [this] { DeadlineReached(); });
    }
    const std::optional<uint64_t> wake = FFrozen ? std::nullopt : NextWake();
    if (!wake) {
        FDeadline->stop();
        return;
    }
    const uint64_t now = PacedNow();
    const double waitUs = *wake > now ? static_cast<double>(*wake - now) / FPace : 0.0;
    FDeadline->start(static_cast<int>((waitUs + 999.0) / 1000.0));
}

void PacedClock::DeadlineReached() {
    // An own loop is waiting for this deadline and steps the scheduler itself.
    if (OwnLoop::Running()) return;
    // The program is ending (an error report may still be open): no more game.
    if (Application::Terminated()) return;
    // The main loop: the same step as an own loop's turn.
    RunGuarded([this] {
        QCoreApplication::sendPostedEvents();
        PassReachedQuietTicks();
        if (RunDueTicks()) return;
        const Entry* next = EarliestRunnable();
        if (next && Reached(*next)) AdvanceToNextTick();
    });
    Arm();
}
