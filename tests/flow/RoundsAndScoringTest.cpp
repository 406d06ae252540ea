#include "FlowTestSupport.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "gfx/Sprite.h"
#include "model/KolvexPlayer.h"

using namespace FlowTest;

class Rounds : public GameTest {
protected:
    static bool SpeedRoundDone(TGameForm* game) {
        bool done = false;
        game->TheGameTestTryCompletedWhenSpeed(nullptr, done);
        return done;
    }
};

TEST_F(Rounds, SpeedLevelTargetsCountFromTheStartingLevel) {
    TGameForm* game = Start(1, 2);
    Hold(game);
    EXPECT_EQ(game->StartLevel(), 2);
    game->Player()->SetScore(999);
    EXPECT_FALSE(SpeedRoundDone(game));
    game->Player()->SetScore(1000);
    EXPECT_TRUE(SpeedRoundDone(game));
    game->SetLevel(3);
    EXPECT_FALSE(SpeedRoundDone(game));
    game->Player()->SetScore(2500);
    EXPECT_TRUE(SpeedRoundDone(game));
    // After seven increases the level stays, whatever the score.
    game->SetLevel(8);
    game->Player()->SetScore(13999);
    EXPECT_FALSE(SpeedRoundDone(game));
    game->Player()->SetScore(14000);
    EXPECT_TRUE(SpeedRoundDone(game));
    game->SetLevel(9);
    game->Player()->SetScore(1000000);
    EXPECT_FALSE(SpeedRoundDone(game));
}

TEST_F(Rounds, ACompletedSpeedRoundRaisesTheLevelOnTheSamePlayfield) {
    TGameForm* game = Start(1, 0);
    Hold(game);
    game->Playfield()->AddCell(0, 19, TCell::cfBrick, 3);
    game->Player()->SetScore(1000);
    Frame(game);
    EXPECT_EQ(game->Level(), 1);
    EXPECT_EQ(Host().ShownLevel(), 1);
    EXPECT_EQ(game->FallSpeed(), 3);
    // The Speed game keeps its playfield from round to round.
    EXPECT_TRUE(game->Playfield()->IsOccupied(0, 19));
}

TEST_F(Rounds, DisabledLevelIncreaseHoldsSpeedRoundsForTheWholeGame) {
    Host().SetLevelIncreaseDisabled(true);
    TGameForm* game = Start(1, 0);
    Hold(game);
    // Unchecking the item during the game changes nothing until the next one.
    Host().SetLevelIncreaseDisabled(false);
    game->Player()->SetScore(5000);
    EXPECT_FALSE(SpeedRoundDone(game));
    Frame(game);
    EXPECT_EQ(game->Level(), 0);
}

TEST_F(Rounds, CheckingDisabledLevelIncreaseDuringAGameWaitsForTheNextGame) {
    TGameForm* game = Start(1, 0);
    Hold(game);
    Host().SetLevelIncreaseDisabled(true);
    game->Player()->SetScore(1000);
    EXPECT_TRUE(SpeedRoundDone(game));
}

TEST_F(Rounds, DisabledLevelIncreaseLetsATimeRoundCompleteAtTheSameLevel) {
    Host().SetLevelIncreaseDisabled(true);
    TGameForm* game = Start(1, 1, gtTime);
    Hold(game);
    EXPECT_EQ(game->RowsTarget(), 2);
    game->SetRowsDone(2);
    Frame(game);
    EXPECT_EQ(game->Level(), 1);
    EXPECT_TRUE(game->TheGame().Running());
    // The new round counts from nothing again.
    EXPECT_EQ(game->RowsDone(), 0);
}

TEST_F(Rounds, TimeMarkersShowRowsReachedAndTheTimeRunningOut) {
    TGameForm* game = Start(1, 0, gtTime);
    EXPECT_EQ(game->RowsTarget(), 1);
    TSprite* rows = Host().RowsSprite();
    TSprite* time = Host().TimeSprite();
    EXPECT_TRUE(rows->Visible());
    EXPECT_TRUE(time->Visible());
    EXPECT_EQ(rows->Top(), 400 - 320 / 2);
    game->SetTimeTargets(7);
    EXPECT_EQ(game->RowsTarget(), 8);
    game->SetTimeTargets(20);
    EXPECT_EQ(game->RowsTarget(), 12);
    game->SetTimeTargets(0);
    // Ten seconds at level 0: the time marker reaches the top of the well and the game is over.
    const int allowance = TGameForm::TimeAllowanceTicks(0);
    EXPECT_EQ(allowance, 200);
    ASSERT_TRUE(RunUntil([&] { return !game->TheGame().Running(); }));
    EXPECT_TRUE(game->TheGame().GameOver());
    EXPECT_GE(game->TimeTicks(), allowance);
    EXPECT_FALSE(time->Visible());
    EXPECT_EQ(TGameForm::TimeAllowanceTicks(7), 500);
    EXPECT_EQ(TGameForm::TimeAllowanceTicks(12), 500);
}

TEST_F(Rounds, LinesRemovedInATimeGameCountTowardsTheRound) {
    TGameForm* game = Start(1, 1, gtTime);
    Hold(game);
    Fill(game, {QStringLiteral("..33333333")});
    // Kind 3 at the left wall completes row 19.
    game->PutBrick(3, 0, 16 * 17);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return game->RowsDone() == 1 || game->Level() != 1; }));
    EXPECT_EQ(game->RowsDone(), 1);
    EXPECT_EQ(Host().RowsSprite()->Top(), 400 - (2 * 320) / 3);
}

TEST_F(Rounds, ACleanRoundFillsTheBottomRowsWithCleanCellsFromTheGenerator) {
    SetRandSeed(777);
    Host().CheckPlayersItem(1);
    Host().CheckLevelItem(4);
    Host().SetGameType(gtClean);
    // Replay the draws: two bricks for the supplier, then the clean rows.
    RandomGenerator draws(777);
    draws.Next(71);
    draws.Next(71);
    std::vector<std::vector<int>> expected(20);
    for (int i = 0; i < 10; ++i) {
        const int count = std::max(1, static_cast<int>(draws.Next(5)));
        for (int n = 0; n < count; ++n)
            expected[19 - i].push_back(static_cast<int>(draws.Next(10)));
    }
    Host().NewSession();
    TGameForm* game = Game(0);
    for (int y = 0; y < 20; ++y) {
        int cells = 0;
        for (int x = 0; x < 10; ++x) {
            const TCell* cell = game->Playfield()->GetCell(x, y);
            if (!cell) continue;
            ++cells;
            EXPECT_EQ(cell->Flags, TCell::cfClean);
            EXPECT_EQ(cell->Colour, 1);
            EXPECT_NE(std::find(expected[y].begin(), expected[y].end(), x), expected[y].end());
        }
        std::vector<int> distinct = expected[y];
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        EXPECT_EQ(cells, static_cast<int>(distinct.size())) << "row " << y;
        if (y >= 10) {
            EXPECT_GE(cells, 1) << "row " << y;
            EXPECT_LE(cells, 4) << "row " << y;
        }
    }
    EXPECT_FALSE(game->Playfield()->NoCleanCellsLeft());
}

class Scoring : public GameTest {};

TEST_F(Scoring, ALandingThatCompletesALineScoresTheBrickTheLineAndTheZap) {
    TGameForm* game = Start();
    Hold(game);
    Fill(game, {QStringLiteral("..33333333")});
    game->PutBrick(3, 0, 16 * 17);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return game->Score() != 0; }));
    ASSERT_TRUE(RunUntil([&] { return game->RestFrames() == 0 && game->BrickTop() <= 16; }));
    // 5 for the brick, 125 for the line, 5 x (10 - 2) + 50 for the zapped cells.
    EXPECT_EQ(game->Score(), 220);
    // The brick's two upper cells lost their support and fell into row 19.
    EXPECT_EQ(Row(game, 18), QStringLiteral(".........."));
    EXPECT_EQ(Row(game, 19), QStringLiteral(".44......."));
    EXPECT_EQ(Sounds.count(QStringLiteral("FLIP1")), 1);
}

TEST_F(Scoring, ABobbleAreaZappedWithItsTwoBobblesScoresItsCells) {
    TGameForm* game = Start();
    Hold(game);
    Fill(game, {QStringLiteral("333B......")});
    // Kind 2 is colour 3 with a bobble: ". . . / 3 3 3 / B 3 3" lands on the area.
    game->PutBrick(2, 0, 16 * 16);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return game->Score() != 0; }));
    ASSERT_TRUE(RunUntil([&] { return game->PendingZaps() == 0 && game->BrickTop() <= 16; }));
    // Eight cells and two bobbles zapped: 5 + 5 x 8 + 50.
    EXPECT_EQ(game->Score(), 95);
    for (int y = 15; y < 20; ++y)
        EXPECT_EQ(Row(game, y), QStringLiteral("..........")) << y;
}
