#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/PacedClock.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {
class VirtualTime : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
    VirtualClock& clock() { return TestEnvironment::Clock(); }
    std::vector<std::pair<char, uint64_t>> log;
    std::function<void()> Logger(char name) {
        return [this, name] { log.emplace_back(name, clock().Now()); };
    }
};
} // namespace

TEST_F(VirtualTime, DueTicksRunInDueOrderWithRegistrationBreakingTies) {
    ClockTimer slow(Logger('s')), fast(Logger('f')), same(Logger('t'));
    const uint64_t start = clock().Now();
    slow.SetInterval(30);
    fast.SetInterval(20);
    same.SetInterval(30);
    slow.SetActive(true);
    fast.SetActive(true);
    same.SetActive(true);
    clock().Sleep(60);
    EXPECT_TRUE(clock().RunDueTicks());
    // All three are overdue: each runs once, earliest due first, and s before t on their tie.
    // The next tick of each is due one interval after the tick ran, so none runs twice.
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], std::make_pair('f', start + 60));
    EXPECT_EQ(log[1], std::make_pair('s', start + 60));
    EXPECT_EQ(log[2], std::make_pair('t', start + 60));
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(VirtualTime, IdleProcessMessagesMovesToTheNextDueTick) {
    ClockTimer timer(Logger('a'));
    timer.SetInterval(40);
    timer.SetActive(true);
    const uint64_t start = clock().Now();
    Application::ProcessMessages();
    Application::ProcessMessages();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].second, start + 40);
    EXPECT_EQ(log[1].second, start + 80);
}

TEST_F(VirtualTime, SleepingMovesTimeWithoutTicking) {
    ClockTimer timer(Logger('a'));
    timer.SetInterval(10);
    timer.SetActive(true);
    const uint32_t before = Clock::Current().TickCount();
    Clock::Current().Sleep(35);
    EXPECT_EQ(Clock::Current().TickCount(), before + 35);
    EXPECT_TRUE(log.empty());
    clock().RunDueTicks();
    EXPECT_EQ(log.size(), 1u); // one catch-up tick, not three
}

TEST_F(VirtualTime, StoppedTimersNeverTickAndChangedIntervalsApply) {
    ClockTimer timer(Logger('a'));
    timer.SetInterval(10);
    timer.SetActive(true);
    timer.SetActive(false);
    EXPECT_FALSE(clock().AdvanceToNextTick());
    timer.SetInterval(0);
    timer.SetActive(true);
    EXPECT_FALSE(clock().AdvanceToNextTick());
    const uint64_t start = clock().Now();
    timer.SetInterval(25);
    EXPECT_TRUE(clock().AdvanceToNextTick());
    EXPECT_EQ(log.back().second, start + 25);
}

TEST_F(VirtualTime, ATimerNeverTicksInsideItsOwnTick) {
    int depth = 0, maxDepth = 0, ticks = 0;
    ClockTimer self([&] {
        maxDepth = std::max(maxDepth, ++depth);
        for (int i = 0; i < 5; ++i) Application::ProcessMessages(); // a nested wait
        --depth;
    });
    ClockTimer other([&] { ++ticks; });
    self.SetInterval(10);
    other.SetInterval(10);
    self.SetActive(true);
    other.SetActive(true);
    clock().AdvanceToNextTick();
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GE(ticks, 5); // the other timer went on during the nested wait
}

TEST_F(VirtualTime, ATimerDestroyedInsideItsTickIsSafe) {
    std::unique_ptr<ClockTimer> timer;
    timer = std::make_unique<ClockTimer>([&] { timer.reset(); });
    timer->SetInterval(5);
    timer->SetActive(true);
    EXPECT_TRUE(clock().AdvanceToNextTick());
    EXPECT_FALSE(clock().AdvanceToNextTick());
}

TEST_F(VirtualTime, AHeldTimerKeepsItsPhaseToTheOthers) {
    ClockTimer a(Logger('a')), b(Logger('b'));
    a.SetInterval(40);
    b.SetInterval(40);
    a.SetActive(true);
    clock().Sleep(15);
    b.SetActive(true); // b runs 15 ms behind a
    clock().AdvanceToNextTick();
    a.SetHeld(true);
    b.SetHeld(true);
    clock().Sleep(1000); // a pause
    EXPECT_FALSE(clock().HasActiveTimers());
    a.SetHeld(false);
    b.SetHeld(false);
    const uint64_t resumed = clock().Now();
    clock().AdvanceToNextTick();
    clock().AdvanceToNextTick();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], std::make_pair('b', resumed + 15));
    EXPECT_EQ(log[2], std::make_pair('a', resumed + 40));
}

namespace {
// Two timers at rates that are no whole number of milliseconds apart, one of
// whose ticks stalls the machine: the ticks and their scheduler times.
std::vector<std::pair<char, uint64_t>> StalledRun(VirtualClock& clock, bool paced) {
    std::vector<std::pair<char, uint64_t>> log;
    int ticks = 0;
    ClockTimer fast([&] {
        log.emplace_back('f', clock.NowUs());
        if (++ticks == 3 && paced) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    ClockTimer slow([&] { log.emplace_back('s', clock.NowUs()); });
    fast.SetIntervalUs(13889);
    slow.SetIntervalUs(40000);
    fast.SetActive(true);
    slow.SetActive(true);
    while (log.size() < 40) Application::ProcessMessages();
    return log;
}
} // namespace

TEST_F(VirtualTime, PacedTimeRunsTheSameTicksAtTheSameTimesAsVirtualTimeThoughLate) {
    const auto expected = StalledRun(clock(), false);
    auto previous = Clock::Install(std::make_unique<PacedClock>());
    // A stall of 300 ms: longer than the schedule catches up on, too.
    auto actual = StalledRun(*Clock::Current().Scheduler(), true);
    Clock::Install(std::move(previous));
    ASSERT_FALSE(actual.empty());
    const uint64_t offset = actual[0].second - expected[0].second;
    for (auto& [name, time] : actual) time -= offset;
    EXPECT_EQ(actual, expected);
}

namespace {
// A fast timer that the slow one makes quiet at its 3rd tick and wakes at its
// 8th, sleeping in between (which shifts whatever was overdue). With
// `neverQuiet` the fast timer keeps ticking and its ticks in that stretch are
// marked, so the two runs can be compared.
std::vector<std::pair<char, uint64_t>> QuietRun(VirtualClock& clock, bool neverQuiet) {
    std::vector<std::pair<char, uint64_t>> log;
    bool quiet = false;
    int slowTicks = 0;
    ClockTimer fast([&] { log.emplace_back(quiet ? 'q' : 'f', clock.NowUs()); });
    ClockTimer slow([&] {
        log.emplace_back('s', clock.NowUs());
        ++slowTicks;
        if (slowTicks == 3 || slowTicks == 8) {
            quiet = slowTicks == 3;
            if (!neverQuiet) fast.SetQuiet(quiet);
        }
        if (slowTicks == 6) clock.Sleep(25);
    });
    fast.SetIntervalUs(13889);
    slow.SetIntervalUs(40000);
    fast.SetActive(true);
    slow.SetActive(true);
    while (slowTicks < 12) Application::ProcessMessages();
    return log;
}

// The ticks other than those marked, timed from the first.
std::vector<std::pair<char, uint64_t>> Relative(std::vector<std::pair<char, uint64_t>> log) {
    std::erase_if(log, [](const auto& tick) { return tick.first == 'q'; });
    const uint64_t start = log.empty() ? 0 : log[0].second;
    for (auto& tick : log) tick.second -= start;
    return log;
}
} // namespace

TEST_F(VirtualTime, QuietTicksArePassedInTheirTurnSoTheTimerWakesInItsOldPhase) {
    const auto reference = QuietRun(clock(), true);
    const auto quietCalls = [](const auto& log) {
        return std::count_if(log.begin(), log.end(), [](const auto& t) { return t.first == 'q'; });
    };
    ASSERT_GT(quietCalls(reference), 5);
    const auto expected = Relative(reference);
    const auto quietRun = QuietRun(clock(), false);
    EXPECT_EQ(quietCalls(quietRun), 0);
    EXPECT_EQ(Relative(quietRun), expected);

    // Paced time waits for no quiet tick, yet runs the rest at the same times.
    auto previous = Clock::Install(std::make_unique<PacedClock>());
    const auto paced = QuietRun(*Clock::Current().Scheduler(), false);
    Clock::Install(std::move(previous));
    EXPECT_EQ(quietCalls(paced), 0);
    EXPECT_EQ(Relative(paced), expected);
}

namespace {
// A frame timer and a slower one that may wait for the frames (as a title
// sparkle does), each tick logged with its scheduler time.
std::vector<std::pair<char, uint64_t>> SlackRun(VirtualClock& clock) {
    std::vector<std::pair<char, uint64_t>> log;
    ClockTimer frame([&] { log.emplace_back('f', clock.NowUs()); });
    ClockTimer sparkle([&] { log.emplace_back('s', clock.NowUs()); });
    frame.SetIntervalUs(13889);
    sparkle.SetInterval(75);
    sparkle.SetSlackUs(13889);
    frame.SetActive(true);
    sparkle.SetActive(true);
    while (log.size() < 30) Application::ProcessMessages();
    return log;
}
} // namespace

TEST_F(VirtualTime, ATickWithSlackWakesWithTheNextTickWithinItsSlackAndKeepsItsTime) {
    ClockTimer frame([] {}), sparkle([] {});
    frame.SetIntervalUs(13889);
    sparkle.SetInterval(10);
    frame.SetActive(true);
    sparkle.SetActive(true);
    const uint64_t start = clock().NowUs();
    const struct {
        uint64_t Slack, Wake;
    } cases[] = {{0, 10000}, {2000, 12000}, {3889, 13889}, {20000, 13889}};
    for (const auto& c : cases) {
        sparkle.SetSlackUs(c.Slack);
        EXPECT_EQ(clock().NextWake(), start + c.Wake) << "slack " << c.Slack;
    }
    // A quiet tick wakes nothing: the slack runs out instead.
    frame.SetQuiet(true);
    EXPECT_EQ(clock().NextWake(), start + 30000);
    frame.SetActive(false);
    sparkle.SetActive(false);
    EXPECT_FALSE(clock().NextWake().has_value());

    // Paced time runs the same ticks in the same order at the same times.
    const auto expected = Relative(SlackRun(clock()));
    auto previous = Clock::Install(std::make_unique<PacedClock>());
    const auto paced = Relative(SlackRun(*Clock::Current().Scheduler()));
    Clock::Install(std::move(previous));
    EXPECT_EQ(paced, expected);
}
