#include "FlowTestSupport.h"
#include "flow/ActionCollector_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/brenmarError.h"
#include "gfx/Label.h"
#include "gfx/Sprite.h"
#include "persistence/DemoF.h"

using namespace FlowTest;

class Session : public GameTest {};

TEST_F(Session, TwoPanelsSitSideBySideWithTheFirstPlayerOnTheRight) {
    const QImage frame = Host().FramePanel()->Picture().copy();
    Start(2);
    EXPECT_EQ(Game(0)->GamePanel()->x(), 208);
    EXPECT_EQ(Game(1)->GamePanel()->x(), 16);
    EXPECT_EQ(Game(0)->GamePanel()->y(), 80);
    EXPECT_EQ(Host().FramePanel()->width(), 384);
    EXPECT_GE(Host().width(), 384);
    // The frame picture is laid twice, side by side.
    const QImage& wide = Host().FramePanel()->Picture();
    ASSERT_EQ(wide.width(), 384);
    EXPECT_EQ(wide.pixel(192 + 3, 200), frame.pixel(3, 200));
}

TEST_F(Session, TheLastGameToFinishRestoresTheFrameAndEndsTheSession) {
    const QImage frame = Host().FramePanel()->Picture().copy();
    Start(2);
    Coordinator().StopAll();
    // Stopping asks both games to end at their next step; the first to end changes nothing.
    ASSERT_TRUE(RunUntil([&] { return Coordinator().RunningCount() == 1; }));
    EXPECT_EQ(Host().FramePanel()->width(), 384);
    EXPECT_TRUE(Coordinator().IsActive());
    ASSERT_TRUE(RunUntil([&] { return Host().SessionEnded(); }));
    EXPECT_FALSE(Coordinator().IsActive());
    EXPECT_EQ(Host().FramePanel()->width(), 192);
    EXPECT_EQ(Host().FramePanel()->Picture().size(), frame.size());
    EXPECT_FALSE(Game(0)->GamePanel()->isVisible());
    EXPECT_FALSE(Game(1)->GamePanel()->isVisible());
    // Stopped games end without "Game Over".
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Game(i)->TheGame().StopRequested());
        EXPECT_FALSE(Game(i)->GameOverLabel()->Visible());
    }
}

TEST_F(Session, PPausesAndResumesTheFirstTwoGames) {
    Start(2);
    EXPECT_FALSE(Coordinator().KeyDown(ScanCode::A));
    EXPECT_TRUE(Coordinator().KeyDown(ScanCode::P));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Game(i)->GamePanel()->FramesPerSec(), 0);
        EXPECT_TRUE(Game(i)->IsPaused());
        EXPECT_EQ(Game(i)->GameOverLabel()->Caption(), QStringLiteral("Paused"));
    }
    // No frames while paused: the brick stands still.
    const int top = Game(0)->BrickTop();
    for (int i = 0; i < 200; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(Game(0)->BrickTop(), top);
    EXPECT_TRUE(Coordinator().KeyDown(ScanCode::P));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Game(i)->GamePanel()->FramesPerSec(), TSessionCoordinator::GameFrameRate);
        EXPECT_FALSE(Game(i)->IsPaused());
    }
    EXPECT_TRUE(RunUntil([&] { return Game(0)->BrickTop() > top; }));
}

TEST_F(Session, ThePauseStopsTheClockOfATimeGame) {
    TGameForm* game = Start(1, 0, gtTime);
    ASSERT_TRUE(Coordinator().KeyDown(ScanCode::P));
    const int ticks = game->TimeTicks();
    const uint64_t paused = TestEnvironment::Clock().Now();
    // Well past the ten seconds that level 0 allows.
    ASSERT_TRUE(RunUntil([&] { return TestEnvironment::Clock().Now() - paused > 20'000; }));
    EXPECT_EQ(game->TimeTicks(), ticks);
    EXPECT_TRUE(game->TheGame().Running());
    ASSERT_TRUE(Coordinator().KeyDown(ScanCode::P));
    EXPECT_TRUE(RunUntil([&] { return game->TimeTicks() > ticks; }));
}

TEST_F(Session, ForwardingMovesOneQueuedActionPerGameAndCall) {
    Start(2);
    Hold(Game(0));
    Hold(Game(1));
    KeyState::SetDown(ScanCode::Up, true);
    KeyState::SetDown(ScanCode::Left, true);
    Game(0)->Collector()->PollKeys(true);
    KeyState::ReleaseAll();
    KeyState::SetDown(ScanCode::W, true);
    Game(1)->Collector()->PollKeys(true);
    ASSERT_EQ(Game(0)->Collector()->QueuedCount(), 2);
    ASSERT_EQ(Game(1)->Collector()->QueuedCount(), 1);
    Game(0)->ClearActions();
    Game(1)->ClearActions();
    Coordinator().ForwardActions();
    EXPECT_EQ(Game(0)->Actions(), std::vector<uint8_t>{0});
    EXPECT_EQ(Game(1)->Actions(), std::vector<uint8_t>{2});
    Coordinator().ForwardActions();
    EXPECT_EQ(Game(0)->Actions(), (std::vector<uint8_t>{0, 2}));
    EXPECT_EQ(Game(1)->Actions(), std::vector<uint8_t>{2});
}

TEST_F(Session, AReplayTakesQueuedInputAwayWithoutApplyingIt) {
    TGameForm* game = Start(1);
    Hold(game);
    TDemoForm& demo = *Host().DemoForm();
    demo.StartRecording();
    demo.StopRecording();
    demo.SelectLastGameReplayer();
    ASSERT_TRUE(demo.StartReplay());
    KeyState::SetDown(ScanCode::Right, true);
    game->Collector()->PollKeys(true);
    game->ClearActions();
    Coordinator().ForwardActions();
    EXPECT_FALSE(game->Collector()->HasActions());
    EXPECT_TRUE(game->Actions().empty());
}

TEST_F(Session, TheKeySetsAreArrowsForTheFirstPlayerAndLettersForTheSecond) {
    Start(2);
    const TActionCollector& first = *Game(0)->Collector();
    const TActionCollector& second = *Game(1)->Collector();
    EXPECT_EQ(first.GetKey(0), ScanCode::Left);
    EXPECT_EQ(first.GetKey(1), ScanCode::Right);
    EXPECT_EQ(first.GetKey(2), ScanCode::Up);
    EXPECT_EQ(first.GetKey(3), ScanCode::Down);
    EXPECT_EQ(first.GetKey(4), 0);
    EXPECT_EQ(second.GetKey(0), ScanCode::A);
    EXPECT_EQ(second.GetKey(1), ScanCode::D);
    EXPECT_EQ(second.GetKey(2), ScanCode::W);
    EXPECT_EQ(second.GetKey(3), ScanCode::S);
    EXPECT_TRUE(first.GetRepeat(0));
    EXPECT_TRUE(second.GetRepeat(1));
    EXPECT_FALSE(first.GetRepeat(2));
    EXPECT_FALSE(second.GetRepeat(3));
}

TEST_F(Session, AThirdGameHasNoKeysAndEndsTheProgram) {
    Host().CheckPlayersItem(3);
    try {
        Host().NewSession();
        FAIL() << "a third game was created";
    } catch (const EProgError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("No def. keys")));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("3654")));
    }
    EXPECT_TRUE(Application::Terminated());
}

class Teleport : public GameTest {
protected:
    // Puts a cell into the sender's playfield and routes it.
    void Send(TGameForm* sender, int x, int y, uint8_t colour) {
        sender->Playfield()->AddCell(x, y, TCell::cfBrick, colour);
        Coordinator().TeleportCell(sender->Playfield(), x, y);
    }
};

TEST_F(Teleport, WithOnePlayerNothingIsDelivered) {
    TGameForm* game = Start(1);
    Hold(game);
    Send(game, 3, 15, 4);
    EXPECT_EQ(game->Playfield()->GetCell(3, 15)->Colour, 4);
    int cells = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            cells += game->Playfield()->IsOccupied(x, y) ? 1 : 0;
    EXPECT_EQ(cells, 1);
}

TEST_F(Teleport, CellsArriveAtTheSamePlaceInTheOtherWellReplacingWhatStoodThere) {
    Start(2);
    Hold(Game(0));
    Hold(Game(1));
    Game(1)->Playfield()->AddCell(3, 15, TCell::cfBobble, 0);
    Send(Game(0), 3, 15, 4);
    const TCell* arrived = Game(1)->Playfield()->GetCell(3, 15);
    ASSERT_NE(arrived, nullptr);
    EXPECT_EQ(arrived->Flags, TCell::cfBrick);
    EXPECT_EQ(arrived->Colour, 4);
    // And back from the second player to the first.
    Send(Game(1), 8, 18, 2);
    ASSERT_TRUE(Game(0)->Playfield()->IsOccupied(8, 18));
    EXPECT_EQ(Game(0)->Playfield()->GetCell(8, 18)->Colour, 2);
}

TEST_F(Teleport, ACellIsLostOnTheReceiversBrickOrUnderItsFallingArea) {
    Start(2);
    Hold(Game(0));
    Hold(Game(1));
    // Kind 3 at column 2, rows 10 to 12: its cells stand on (3, 11), (4, 11), (2, 12), (3, 12).
    Game(1)->PutBrick(3, 32, 160);
    Send(Game(0), 3, 12, 5);
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(3, 12));
    // Straddling rows: at top 168 the brick also covers row 13.
    Game(1)->PutBrick(3, 32, 168);
    Send(Game(0), 2, 13, 5);
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(2, 13));
    Send(Game(0), 2, 11, 5);
    EXPECT_TRUE(Game(1)->Playfield()->IsOccupied(2, 11)) << "the box's empty places take cells";

    Game(1)->Playfield()->SetFillMap(7, 17, 1);
    Send(Game(0), 7, 17, 5);
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(7, 17));
    Game(1)->Playfield()->SetFillMap(7, 17, 0);
}

TEST_F(Teleport, AFinishedReceiverTakesNothing) {
    Start(2);
    Hold(Game(0));
    Game(1)->TheGame().Stop();
    ASSERT_TRUE(RunUntil([&] { return !Game(1)->TheGame().Running(); }));
    Send(Game(0), 5, 16, 3);
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(5, 16));
}

TEST_F(Teleport, AZappedBobbleAreaReachesTheOtherWellInItsLowerHalfOnly) {
    Start(2);
    Hold(Game(0));
    Hold(Game(1));
    // An area of colour 3 from row 9 to row 19 between two bobbles.
    TPlayfield& field = *Game(0)->Playfield();
    for (int y = 9; y < 20; ++y)
        field.AddCell(0, y, TCell::cfBrick, 3);
    field.AddCell(1, 19, TCell::cfBobble, 0);
    field.AddCell(1, 9, TCell::cfBobble, 0);
    for (int y = 9; y < 20; ++y)
        Game(0)->DrawCell(0, y);
    Release(Game(0));
    Release(Game(1));
    Game(1)->PutBrick(3, 112, -16);
    field.ResolveLanding();
    for (int y = 0; y < 20; ++y)
        EXPECT_FALSE(field.IsOccupied(0, y)) << y;
    for (int y = 10; y < 20; ++y)
        EXPECT_TRUE(Game(1)->Playfield()->IsOccupied(0, y)) << y;
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(0, 9));
    EXPECT_FALSE(Game(1)->Playfield()->IsOccupied(1, 19)) << "bobbles never teleport";
}

TEST_F(Session, StoppingAllLeavesAGameThatIsAlreadyOverAsItEnded) {
    Start(2);
    Hold(Game(1));
    // The second player's well is full up to the top: its next brick cannot appear.
    for (int y = 0; y < 3; ++y)
        for (int x = 3; x < 7; ++x)
            Game(1)->Playfield()->AddCell(x, y, TCell::cfBrick, 2);
    Game(1)->PutBrick(3, 0, 16 * 17);
    Release(Game(1));
    ASSERT_TRUE(RunUntil([&] { return !Game(1)->TheGame().Running(); }));
    Coordinator().StopAll();
    ASSERT_TRUE(RunUntil([&] { return Host().SessionEnded(); }));
    EXPECT_TRUE(Game(0)->TheGame().StopRequested());
    EXPECT_FALSE(Game(1)->TheGame().StopRequested()) << "its score still counts";
    EXPECT_TRUE(Game(1)->TheGame().GameOver());
}

TEST_F(Session, PauseLeavesAFinishedGameShowingGameOver) {
    Start(2);
    Hold(Game(1));
    for (int y = 0; y < 3; ++y)
        for (int x = 3; x < 7; ++x)
            Game(1)->Playfield()->AddCell(x, y, TCell::cfBrick, 2);
    Game(1)->PutBrick(3, 0, 16 * 17);
    Release(Game(1));
    ASSERT_TRUE(RunUntil([&] { return !Game(1)->TheGame().Running(); }));
    EXPECT_TRUE(Coordinator().KeyDown(ScanCode::P));
    EXPECT_TRUE(Game(0)->IsPaused());
    EXPECT_EQ(Game(1)->GameOverLabel()->Caption(), QStringLiteral("Game Over"));
    EXPECT_TRUE(Coordinator().KeyDown(ScanCode::P));
    EXPECT_FALSE(Game(0)->IsPaused());
    EXPECT_TRUE(Game(1)->GameOverLabel()->Visible());
}

TEST_F(Session, TheKeysInForceAreTheChosenOnesPauseIncluded) {
    TKeyTable keys = TKeyTable::Defaults();
    keys.SetKey(TKeyTable::Slot(1, 2), 44);
    // The first player's left and the second's swapped.
    keys.SetKey(TKeyTable::Slot(1, 0), ScanCode::Left);
    ASSERT_FALSE(keys.IsSound()) << "left arrow is used twice";
    keys.SetKey(TKeyTable::Slot(0, 0), ScanCode::A);
    keys.SetKey(TKeyTable::PauseSlot, 65);
    ASSERT_TRUE(keys.IsSound());
    Settings().Keys = keys;
    Start(2);
    EXPECT_EQ(Game(0)->Collector()->GetKey(0), ScanCode::A);
    EXPECT_EQ(Game(1)->Collector()->GetKey(0), ScanCode::Left);
    EXPECT_EQ(Game(1)->Collector()->GetKey(2), 44);
    EXPECT_FALSE(Coordinator().KeyDown(ScanCode::P));
    EXPECT_FALSE(Game(0)->IsPaused());
    EXPECT_TRUE(Coordinator().KeyDown(65));
    EXPECT_TRUE(Game(0)->IsPaused());
}
