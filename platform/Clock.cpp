#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace {
std::unique_ptr<Clock>& Installed() {
    static std::unique_ptr<Clock> clock = std::make_unique<RealClock>();
    return clock;
}
int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

Clock& Clock::Current() { return *Installed(); }

std::unique_ptr<Clock> Clock::Install(std::unique_ptr<Clock> clock) {
    std::unique_ptr<Clock> previous = std::move(Installed());
    Installed() = std::move(clock);
    return previous;
}

RealClock::RealClock() : FStartNs(MonotonicNs()) {}

uint32_t RealClock::TickCount() {
    // Start above zero: callers use a tick count of 0 to mean "never seen".
    return static_cast<uint32_t>((MonotonicNs() - FStartNs) / 1000000 + 1000);
}

void RealClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

VirtualClock::TimerId VirtualClock::Register(std::function<void()> onTick) {
    auto entry = std::make_unique<Entry>();
    entry->Id = FNextId++;
    entry->OnTick = std::move(onTick);
    FEntries.push_back(std::move(entry));
    return FEntries.back()->Id;
}

void VirtualClock::Unregister(TimerId id) {
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
        if ((*it)->Id != id) continue;
        // A timer removed from inside its own tick stays allocated until the tick returns.
        if ((*it)->Running) {
            (*it)->Active = false;
            (*it)->OnTick = nullptr;
            (*it)->Id = -1;
            return;
        }
        FEntries.erase(it);
        return;
    }
}

VirtualClock::Entry* VirtualClock::Find(TimerId id) {
    for (auto& entry : FEntries)
        if (entry->Id == id) return entry.get();
    return nullptr;
}

void VirtualClock::Schedule(TimerId id, uint32_t intervalMs, bool active) {
    Entry* entry = Find(id);
    if (!entry) return;
    entry->Interval = intervalMs;
    entry->Active = active && intervalMs > 0;
    entry->Due = FNow + intervalMs;
}

VirtualClock::Entry* VirtualClock::EarliestRunnable() {
    Entry* best = nullptr;
    for (auto& entry : FEntries) {
        if (!entry->Active || entry->Running) continue;
        if (!best || entry->Due < best->Due) best = entry.get();
    }
    return best;
}

bool VirtualClock::HasActiveTimers() const {
    for (const auto& entry : FEntries)
        if (entry->Active && !entry->Running) return true;
    return false;
}

void VirtualClock::RunTick(TimerId id) {
    Entry* entry = Find(id);
    entry->Running = true;
    std::function<void()> tick = entry->OnTick;
    struct Done {
        VirtualClock* Self;
        Entry* Item;
        ~Done() {
            Item->Running = false;
            if (Item->Id == -1) {
                std::erase_if(Self->FEntries, [this](const auto& e) { return e.get() == Item; });
                return;
            }
            Item->Due = Self->FNow + Item->Interval;
        }
    } done{this, entry};
    if (tick) tick();
}

bool VirtualClock::RunDueTicks() {
    bool ran = false;
    while (Entry* next = EarliestRunnable()) {
        if (next->Due > FNow) break;
        RunTick(next->Id);
        ran = true;
    }
    return ran;
}

bool VirtualClock::AdvanceToNextTick() {
    Entry* next = EarliestRunnable();
    if (!next) return false;
    if (next->Due > FNow) FNow = next->Due;
    RunTick(next->Id);
    return true;
}
