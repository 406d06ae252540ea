#include "platform/ClockTimer.h"

#include <QTimer>

ClockTimer::ClockTimer(std::function<void()> onTick) : FOnTick(std::move(onTick)) {
    FVirtual = dynamic_cast<VirtualClock*>(&Clock::Current());
    if (FVirtual) {
        FVirtualId = FVirtual->Register([this] { FOnTick(); });
        return;
    }
    FRealTimer = std::make_unique<QTimer>();
    FRealTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FRealTimer.get(), &QTimer::timeout, [this] { FOnTick(); });
}

ClockTimer::~ClockTimer() {
    if (FVirtual && dynamic_cast<VirtualClock*>(&Clock::Current()) == FVirtual)
        FVirtual->Unregister(FVirtualId);
}

void ClockTimer::SetInterval(uint32_t ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    Apply();
}

void ClockTimer::SetActive(bool active) {
    if (active == FActive) return;
    FActive = active;
    Apply();
}

void ClockTimer::Apply() {
    const bool run = FActive && FInterval > 0;
    if (FVirtual) {
        FVirtual->Schedule(FVirtualId, FInterval, run);
        return;
    }
    if (!run) {
        FRealTimer->stop();
        return;
    }
    FRealTimer->start(static_cast<int>(FInterval));
}
