#include "gfx/ThdTimer.h"

#include "GfxTestSupport.h"
#include "gfx/brenmarUtils.h"
#include "platform/Clock.h"
#include "platform/PacedClock.h"

#include <QPointer>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

class ThdTimerTest : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
    static uint64_t Now() { return TestEnvironment::Clock().Now(); }
};

// Timers in paced time, for the few cases where pacing itself is what is
// tested: they check that ticks arrive and stop, never how fast.
class PacedTimerTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        FVirtual = Clock::Install(std::make_unique<PacedClock>());
    }
    void TearDown() override { Clock::Install(std::move(FVirtual)); }
    // Handles messages for a while in real time.
    static void Pump(int ms) {
        ProcessMessagesUntil([] { return false; }, ms);
    }

private:
    std::unique_ptr<Clock> FVirtual;
};

} // namespace

TEST_F(ThdTimerTest, InVirtualTimeTicksComeAnIntervalAfterThePreviousTickReturned) {
    TThreadedTimer timer;
    std::vector<uint64_t> ticks;
    timer.SetInterval(40);
    timer.SetOnTimer([&](QObject* sender) {
        EXPECT_EQ(sender, &timer);
        ticks.push_back(Now());
        TestEnvironment::Clock().Sleep(5); // the handler's own time
    });
    const uint64_t start = Now();
    GfxTest::RunUntil([&] { return ticks.size() >= 3; });
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[0] - start, 40u);
    EXPECT_EQ(ticks[1] - ticks[0], 45u);
    EXPECT_EQ(ticks[2] - ticks[1], 45u);
}

TEST_F(ThdTimerTest, TicksRunOnlyWhileEnabledWithAnIntervalAndAHandler) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers()) << "no handler yet";
    timer.SetOnTimer([&](QObject*) { ++ticks; });
    EXPECT_TRUE(TestEnvironment::Clock().HasActiveTimers());
    timer.SetEnabled(false);
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers());
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers());
    timer.SetInterval(10);
    GfxTest::RunUntil([&] { return ticks >= 2; });
    timer.SetOnTimer(nullptr);
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers());
    EXPECT_EQ(ticks, 2);
}

TEST_F(ThdTimerTest, NoTickWhileTheApplicationTerminates) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](QObject*) { ++ticks; });
    Application::Terminate();
    for (int i = 0; i < 10; ++i)
        TestEnvironment::Clock().AdvanceToNextTick();
    EXPECT_EQ(ticks, 0);
}

TEST_F(ThdTimerTest, ATimerFreedInsideItsOwnTickNeverTicksAgain) {
    auto* timer = new TThreadedTimer;
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](QObject*) {
        ++ticks;
        delete timer;
    });
    GfxTest::RunUntil([&] { return ticks > 0; });
    for (int i = 0; i < 10; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(ticks, 1);
}

TEST_F(PacedTimerTest, TicksArriveOnTheMainThreadAndStopWithTheTimer) {
    auto timer = std::make_unique<TThreadedTimer>();
    const std::thread::id mainThread = std::this_thread::get_id();
    int ticks = 0;
    timer->SetInterval(2);
    timer->SetThreadPriority(tpTimeCritical);
    timer->SetOnTimer([&](QObject*) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        ++ticks;
    });
    ProcessMessagesUntil([&] { return ticks >= 5; }, 10000);
    EXPECT_GE(ticks, 5);
    timer.reset();
    const int atStop = ticks;
    Pump(30);
    EXPECT_EQ(ticks, atStop);
}

TEST_F(PacedTimerTest, FreeingFromInsideItsOwnTickAndANestedLoopIsSafe) {
    // Several rounds: the other timer's tick is sometimes already queued
    // behind this one when the nested loop starts, and must still arrive.
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        auto* timer = new TThreadedTimer;
        QPointer<TThreadedTimer> alive(timer);
        int ticks = 0;
        int otherTicks = 0;
        int nestedOtherTicks = -1;
        TThreadedTimer other;
        other.SetInterval(2);
        other.SetOnTimer([&](QObject*) { ++otherTicks; });
        timer->SetInterval(2);
        timer->SetOnTimer([&](QObject*) {
            ++ticks;
            // A nested loop inside the tick: other timers go on meanwhile.
            const int before = otherTicks;
            ProcessMessagesUntil([&] { return otherTicks >= before + 3; }, 2000);
            nestedOtherTicks = otherTicks - before;
            delete timer;
        });
        ProcessMessagesUntil([&] { return !alive; }, 5000);
        ASSERT_FALSE(alive);
        Pump(10);
        EXPECT_EQ(ticks, 1);
        EXPECT_GE(nestedOtherTicks, 3);
    }
}

TEST_F(PacedTimerTest, SuspendedTimerDeliversNothingUntilResumed) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(2);
    timer.SetOnTimer([&](QObject*) { ++ticks; });
    ProcessMessagesUntil([&] { return ticks >= 2; }, 5000);
    timer.SetEnabled(false);
    const int suspended = ticks;
    Pump(30);
    EXPECT_EQ(ticks, suspended);
    timer.SetEnabled(true);
    ProcessMessagesUntil([&] { return ticks >= suspended + 2; }, 5000);
    EXPECT_GE(ticks, suspended + 2);
}
