#include "gfx/ThdTimer.h"

#include "platform/Application.h"
#include "platform/ClockTimer.h"

#include <algorithm>

TThreadedTimer::TThreadedTimer(QObject* owner)
    : QObject(owner), FTimer(std::make_unique<ClockTimer>([this] { DoTick(); })) {}

TThreadedTimer::~TThreadedTimer() = default;

void TThreadedTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TThreadedTimer::SetInterval(uint16_t value) {
    if (value == FInterval && FIntervalUs == uint32_t{value} * 1000) return;
    FInterval = value;
    FIntervalUs = uint32_t{value} * 1000;
    UpdateTimer();
}

void TThreadedTimer::SetIntervalUs(uint32_t us) {
    if (us == FIntervalUs) return;
    FIntervalUs = us;
    FInterval = static_cast<uint16_t>(std::min<uint32_t>(us / 1000, UINT16_MAX));
    UpdateTimer();
}

void TThreadedTimer::SetOnTimer(NotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TThreadedTimer::SetHeld(bool held) { FTimer->SetHeld(held); }

void TThreadedTimer::SetQuiet(bool quiet) { FTimer->SetQuiet(quiet); }

bool TThreadedTimer::Quiet() const { return FTimer->Quiet(); }

bool TThreadedTimer::Ticking() const { return FEnabled && FIntervalUs != 0 && FOnTimer; }

void TThreadedTimer::UpdateTimer() {
    FTimer->SetIntervalUs(FIntervalUs);
    FTimer->SetActive(Ticking());
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
