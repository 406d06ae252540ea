#include "flow/brenmarGameCtrl.h"
#include "platform/Application.h"
#include "support/TestEnvironment.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for event logs.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace {
// A controller whose every event writes its name into a log; the tests'
// answers come from plain fields so each case can steer them.
class GameController : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        auto note = [this](const char* name) {
            return [this, name](QObject* sender) {
                EXPECT_EQ(sender, &game);
                log << QString::fromLatin1(name);
            };
        };
        game.OnInitGame = note("InitGame");
        game.OnInitLevel = note("InitLevel");
        game.OnInitRound = note("InitRound");
        game.OnInitTry = note("InitTry");
        game.OnPerform = [this](QObject*) {
            log << QStringLiteral("Perform");
            if (onPerform) onPerform();
        };
        game.AfterRound = note("AfterRound");
        game.OnRoundCompleted = note("RoundCompleted");
        game.OnGameOver = note("GameOver");
        game.OnGameFinished = note("GameFinished");
        game.OnTestGameOver = [this](QObject*, bool& result) {
            EXPECT_FALSE(result);
            ++gameOverAsked;
            result = gameOver;
        };
        game.OnTestRoundCompleted = [this](QObject*, bool& result) {
            EXPECT_FALSE(result);
            ++completedAsked;
            result = completed;
        };
        game.OnTestTryFailed = [this](QObject*, bool& result) { result = tryFailed; };
    }

    QStringList Take() {
        QStringList taken = log;
        log.clear();
        return taken;
    }

    // A started game, its log and the test counters empty again.
    void Begin() {
        game.Start();
        log.clear();
        gameOverAsked = 0;
        completedAsked = 0;
    }

    static QStringList Events(const char* text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }

    TbmGameController game;
    QStringList log;
    bool gameOver = false;
    bool completed = false;
    bool tryFailed = false;
    int gameOverAsked = 0;
    int completedAsked = 0;
    std::function<void()> onPerform;
};

TEST_F(GameController, StartsInTheInitPhaseWithNothingSet) {
    EXPECT_EQ(game.Phase(), TbmGameController::phInit);
    EXPECT_FALSE(game.Running());
    EXPECT_FALSE(game.GameOver());
    EXPECT_FALSE(game.StopRequested());
    EXPECT_FALSE(game.TryPending());
    EXPECT_FALSE(game.LevelPending());
}

TEST_F(GameController, StartPreparesTheFirstRoundAndPerformsIt) {
    EXPECT_TRUE(game.Start());
    EXPECT_EQ(Take(), Events("InitGame InitLevel InitRound InitTry Perform"));
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.Phase(), TbmGameController::phPerform);
    EXPECT_FALSE(game.LevelPending());
    EXPECT_FALSE(game.TryPending());

    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform"));
}

TEST_F(GameController, WithoutEventsTheGameRunsUntilStopped) {
    TbmGameController bare;
    EXPECT_TRUE(bare.Start());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(bare.Step());
    EXPECT_TRUE(bare.Running());
    int finished = 0;
    bare.OnGameFinished = [&](QObject*) { ++finished; };
    bare.Stop();
    EXPECT_FALSE(bare.Step());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(bare.Running());
}

TEST_F(GameController, StopEndsTheRoundWithoutGameOver) {
    Begin();
    game.Stop();
    EXPECT_TRUE(game.StopRequested());
    EXPECT_FALSE(game.Step());
    EXPECT_EQ(Take(), Events("Perform AfterRound GameFinished"));
    EXPECT_FALSE(game.Running());
    EXPECT_EQ(game.Phase(), TbmGameController::phConclude);
}

TEST_F(GameController, CompletedRoundRunsStraightIntoTheNextOne) {
    Begin();
    completed = true;
    onPerform = [this] {
        if (log.count(QStringLiteral("Perform")) == 2) completed = false;
    };
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform AfterRound RoundCompleted InitRound InitTry Perform"));
    // Asked once while performing and once more while concluding (the
    // answer was still true), then once for the new round's first step.
    EXPECT_EQ(completedAsked, 3);
}

TEST_F(GameController, FailedTryStartsANewTryWithoutCompletion) {
    Begin();
    tryFailed = true;
    onPerform = [this] {
        if (log.count(QStringLiteral("Perform")) == 2) tryFailed = false;
    };
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform AfterRound InitRound InitTry Perform"));
}

TEST_F(GameController, GameOverIsLatched) {
    Begin();
    gameOver = true;
    onPerform = [this] { gameOver = false; };
    game.OnTestGameOver = [this](QObject*, bool& result) { result = ++gameOverAsked == 1; };
    EXPECT_FALSE(game.Step());
    EXPECT_EQ(Take(), Events("Perform AfterRound GameOver GameFinished"));
    EXPECT_EQ(gameOverAsked, 1);
    EXPECT_TRUE(game.GameOver());
    EXPECT_FALSE(game.Running());
}

TEST_F(GameController, StepOnAFinishedGameFiresTheEndAgain) {
    game.Start();
    gameOver = true;
    game.Step();
    Take();
    EXPECT_FALSE(game.Step());
    EXPECT_EQ(Take(), Events("AfterRound GameOver GameFinished"));
}

TEST_F(GameController, RestartClearsTheLatchAndBeginsALevelAgain) {
    game.Start();
    gameOver = true;
    game.Step();
    gameOver = false;
    Take();
    EXPECT_TRUE(game.Start());
    EXPECT_EQ(Take(), Events("InitGame InitLevel InitRound InitTry Perform"));
    EXPECT_FALSE(game.GameOver());
    EXPECT_TRUE(game.Running());
}

TEST_F(GameController, ReentrantStepThatEndsTheGameIsNotContinuedByTheOuterStep) {
    Begin();
    // The landing's work inside OnPerform asks for one more step, and the
    // new brick does not fit: the inner step ends the game.
    bool landed = false;
    onPerform = [&] {
        if (landed) return;
        landed = true;
        gameOver = true;
        EXPECT_FALSE(game.Step());
    };
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform Perform AfterRound GameOver GameFinished"));
    EXPECT_EQ(gameOverAsked, 1) << "the outer step reads the latch";
    EXPECT_FALSE(game.Running());
    EXPECT_EQ(game.Phase(), TbmGameController::phConclude);
}

TEST_F(GameController, ReentrantStepThatCompletesARoundLeavesTheNewRoundRunning) {
    Begin();
    // Completing a round raises the level, after which the test says no.
    game.OnRoundCompleted = [this](QObject*) {
        log << QStringLiteral("RoundCompleted");
        completed = false;
    };
    bool landed = false;
    onPerform = [&] {
        if (landed) return;
        landed = true;
        completed = true;
        EXPECT_TRUE(game.Step());
    };
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(),
              Events("Perform Perform AfterRound RoundCompleted InitRound InitTry Perform"));
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.Phase(), TbmGameController::phPerform);
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform"));
}

TEST_F(GameController, NoGameEventFiresWhileTheProgramTerminates) {
    Begin();
    Application::Terminate();
    EXPECT_TRUE(game.Step());
    EXPECT_EQ(Take(), Events("Perform"));
    EXPECT_EQ(game.Phase(), TbmGameController::phConclude);
    EXPECT_TRUE(game.Step());
    EXPECT_TRUE(Take().isEmpty());
    EXPECT_EQ(game.Phase(), TbmGameController::phConclude);
    Application::ResetTerminated();
}
} // namespace
