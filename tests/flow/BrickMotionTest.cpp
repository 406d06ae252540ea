#include "FlowTestSupport.h"
#include "flow/brenmarGameCtrl.h"
#include "gfx/Label.h"
#include "gfx/Sprite.h"
#include "model/Brick_KX.h"
#include "model/KolvexPlayer.h"

using namespace FlowTest;

namespace {
// Kind 3 in orientation 0: ". . . / . 4 4 / 4 4 ." in its 3 x 3 box.
constexpr int Skew = 3;
} // namespace

class BrickMotion : public GameTest {};

TEST_F(BrickMotion, NewBrickStartsCentredWithItsTopCellsInRowZero) {
    TGameForm* game = Start();
    Hold(game);
    const TBrick* brick = game->CurrentBrick();
    ASSERT_NE(brick, nullptr);
    const TSprite* sprite = game->BrickSprite();
    EXPECT_TRUE(sprite->Visible());
    EXPECT_EQ(sprite->Left(), sprite->Width() == 64 ? 48 : 64);
    int firstRow = 0;
    while (firstRow < brick->Height() && !brick->HasCellAt(0, firstRow, 0) &&
           !brick->HasCellAt(1, firstRow, 0) && !brick->HasCellAt(2, firstRow, 0) &&
           !brick->HasCellAt(3, firstRow, 0))
        ++firstRow;
    EXPECT_EQ(sprite->Top(), -16 * firstRow);
    EXPECT_EQ(brick->Orientation(), 0);
    EXPECT_EQ(sprite->Animation().CurrentFrame(), 0);
}

TEST_F(BrickMotion, LevelZeroAtSpeedZeroFallsOnePixelAndMovesFourSideways) {
    TGameForm* game = Start(1, 0);
    Hold(game);
    EXPECT_EQ(game->FallSpeed(), 2);
    EXPECT_EQ(game->HorizontalSpeed(), 4);
    game->PutBrick(Skew, 64, 0);
    Frame(game);
    EXPECT_EQ(game->BrickTop(), 1);
    game->QueueAction(1);
    Frame(game);
    EXPECT_EQ(game->BrickLeft(), 68);
    EXPECT_EQ(game->BrickTop(), 2);
    Frame(game, 3);
    EXPECT_EQ(game->BrickLeft(), 80);
    EXPECT_EQ(game->MoveColumns(), 0);
    Frame(game);
    EXPECT_EQ(game->BrickLeft(), 80);
}

TEST_F(BrickMotion, LevelOneFallsOneAndTwoPixelsOnAlternateFrames) {
    TGameForm* game = Start(1, 1);
    Hold(game);
    EXPECT_EQ(game->FallSpeed(), 3);
    game->PutBrick(Skew, 64, 0);
    std::vector<int> steps;
    for (int i = 0; i < 6; ++i) {
        const int before = game->BrickTop();
        Frame(game);
        steps.push_back(game->BrickTop() - before);
    }
    EXPECT_EQ(steps, (std::vector<int>{2, 1, 2, 1, 2, 1}));
}

TEST_F(BrickMotion, SpeedSettingsScaleTheLevelSpeeds) {
    TGameForm* game = Start();
    Hold(game);
    game->SetLevelSpeeds(4);
    EXPECT_EQ(game->FallSpeed(), 10);
    EXPECT_EQ(game->HorizontalSpeed(), 8);
    Settings().Speed = 1;
    game->SetLevelSpeeds(1);
    EXPECT_EQ(game->FallSpeed(), 6);
    EXPECT_EQ(game->HorizontalSpeed(), 4);
    Settings().Speed = 2;
    game->SetLevelSpeeds(9);
    EXPECT_EQ(game->FallSpeed(), 72);
    EXPECT_EQ(game->HorizontalSpeed(), 16);
    for (int level = 0; level < 10; ++level)
        for (int speed = 0; speed < 3; ++speed) {
            Settings().Speed = speed;
            game->SetLevelSpeeds(level);
            EXPECT_EQ(16 % game->HorizontalSpeed(), 0) << level << " " << speed;
        }
}

TEST_F(BrickMotion, DropAtSpeedOneTestsEveryPixelAndStopsOnTheFirstCell) {
    Settings().Speed = 1;
    TGameForm* game = Start();
    Hold(game);
    EXPECT_EQ(game->FallSpeed(), 4);
    // A single cell in row 9 under the brick's left column.
    game->Playfield()->AddCell(4, 9, TCell::cfBrick, 1);
    game->PutBrick(Skew, 64, -16);
    game->QueueAction(3);
    Frame(game);
    EXPECT_TRUE(game->Dropping());
    // (4 + 64) / 2 = 34 pixels a frame, each one tested: the brick's bottom
    // row (box row 2) comes to rest on row 8, above the cell.
    EXPECT_EQ(game->BrickTop(), -16 + 34);
    Frame(game, 2);
    EXPECT_EQ(game->BrickTop(), -16 + 3 * 34);
    Frame(game);
    EXPECT_EQ(game->BrickTop(), 16 * 6);
    EXPECT_FALSE(game->BrickCollides(4, 6, 0));
    EXPECT_EQ(game->RestFrames(), 1);
}

TEST_F(BrickMotion, TouchesDownWithASoundAndLandsAfterTenFramesOfRest) {
    TGameForm* game = Start();
    Hold(game);
    game->PutBrick(Skew, 64, 16 * 17 - 3);
    Sounds.clear();
    Frame(game, 2);
    EXPECT_EQ(game->RestFrames(), 0);
    EXPECT_TRUE(Sounds.isEmpty());
    // The third frame brings it onto the floor: the touch-down sound, rest 1.
    Frame(game);
    EXPECT_EQ(game->BrickTop(), 16 * 17);
    EXPECT_EQ(game->RestFrames(), 1);
    EXPECT_EQ(Sounds, QStringList{QStringLiteral("FLIP3")});
    Frame(game, 8);
    EXPECT_EQ(game->RestFrames(), 9);
    EXPECT_FALSE(game->Playfield()->IsOccupied(4, 19));
    Frame(game);
    // The tenth resting frame's step lands it: cells in, five points, a new brick.
    EXPECT_EQ(Row(game, 18), QStringLiteral(".....44..."));
    EXPECT_EQ(Row(game, 19), QStringLiteral("....44...."));
    EXPECT_EQ(game->Score(), 5);
    EXPECT_EQ(Sounds.count(QStringLiteral("FLIP3")), 1);
    EXPECT_EQ(Sounds.count(QStringLiteral("FLIP2")), 1);
    EXPECT_EQ(game->RestFrames(), 0);
    EXPECT_LE(game->BrickTop(), 0);
}

TEST_F(BrickMotion, ABrickPushedOverAGapFallsOnAndRestsAgainFromZero) {
    TGameForm* game = Start();
    Hold(game);
    // A ledge under columns 4 and 5 at row 10; column 6 and 7 open below.
    Fill(game,
         {QStringLiteral("....11...."), QStringLiteral(".........."), QStringLiteral(".........."),
          QStringLiteral(".........."), QStringLiteral(".........."), QStringLiteral(".........."),
          QStringLiteral(".........."), QStringLiteral(".........."), QStringLiteral(".........."),
          QStringLiteral("..........")});
    // Kind 4 turned (". 5 . / 5 5 . / 5 . ."): its cells sit in box columns 0 and 1.
    game->PutBrick(4, 64, 16 * 7 - 2, 1);
    Frame(game, 4);
    ASSERT_GE(game->RestFrames(), 2);
    const int restingTop = game->BrickTop();
    game->QueueAction(1);
    game->QueueAction(1);
    Frame(game, 9);
    EXPECT_GT(game->BrickTop(), restingTop);
    EXPECT_EQ(game->RestFrames(), 0);
}

TEST_F(BrickMotion, TurnsClockwiseOrBackAndRefusesATurnThatDoesNotFit) {
    TGameForm* game = Start();
    Hold(game);
    game->PutBrick(Skew, 64, 32);
    Sounds.clear();
    game->QueueAction(2);
    Frame(game);
    EXPECT_EQ(game->CurrentBrick()->Orientation(), 1);
    EXPECT_EQ(game->BrickSprite()->Animation().CurrentFrame(), 1);
    EXPECT_EQ(Sounds, QStringList{QStringLiteral("FLIP")});

    Settings().RotationDirectionClockwise = false;
    game->QueueAction(2);
    game->QueueAction(2);
    Frame(game);
    EXPECT_EQ(game->CurrentBrick()->Orientation(), 3);

    // Against the right wall orientation 0 of kind 3 needs box column 2, which is outside.
    Settings().RotationDirectionClockwise = true;
    game->PutBrick(Skew, 16 * 8, 32, 3);
    Sounds.clear();
    game->QueueAction(2);
    Frame(game);
    EXPECT_EQ(game->CurrentBrick()->Orientation(), 3);
    EXPECT_EQ(Sounds, QStringList{QStringLiteral("FLIP4")});
}

TEST_F(BrickMotion, SidewaysMovesStopAtTheWallsAndReverse) {
    TGameForm* game = Start();
    Hold(game);
    game->PutBrick(Skew, 16, 0);
    game->QueueAction(1);
    Frame(game);
    EXPECT_EQ(game->BrickLeft(), 20);
    // Left while moving right turns back to the column it came from.
    game->QueueAction(0);
    Frame(game);
    EXPECT_EQ(game->BrickLeft(), 16);
    EXPECT_EQ(game->MoveColumns(), 0);
    // Box column 0 holds a cell in row 2: the brick cannot pass left 0.
    for (int i = 0; i < 3; ++i)
        game->QueueAction(0);
    Frame(game, 12);
    EXPECT_EQ(game->BrickLeft(), 0);
    EXPECT_EQ(game->MoveColumns(), 0);
}

TEST_F(BrickMotion, ABrickThatCannotAppearEndsTheGame) {
    TGameForm* game = Start();
    Hold(game);
    Fill(game, {QStringLiteral("...1.1...."), QStringLiteral("..........")});
    for (int y = 0; y < 3; ++y)
        for (int x = 3; x < 7; ++x)
            game->Playfield()->AddCell(x, y, TCell::cfBrick, 2);
    game->PutBrick(Skew, 0, 16 * 17);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return !game->TheGame().Running(); }));
    EXPECT_TRUE(game->TheGame().GameOver());
    EXPECT_FALSE(game->TheGame().StopRequested());
    EXPECT_EQ(game->Score(), 5);
    EXPECT_TRUE(game->GameOverLabel()->Visible());
    EXPECT_EQ(game->GameOverLabel()->Caption(), QStringLiteral("Game Over"));
    EXPECT_TRUE(RunUntil([&] { return Host().SessionEnded(); }));
}
