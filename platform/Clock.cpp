#include "platform/Clock.h"

#include "platform/PacedClock.h"

#include <algorithm>

namespace {
std::unique_ptr<Clock>& Installed() {
    static std::unique_ptr<Clock> clock = std::make_unique<PacedClock>();
    return clock;
}
} // namespace

Clock& Clock::Current() { return *Installed(); }

std::unique_ptr<Clock> Clock::Install(std::unique_ptr<Clock> clock) {
    std::unique_ptr<Clock> previous = std::move(Installed());
    Installed() = std::move(clock);
    return previous;
}

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
        } else {
            FEntries.erase(it);
        }
        ScheduleChanged();
        return;
    }
}

VirtualClock::Entry* VirtualClock::Find(TimerId id) {
    for (auto& entry : FEntries)
        if (entry->Id == id) return entry.get();
    return nullptr;
}

void VirtualClock::Schedule(TimerId id, uint64_t intervalUs, bool active) {
    Entry* entry = Find(id);
    if (!entry) return;
    if (active && intervalUs > 0) CatchUpWhenIdle();
    entry->Interval = intervalUs;
    entry->Active = active && intervalUs > 0;
    entry->Due = FNow + intervalUs;
    entry->HeldFor = intervalUs;
    ScheduleChanged();
}

void VirtualClock::Hold(TimerId id, bool held) {
    Entry* entry = Find(id);
    if (!entry || entry->Held == held) return;
    entry->Held = held;
    if (held)
        entry->HeldFor = entry->Due > FNow ? entry->Due - FNow : 0;
    else
        entry->Due = FNow + entry->HeldFor;
    ScheduleChanged();
}

void VirtualClock::SetQuiet(TimerId id, bool quiet) {
    Entry* entry = Find(id);
    if (!entry || entry->Quiet == quiet) return;
    entry->Quiet = quiet;
    ScheduleChanged();
}

void VirtualClock::SetSlack(TimerId id, uint64_t slackUs) {
    Entry* entry = Find(id);
    if (!entry || entry->SlackUs == slackUs) return;
    entry->SlackUs = slackUs;
    ScheduleChanged();
}

std::optional<uint64_t> VirtualClock::NextWake() const {
    std::optional<uint64_t> wake;
    for (const auto& entry : FEntries) {
        if (!entry->Active || entry->Held || entry->Running || entry->Quiet) continue;
        const uint64_t latest = entry->Due + entry->SlackUs;
        if (!wake || latest < *wake) wake = latest;
    }
    return wake;
}

void VirtualClock::PassReachedQuietTicks() {
    // Inside a tick time stands still; the ticks around it run after it.
    if (TickRunning()) return;
    while (Entry* next = EarliestRunnable()) {
        if (!next->Quiet || !Reached(*next)) return;
        if (next->Due > FNow) FNow = next->Due;
        RunTick(next);
    }
}

const VirtualClock::Entry* VirtualClock::EarliestRunnable() const {
    const Entry* best = nullptr;
    for (const auto& entry : FEntries) {
        if (!entry->Active || entry->Held || entry->Running) continue;
        if (!best || entry->Due < best->Due) best = entry.get();
    }
    return best;
}

VirtualClock::Entry* VirtualClock::EarliestRunnable() {
    return const_cast<Entry*>(std::as_const(*this).EarliestRunnable());
}

bool VirtualClock::TickRunning() const {
    return std::any_of(FEntries.begin(), FEntries.end(), [](const auto& e) { return e->Running; });
}

void VirtualClock::WhenNoTickRuns(std::function<void()> action) {
    FBetweenTicks.push_back(std::move(action));
    RunBetweenTicks();
}

void VirtualClock::RunBetweenTicks() {
    if (FBetweenTicks.empty() || TickRunning()) return;
    std::vector<std::function<void()>> actions;
    actions.swap(FBetweenTicks);
    for (const auto& action : actions) action();
}

bool VirtualClock::HasActiveTimers() const { return EarliestRunnable() != nullptr; }

void VirtualClock::RunTick(Entry* entry) {
    entry->Running = true;
    std::function<void()> tick = entry->OnTick;
    struct Done {
        VirtualClock* Self;
        Entry* Item;
        ~Done() {
            Item->Running = false;
            if (Item->Id == -1) {
                std::erase_if(Self->FEntries, [this](const auto& e) { return e.get() == Item; });
            } else {
                Item->Due = Self->FNow + Item->Interval;
                if (Item->Held) Item->HeldFor = Item->Interval;
                Self->ScheduleChanged();
            }
            Self->RunBetweenTicks();
        }
    } done{this, entry};
    if (tick && !entry->Quiet) tick();
}

bool VirtualClock::RunDueTicks() {
    bool ran = false;
    while (Entry* next = EarliestRunnable()) {
        if (next->Due > FNow) break;
        RunTick(next);
        ran = true;
    }
    return ran;
}

bool VirtualClock::AdvanceToNextTick() {
    Entry* next = EarliestRunnable();
    if (next && !Reached(*next)) {
        // Waiting handles events, which may change the schedule or be what a
        // waiting loop waits for: after a wait that did not reach the tick,
        // the loop gets its turn first.
        if (!WaitUntil(*next)) return false;
        next = EarliestRunnable();
        if (next && !Reached(*next)) return false;
    }
    if (!next) return false;
    if (next->Due > FNow) FNow = next->Due;
    RunTick(next);
    return true;
}
