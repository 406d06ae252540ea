#include "PlayfieldPicture.h"
#include "model/PlayfieldLogicAlgoritm_KX.h"
#include "platform/Application.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class PlayfieldLogic : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }

    // One logic pass on its own.
    TPlayfieldLogicAlgoritm RunPass() {
        TPlayfieldLogicAlgoritm pass;
        pass.Playfield = &pf;
        pass.Execute();
        return pass;
    }

    bool AllMarksAndFillMapClear() const {
        for (int x = 0; x < 10; ++x)
            for (int y = 0; y < 20; ++y) {
                if (const TCell* c = pf.GetCell(x, y); c && c->Mark != 0) return false;
                if (pf.GetFillMap(x, y) != 0) return false;
            }
        return true;
    }

    TPlayfield pf;
    RecordingGameForm form{pf};
};

// --- Areas that two bobbles connect -------------------------------------------

TEST_F(PlayfieldLogic, AreaBetweenTwoBobblesIsZappedAndOnlyItsLowerHalfOffered) {
    Draw(pf, {".3........", // row 9
              "B33B......", // row 10
              "4..4......", "4..4......", "4..4......", "4..4......", "4..4......", "4..4......",
              "4..4......", "4..4......", "4..4......"});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(form.Zaps(), Rows({"zap 0,10", "zap 1,9", "zap 1,10", "zap 2,10", "zap 3,10"}));
    EXPECT_EQ(pass.ZapCount, 3);
    EXPECT_EQ(pass.LinesFound, 0);
    EXPECT_EQ(form.Teleported, Rows({"1,10", "2,10"}));
    // The pillars touch the zapped cells only from below: they are not examined.
    EXPECT_TRUE(form.Falls().isEmpty());
    EXPECT_EQ(Picture(pf, 9), Rows({"..........", "..........", "4..4......", "4..4......",
                                    "4..4......", "4..4......", "4..4......", "4..4......",
                                    "4..4......", "4..4......", "4..4......"}));
    EXPECT_TRUE(AllMarksAndFillMapClear());
}

TEST_F(PlayfieldLogic, AreaTouchingOneBobbleStays) {
    Draw(pf, {"B22.......", "1111111.11"});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_TRUE(form.Log.isEmpty());
    EXPECT_EQ(pass.ZapCount, 0);
    EXPECT_EQ(Picture(pf, 18), Rows({"B22.......", "1111111.11"}));
    EXPECT_TRUE(AllMarksAndFillMapClear());
}

TEST_F(PlayfieldLogic, OnlySideNeighboursConnectAndColoursDoNotMix) {
    Draw(pf, {"B1........",   // the bobble at 2,19 touches the 1 only at a corner
              "..B...B12B"}); // 1 and 2 each touch one bobble only
    RunPass();
    EXPECT_TRUE(form.Zaps().isEmpty());
    EXPECT_EQ(Picture(pf, 18), Rows({"B1........", "..B...B12B"}));
}

TEST_F(PlayfieldLogic, BobbleBetweenTwoAreasTakesBothWithAllThreeBobbles) {
    Draw(pf, {".5........", "B33B44B..."});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(form.Zaps(), Rows({"zap 0,19", "zap 1,19", "zap 2,19", "zap 3,19", "zap 4,19",
                                 "zap 5,19", "zap 6,19"}));
    EXPECT_EQ(pass.ZapCount, 5);
    EXPECT_EQ(form.Teleported, Rows({"1,19", "2,19", "4,19", "5,19"}));
    EXPECT_EQ(form.Falls(), Rows({"fall 1,18 1x1 mark -1 by 1"}));
    EXPECT_EQ(Picture(pf, 18), Rows({"..........", ".5........"}));
}

TEST_F(PlayfieldLogic, ChainedBobblesAreTakenIn) {
    Draw(pf, {"B11BB....."});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(form.Zaps().size(), 5);
    EXPECT_EQ(pass.ZapCount, 3);
    EXPECT_EQ(Picture(pf, 19), Rows({".........."}));
}

TEST_F(PlayfieldLogic, TwoBobblesSideBySideVanishAndEndTheCascade) {
    // The 3 falls into the gap and completes row 19, but the pass counts 0
    // (two cells less the two bobbles), so no further pass looks at the line.
    Draw(pf, {"...3......", "...BB.....", "111.111111"});
    pf.ResolveLanding();
    EXPECT_EQ(form.Zaps(), Rows({"zap 3,18", "zap 4,18"}));
    EXPECT_EQ(form.Falls(), Rows({"fall 3,17 1x1 mark -1 by 2"}));
    EXPECT_EQ(pf.LinesRemoved(), 0);
    EXPECT_EQ(pf.CellsZapped(), 0);
    EXPECT_EQ(Picture(pf, 17), Rows({"..........", "..........", "1113111111"}));
}

// --- Full lines -------------------------------------------------------------------

TEST_F(PlayfieldLogic, FullBottomRowIsZappedNeverOfferedAndWhatStoodOnItFalls) {
    Draw(pf, {"..2.......", "..2...55..", "..2....5..", "1234567123"});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(pass.LinesFound, 1);
    EXPECT_EQ(pass.ZapCount, 8);
    EXPECT_EQ(form.Zaps().size(), 10);
    EXPECT_TRUE(form.Teleported.isEmpty());
    EXPECT_EQ(form.Falls(), Rows({"fall 2,16 1x3 mark -1 by 1", "fall 6,17 2x2 mark -2 by 1"}));
    EXPECT_EQ(Picture(pf, 16), Rows({"..........", "..2.......", "..2...55..", "..2....5.."}));
}

TEST_F(PlayfieldLogic, WithZapLineOffAFullRowStays) {
    form.ZapLineOn = false;
    Draw(pf, {"..2.......", "1234567123"});
    pf.ResolveLanding();
    EXPECT_TRUE(form.Log.isEmpty());
    EXPECT_EQ(pf.LinesRemoved(), 0);
    EXPECT_EQ(Picture(pf, 18), Rows({"..2.......", "1234567123"}));
}

TEST_F(PlayfieldLogic, LineThatIsAlsoABobbleAreaCountsAsLineAndTeleports) {
    Draw(pf, {"B1111111B1"});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(pass.LinesFound, 1);
    EXPECT_EQ(pass.ZapCount, 8);
    EXPECT_EQ(form.Teleported.size(), 8);
}

// --- Falling groups -----------------------------------------------------------------

TEST_F(PlayfieldLogic, GroupTouchingTheFloorAnywhereNeverFalls) {
    // The group hangs over the two bobbles and over empty places, but its
    // left leg stands on the floor.
    Draw(pf, {"2323......", "3BB......."});
    RunPass();
    EXPECT_EQ(form.Zaps(), Rows({"zap 1,19", "zap 2,19"}));
    EXPECT_TRUE(form.Falls().isEmpty());
    EXPECT_EQ(Picture(pf, 18), Rows({"2323......", "3........."}));
}

TEST_F(PlayfieldLogic, GroupFallsByTheSmallestFreeDistanceUnderAnyOfItsCells) {
    // Free distances under the group: 1 at column 0, 5 at column 1, 2 at column 2.
    Draw(pf, {"555.......", "..5.......", "4.5.......", "4.5.......", "4.BB......", "4........."});
    RunPass();
    EXPECT_EQ(form.Falls(), Rows({"fall 0,14 3x4 mark -1 by 1"}));
    EXPECT_EQ(Picture(pf, 14), Rows({"..........", "555.......", "4.5.......", "4.5.......",
                                     "4.5.......", "4........."}));
}

TEST_F(PlayfieldLogic, CellsUnderZappedCellsAreNotExaminedAndDoNotFall) {
    Draw(pf, {"B11B......", ".2........", ".........."});
    pf.ResolveLanding();
    EXPECT_TRUE(form.Falls().isEmpty());
    EXPECT_EQ(Picture(pf, 17), Rows({"..........", ".2........", ".........."}));
}

TEST_F(PlayfieldLogic, UpperGroupFallsOntoLowerOneWhichThenFallsAway) {
    // The upper group is reached first (from the bobbles beside it), so it
    // falls first: onto the lower group, which only then falls away.
    Draw(pf, {"....B3....", "....B6....", "..........", ".....2....", "1234567123"});
    const TPlayfieldLogicAlgoritm pass = RunPass();
    EXPECT_EQ(pass.LinesFound, 1);
    EXPECT_EQ(form.Falls(), Rows({"fall 5,15 1x2 mark -1 by 1", "fall 5,18 1x1 mark -2 by 1"}));
    EXPECT_EQ(Picture(pf, 15),
              Rows({"..........", ".....3....", ".....6....", "..........", ".....2...."}));
}

TEST_F(PlayfieldLogic, FallHeightIgnoresGapsInsideTheGroup) {
    Draw(pf, {"1.........", "..........", "1.........", "..........", "2........."});
    pf.GetCell(0, 15)->Mark = -1;
    pf.GetCell(0, 17)->Mark = -1;
    TPlayfieldLogicAlgoritm pass;
    pass.Playfield = &pf;
    EXPECT_EQ(pass.GetFallHeight(-1), 1);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
}

TEST_F(PlayfieldLogic, FallHeightOfZeroIsAFailedCheckTheUserMayPass) {
    Draw(pf, {"1........."});
    pf.GetCell(0, 19)->Mark = -1;
    TPlayfieldLogicAlgoritm pass;
    pass.Playfield = &pf;
    EXPECT_EQ(pass.GetFallHeight(-1), 0);
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    const QString text = TestEnvironment::Dialogs().Log()[0].Text;
    EXPECT_TRUE(text.contains(QStringLiteral("Illegal state")));
    EXPECT_TRUE(text.contains(QStringLiteral("GetFallHeight")));
}

// --- The fill map and cells arriving during a pass ----------------------------------

TEST_F(PlayfieldLogic, FillMapCoversTheWholePathOfAFallingGroupWhileThePassRuns) {
    Draw(pf, {"...3......", "...BB.....", "111.111111"});
    QStringList mapAtFirstZap;
    form.OnZapFinished = [&](int, int) {
        if (!mapAtFirstZap.isEmpty()) return;
        for (int y = 17; y < 20; ++y) {
            QString row;
            for (int x = 0; x < 10; ++x)
                row += QString::number(pf.GetFillMap(x, y));
            mapAtFirstZap << row;
        }
    };
    RunPass();
    // The group's cell, the zapped bobble under it and the gap to the floor.
    EXPECT_EQ(mapAtFirstZap, Rows({"0001000000", "0001000000", "0001000000"}));
    EXPECT_TRUE(AllMarksAndFillMapClear());
}

TEST_F(PlayfieldLogic, TeleportsHonouringTheFillMapCannotBlockAFall) {
    // Another player's cells arrive at every place just zapped, and under
    // the zapped bobbles, wherever the fill map lets them in.
    Draw(pf, {"...3......", "...BB.....", "111.111111"});
    form.OnZapFinished = [&](int x, int y) {
        for (int row = y; row < 20; ++row)
            if (!pf.IsOccupied(x, row) && pf.GetFillMap(x, row) == 0) pf.AddCell(x, row, 1, 7);
    };
    RunPass();
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
    EXPECT_EQ(Picture(pf, 17), Rows({"..........", "....7.....", "1113111111"}));
}

TEST_F(PlayfieldLogic, FailedPassLeavesNoMarksAndNoFillMap) {
    // A sender that ignores the fill map puts a cell right under the
    // falling 3: the fall height is 0, and the user stops at the report.
    Draw(pf, {"...3......", "...BB.....", "111.111111"});
    form.OnZapFinished = [&](int x, int y) {
        if (x == 3 && y == 18) pf.AddCell(3, 18, 1, 7);
    };
    TestEnvironment::Dialogs().QueueAnswer(dbNo);
    EXPECT_THROW(pf.ResolveLanding(), std::exception);
    EXPECT_TRUE(AllMarksAndFillMapClear());
}

// --- Zapping, waiting and cascades --------------------------------------------------

TEST_F(PlayfieldLogic, CellsAreZappedAboutThirtyMillisecondsApartAndWaitedFor) {
    Draw(pf, {"..2.......", "1234567123"});
    int finishedWhenFalling = -1;
    form.OnFall = [&](int32_t, int) { finishedWhenFalling = form.FinishedZaps; };
    const uint64_t start = TestEnvironment::Clock().Now();
    RunPass();
    EXPECT_EQ(finishedWhenFalling, 10);
    EXPECT_EQ(form.PendingZaps(), 0);
    EXPECT_GE(TestEnvironment::Clock().Now() - start, 10u * 30u);
    EXPECT_LT(TestEnvironment::Clock().Now() - start, 10u * 40u);
}

TEST_F(PlayfieldLogic, WaitForZapsEndsWhenTheProgramTerminates) {
    class StuckZaps : public RecordingGameForm {
    public:
        using RecordingGameForm::RecordingGameForm;
        void StartZap(int, int) override { Application::Terminate(); }
    };
    TPlayfield other;
    StuckZaps stuck(other);
    Draw(other, {"BB........"});
    TPlayfieldLogicAlgoritm pass;
    pass.Playfield = &other;
    pass.Execute();
    EXPECT_EQ(stuck.PendingZaps(), 2);
    EXPECT_EQ(Picture(other, 19), Rows({".........."}));
    Application::ResetTerminated();
}

TEST_F(PlayfieldLogic, CascadeRunsUntilAPassRemovesNothing) {
    Draw(pf, {"....5.....", "1111111111", "2222.22222"});
    pf.ResolveLanding();
    EXPECT_EQ(pf.LinesRemoved(), 2);
    EXPECT_EQ(pf.CellsZapped(), 16);
    EXPECT_EQ(form.Zaps().size(), 20);
    EXPECT_EQ(Picture(pf, 17), Rows({"..........", "..........", ".........."}));
}

TEST_F(PlayfieldLogic, PlayfieldWithoutGameWindowResolvesAtOnce) {
    TPlayfield bare;
    Draw(bare, {
                   "....5.....",
                   "1111111111",
                   "2222.22222",
               });
    bare.ResolveLanding();
    EXPECT_EQ(bare.LinesRemoved(), 2);
    EXPECT_EQ(bare.CellsZapped(), 16);
    EXPECT_EQ(TestEnvironment::Clock().Now(), 1000u) << "no zap pauses without animations";
}

// --- Raising bobbles -------------------------------------------------------------------

TEST_F(PlayfieldLogic, FreeBobblesFloatAwayOnlyWhenSwitchedOn) {
    Draw(pf, {"....2.....", "B...B.....", "1...1....."});
    RunPass();
    EXPECT_TRUE(form.Log.isEmpty());

    form.RaiseBobblesOn = true;
    RunPass();
    EXPECT_EQ(form.Log, Rows({"glass 0,18"}));
    EXPECT_EQ(Picture(pf, 17), Rows({"....2.....", "....B.....", "1...1....."}));
}

TEST_F(PlayfieldLogic, BobbleInTheTopRowFloatsAway) {
    form.RaiseBobblesOn = true;
    pf.AddCell(6, 0, TCell::cfBobble, 0);
    pf.AddCell(6, 1, TCell::cfBrick, 2);
    RunPass();
    EXPECT_EQ(form.Log, Rows({"glass 6,0"}));
    EXPECT_FALSE(pf.IsOccupied(6, 0));
}
} // namespace
