#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

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
