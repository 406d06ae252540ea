#include "platform/ClockTimer.h"

ClockTimer::ClockTimer(std::function<void()> onTick) : FOnTick(std::move(onTick)) {
    FScheduler = Clock::Current().Scheduler();
    if (FScheduler) FId = FScheduler->Register([this] { FOnTick(); });
}

ClockTimer::~ClockTimer() {
    // A clock replaced since (tests do that) has taken its timers with it.
    if (FScheduler && Clock::Current().Scheduler() == FScheduler) FScheduler->Unregister(FId);
}

void ClockTimer::SetIntervalUs(uint64_t us) {
    if (us == FIntervalUs) return;
    FIntervalUs = us;
    Apply();
}

void ClockTimer::SetActive(bool active) {
    if (active == FActive) return;
    FActive = active;
    Apply();
}

void ClockTimer::SetHeld(bool held) {
    if (held == FHeld) return;
    FHeld = held;
    if (FScheduler) FScheduler->Hold(FId, held);
}

void ClockTimer::SetQuiet(bool quiet) {
    if (quiet == FQuiet) return;
    FQuiet = quiet;
    if (FScheduler) FScheduler->SetQuiet(FId, quiet);
}

void ClockTimer::SetSlackUs(uint64_t us) {
    if (FScheduler) FScheduler->SetSlack(FId, us);
}

void ClockTimer::Apply() {
    if (FScheduler) FScheduler->Schedule(FId, FIntervalUs, FActive && FIntervalUs > 0);
}
