#include "PersistenceFakes.h"
#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "persistence/DemoF.h"
#include "sound/Sound_KX.h"

#include <QFileInfo>
#include <gtest/gtest.h>

// Found by argument lookup from the standard algorithms.
static bool operator==(const TGameAction& a, const TGameAction& b) {
    return a.GameIndex == b.GameIndex && a.BrickLeft == b.BrickLeft && a.BrickTop == b.BrickTop &&
           a.ActionCode == b.ActionCode;
}

namespace {
TGameAction Action(int32_t game, int32_t left, int32_t top, uint8_t code) {
    TGameAction a;
    a.GameIndex = game;
    a.BrickLeft = left;
    a.BrickTop = top;
    a.ActionCode = code;
    return a;
}

std::vector<TGameAction> Actions(const TRecordedData& data) {
    std::vector<TGameAction> result;
    for (int i = 0; i < data.GetCount(); ++i)
        result.push_back(data.GetItemAdd(i));
    return result;
}

class ReplayTest : public testing::Test {
protected:
    void SetUp() override {
        folder = FreshStart();
        EnableSounds();
    }

    QString File(const QString& name) const { return folder + '/' + name; }

    // A recording of two players at level 3, counter-clockwise, speed 2.
    QString WriteOldGame(const QString& name, const std::vector<TGameAction>& actions) {
        TRecordedData data;
        data.Settings().Players = 2;
        data.Settings().Level = 3;
        data.Settings().RotationClockwise = false;
        data.Settings().Speed = 2;
        data.Settings().RandomSeed = 4242;
        for (const TGameAction& a : actions)
            data.Add(a);
        data.SaveToFile(File(name));
        return File(name);
    }

    // What a game window does in one brick frame while replaying.
    std::vector<TGameAction> ReplayFrame(int game, int left, int top) {
        std::vector<TGameAction> applied;
        TGameAction action;
        while (demo.TakeReplayedAction(game, left, top, action)) {
            applied.push_back(action);
            if (action.ActionCode == acStop) break;
        }
        return applied;
    }

    QString folder;
    FakeGameMenu menu;
    FakeBackground background;
    TDemoForm demo{&menu, &background};
};

TEST_F(ReplayTest, ActionsMatchOnlyTheirOwnGameAtTheirExactPosition) {
    const QString file =
        WriteOldGame("m.rep", {Action(0, 64, 10, acMoveLeft), Action(0, 64, 10, acTurn),
                               Action(1, 64, 12, acDrop)});
    TReplayer& replayer = demo.LastGameReplayer();
    replayer.LoadFromFile(file);
    EXPECT_TRUE(replayer.HasMore());
    EXPECT_FALSE(replayer.Matches(0, 64, 9));
    EXPECT_FALSE(replayer.Matches(0, 63, 10));
    EXPECT_FALSE(replayer.Matches(1, 64, 10));
    EXPECT_TRUE(replayer.Matches(0, 64, 10));
    EXPECT_EQ(demo.CurrentReplayer(), &replayer);

    ASSERT_TRUE(demo.BeginLastGameReplay());
    EXPECT_TRUE(demo.IsReplaying());
    EXPECT_TRUE(ReplayFrame(1, 64, 12).empty()); // game 1's turn comes after game 0's
    const std::vector<TGameAction> sameFrame = ReplayFrame(0, 64, 10);
    ASSERT_EQ(sameFrame.size(), 2u);
    EXPECT_EQ(sameFrame[0].ActionCode, acMoveLeft);
    EXPECT_EQ(sameFrame[1].ActionCode, acTurn);
    EXPECT_TRUE(ReplayFrame(0, 64, 12).empty());
    EXPECT_EQ(ReplayFrame(1, 64, 12).size(), 1u);
    EXPECT_FALSE(demo.HasMoreActions());
    EXPECT_FALSE(replayer.Matches(1, 64, 12));
    EXPECT_FALSE(demo.IsRecording());
    EXPECT_EQ(demo.Recorder().Data()->GetCount(), 0); // a plain replay records nothing
}

TEST_F(ReplayTest, RecordsOnlyWhileRecordingAndReplaysTheGameJustRecorded) {
    demo.RecordAction(0, 1, 2, acDrop);
    EXPECT_EQ(demo.Recorder().Data()->GetCount(), 0);
    menu.Players = 2;
    menu.GameType = 1;
    menu.Level = 4;
    Settings().RotationDirectionClockwise = false;
    Settings().Speed = 1;
    SetRandSeed(99);
    demo.StartRecording();
    EXPECT_TRUE(demo.IsRecording());
    const TGameSettings& snap = demo.Recorder().Data()->Settings();
    EXPECT_EQ(snap.Players, 2);
    EXPECT_EQ(snap.GameType, 1);
    EXPECT_EQ(snap.Level, 4);
    EXPECT_FALSE(snap.RotationClockwise);
    EXPECT_EQ(snap.Speed, 1);
    EXPECT_EQ(snap.RandomSeed, 99);
    EXPECT_FALSE(demo.HasLastGame());

    demo.RecordAction(0, 64, 0, acTurn);
    demo.RecordAction(1, 48, 5, acStop);
    demo.EndOfGame();
    EXPECT_FALSE(demo.IsRecording());
    EXPECT_TRUE(demo.HasLastGame());
    // The same object, not a copy.
    EXPECT_EQ(demo.LastGameReplayer().Data(), demo.Recorder().Data());

    // A new game clears the shared data: the previous game is gone.
    demo.BeginNewGame();
    EXPECT_FALSE(demo.HasLastGame());
}

TEST_F(ReplayTest, LoadingAFileReplacesOnlyTheReplayersReference) {
    demo.StartRecording();
    demo.RecordAction(0, 64, 0, acTurn);
    demo.StopRecording();
    const std::shared_ptr<TRecordedData> recorded = demo.Recorder().Data();

    demo.LoadLastGame(WriteOldGame("l.rep", {Action(0, 1, 1, acDrop), Action(0, 2, 2, acDrop)}));
    EXPECT_NE(demo.LastGameReplayer().Data(), recorded);
    EXPECT_EQ(demo.LastGameReplayer().Data()->GetCount(), 2);
    EXPECT_EQ(demo.Recorder().Data(), recorded);
    EXPECT_EQ(recorded->GetCount(), 1);

    demo.StartRecording();
    demo.RecordAction(0, 5, 5, acMoveRight);
    EXPECT_EQ(recorded->GetCount(), 1);
    EXPECT_EQ(demo.LastGameReplayer().Data()->GetCount(), 2);
}

TEST_F(ReplayTest, SavingAfterLoadingWritesTheGameReplayWouldPlay) {
    const QString loaded = WriteOldGame("in.rep", {Action(0, 16, 16, acTurn)});
    demo.LoadLastGame(loaded);
    demo.SaveRecording(File("out.rep"));
    EXPECT_EQ(ReadAll(File("out.rep")), ReadAll(loaded));

    // While a game is recorded the recording in progress is what is saved.
    demo.StartRecording();
    demo.RecordAction(0, 1, 2, acDrop);
    demo.SaveRecording(File("now.rep"));
    EXPECT_EQ(ReadAll(File("now.rep")), demo.Recorder().Data()->ToBytes());
}

TEST_F(ReplayTest, ReplayPutsTheRecordedSettingsInForceAndTheEndOfTheGamePutsThePlayersBack) {
    Settings().RotationDirectionClockwise = true;
    Settings().Speed = 0;
    Settings().SoundEffectEnabled = true;
    Settings().ShowGridLines = true;
    SetRandSeed(1);
    ASSERT_TRUE(demo.BeginDemo(WriteOldGame("DemoData.dat", {Action(0, 64, 0, acStop)})));
    EXPECT_EQ(demo.CurrentReplayer(), &demo.DemoReplayer());
    EXPECT_TRUE(demo.IsReplaying());
    EXPECT_FALSE(Settings().RotationDirectionClockwise);
    EXPECT_EQ(Settings().Speed, 2);
    EXPECT_FALSE(Settings().SoundEffectEnabled);
    EXPECT_FALSE(SoundOn());
    EXPECT_EQ(background.GameBackground().pixel(31, 5), qRgb(0, 0, 128));
    EXPECT_EQ(menu.Players, 2);
    EXPECT_EQ(menu.Level, 3);
    EXPECT_EQ(RandSeed(), 4242u);

    EXPECT_EQ(ReplayFrame(0, 64, 0).size(), 1u);
    demo.EndOfGame();
    EXPECT_FALSE(demo.IsReplaying());
    EXPECT_TRUE(Settings().RotationDirectionClockwise);
    EXPECT_EQ(Settings().Speed, 0);
    EXPECT_TRUE(Settings().SoundEffectEnabled);
    EXPECT_TRUE(SoundOn());
    // The menus keep showing what was replayed.
    EXPECT_EQ(menu.Players, 2);
    EXPECT_EQ(menu.Level, 3);

    // A second ending (or one without a replay) changes nothing more.
    Settings().Speed = 1;
    demo.EndOfGame();
    EXPECT_EQ(Settings().Speed, 1);
}

TEST_F(ReplayTest, ReplayStartedBeforeThePreviousWasWoundUpKeepsThePlayersSettings) {
    Settings().Speed = 1;
    Settings().SoundEffectEnabled = true;
    const QString file = WriteOldGame("d.rep", {});
    demo.BeginDemo(file);
    demo.BeginDemo(file);
    demo.EndOfGame();
    EXPECT_EQ(Settings().Speed, 1);
    EXPECT_TRUE(Settings().SoundEffectEnabled);
}

TEST_F(ReplayTest, ContinuedGameIsRecordedWholeUnderTheRecordedSettingsAndSeed) {
    Settings().RotationDirectionClockwise = true;
    Settings().Speed = 0;
    menu.Players = 1;
    menu.Level = 0;
    SetRandSeed(7);
    const std::vector<TGameAction> old = {Action(0, 64, 3, acMoveLeft), Action(1, 64, 3, acTurn),
                                          Action(0, 48, 9, acDrop)};
    ASSERT_TRUE(demo.BeginOldGame(WriteOldGame("old.rep", old)));
    EXPECT_TRUE(demo.IsReplaying());
    EXPECT_TRUE(demo.IsRecording());
    const TGameSettings& snap = demo.Recorder().Data()->Settings();
    EXPECT_EQ(snap.Players, 2);
    EXPECT_EQ(snap.Level, 3);
    EXPECT_FALSE(snap.RotationClockwise);
    EXPECT_EQ(snap.Speed, 2);
    EXPECT_EQ(snap.RandomSeed, 4242);

    EXPECT_EQ(ReplayFrame(0, 64, 3).size(), 1u);
    EXPECT_EQ(ReplayFrame(1, 64, 3).size(), 1u);
    EXPECT_EQ(ReplayFrame(0, 48, 9).size(), 1u);
    EXPECT_FALSE(demo.HasMoreActions());
    demo.StopReplaying(); // the player takes over
    // Still the recorded settings while the player plays on.
    EXPECT_EQ(Settings().Speed, 2);
    demo.RecordAction(0, 48, 40, acMoveRight);
    demo.RecordAction(1, 80, 50, acStop);
    demo.RecordAction(0, 64, 300, acStop);
    demo.EndOfGame();
    EXPECT_EQ(Settings().Speed, 0);
    EXPECT_TRUE(Settings().RotationDirectionClockwise);

    std::vector<TGameAction> whole = old;
    whole.push_back(Action(0, 48, 40, acMoveRight));
    whole.push_back(Action(1, 80, 50, acStop));
    whole.push_back(Action(0, 64, 300, acStop));
    EXPECT_EQ(Actions(*demo.LastGameReplayer().Data()), whole);
    EXPECT_EQ(demo.LastGameReplayer().Data(), demo.Recorder().Data());

    // "Replay" of it starts from the old game's own start.
    SetRandSeed(1);
    ASSERT_TRUE(demo.BeginLastGameReplay());
    EXPECT_EQ(RandSeed(), 4242u);
    EXPECT_EQ(Settings().Speed, 2);
    EXPECT_EQ(ReplayFrame(0, 64, 3).size(), 1u);
}

TEST_F(ReplayTest, ContinuingACompleteGameEndsBothRecordingAndReplaying) {
    ASSERT_TRUE(demo.BeginOldGame(WriteOldGame("c.rep", {Action(0, 64, 0, acStop)})));
    const std::vector<TGameAction> frame = ReplayFrame(0, 64, 0);
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].ActionCode, acStop);
    demo.RecordAction(0, 64, 0, acStop); // the game window on its game's end
    demo.EndOfGame();
    EXPECT_FALSE(demo.IsRecording());
    EXPECT_FALSE(demo.IsReplaying());
    EXPECT_EQ(Actions(*demo.Recorder().Data()),
              (std::vector<TGameAction>{Action(0, 64, 0, acStop)}));
}

TEST_F(ReplayTest, EmptyOldGameIsTakenOverAtOnceUnderTheRecordedSettings) {
    const QString file = WriteOldGame("e.rep", {});
    EXPECT_EQ(ReadAll(file).size(), 19);
    demo.LoadLastGame(file);
    EXPECT_FALSE(demo.HasLastGame());
    ASSERT_TRUE(demo.BeginOldGame(file));
    EXPECT_FALSE(demo.HasMoreActions());
    EXPECT_EQ(RandSeed(), 4242u);
    EXPECT_EQ(demo.Recorder().Data()->Settings().RandomSeed, 4242);
}

TEST_F(ReplayTest, DamagedOldGameOrDemoChangesNothing) {
    demo.StartRecording();
    demo.RecordAction(0, 64, 0, acTurn);
    demo.StopRecording();
    const std::shared_ptr<TRecordedData> last = demo.LastGameReplayer().Data();
    WriteAll(File("bad.rep"), QByteArray(12, '\1'));
    Settings().Speed = 1;
    EXPECT_THROW(demo.BeginOldGame(File("bad.rep")), EReplayFileError);
    EXPECT_THROW(demo.BeginDemo(File("bad.rep")), EReplayFileError);
    EXPECT_THROW(demo.BeginDemo(File("missing.dat")), EReplayFileError);
    EXPECT_FALSE(demo.IsReplaying());
    EXPECT_FALSE(demo.IsRecording());
    EXPECT_EQ(demo.LastGameReplayer().Data(), last);
    EXPECT_EQ(last->GetCount(), 1);
    EXPECT_EQ(Settings().Speed, 1);
}

TEST_F(ReplayTest, NothingToReplayStartsNothing) {
    EXPECT_FALSE(demo.HasLastGame());
    EXPECT_FALSE(demo.BeginLastGameReplay());
    EXPECT_FALSE(demo.IsReplaying());
    demo.SelectDemoReplayer();
    EXPECT_FALSE(demo.StartReplay());
    EXPECT_FALSE(demo.HasMoreActions());
    EXPECT_FALSE(demo.MatchesNextAction(0, 0, 0));
}

TEST_F(ReplayTest, RecordingWithoutTheMainWindowIsReported) {
    TDemoForm orphan;
    TestEnvironment::Dialogs().QueueAnswer(dbYes);
    orphan.StartRecording();
    ASSERT_FALSE(TestEnvironment::Dialogs().Log().empty());
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().back().Text.contains("SnapshotGameParams"));
    EXPECT_TRUE(orphan.IsRecording());
}

class RecordingDumpTest : public testing::Test {
protected:
    void SetUp() override {
        folder = FreshStart();
        QFile::remove(TPrjError::DumpFileName());
    }
    void TearDown() override { QFile::remove(TPrjError::DumpFileName()); }

    void ReportFault() {
        TestEnvironment::Dialogs().QueueAnswer(dbYes);
        ProjectErrorReporter().Check(false, "test", "RecordingDumpTest");
    }

    QString folder;
    FakeGameMenu menu;
};

TEST_F(RecordingDumpTest, FaultReportWritesTheCurrentRecordingToTheTemporaryFolder) {
    TDemoForm demo(&menu);
    EXPECT_TRUE(TPrjError::DumpFileName().startsWith(TestEnvironment::ScratchFolder()));
    demo.StartRecording();
    demo.RecordAction(0, 64, 0, acTurn);
    ReportFault();
    EXPECT_EQ(ReadAll(TPrjError::DumpFileName()), demo.Recorder().Data()->ToBytes());
    EXPECT_EQ(ReadAll(TPrjError::DumpFileName()).size(), 32);
}

TEST_F(RecordingDumpTest, WithoutARecorderNoDumpIsWritten) {
    { TDemoForm gone(&menu); }
    ReportFault();
    EXPECT_FALSE(QFileInfo::exists(TPrjError::DumpFileName()));
    EXPECT_FALSE(TestEnvironment::Dialogs().Log().empty());
}

TEST_F(RecordingDumpTest, DumpReplacesAPlantedLinkInsteadOfFollowingIt) {
    TDemoForm demo(&menu);
    const QString victim = folder + "/victim";
    WriteAll(victim, "precious");
    ASSERT_TRUE(QFile::link(victim, TPrjError::DumpFileName()));
    demo.StartRecording();
    ReportFault();
    EXPECT_EQ(ReadAll(victim), "precious");
    const QFileInfo dump(TPrjError::DumpFileName());
    EXPECT_FALSE(dump.isSymLink());
    EXPECT_EQ(ReadAll(dump.filePath()).size(), 19);
    const QStringList leftovers =
        QDir(dump.absolutePath()).entryList({".Kolvex.rep*"}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(leftovers.isEmpty());
}
} // namespace
