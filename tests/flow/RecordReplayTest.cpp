#include "FlowTestSupport.h"
#include "flow/GfxF.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "platform/ClockTimer.h"
#include "persistence/DemoF.h"
#include "persistence/Recorder_KX.h"

#include <QFile>

using namespace FlowTest;

class RecordReplay : public GameTest {
protected:
    QString File(const QString& name) const {
        return TestEnvironment::ScratchFolder() + "/" + name;
    }

    // Records a session with the random player and replays it in a fresh host.
    void ExpectSameOnReplay(const THeadlessSession::RecordOptions& options, const QString& name) {
        const QString file = File(name);
        const QString recorded = SessionResults::Format(Session->Record(options, file));
        ASSERT_TRUE(Host().SessionEnded());
        TRecordedData data;
        data.LoadFromFile(file);
        EXPECT_EQ(data.Settings().Players, options.Players);
        EXPECT_EQ(data.Settings().Level, options.Level);
        EXPECT_EQ(data.Settings().RandomSeed, static_cast<int32_t>(options.Seed));
        EXPECT_GT(data.GetCount(), 20) << "the random player did play";
        // Games that ended by themselves record no stop: a replay ends them the same way.
        for (int i = 0; i < data.GetCount(); ++i)
            EXPECT_NE(data.GetItemAdd(i).ActionCode, acStop);

        Session = std::make_unique<THeadlessSession>();
        Settings() = TSettings();
        const QString replayed = SessionResults::Format(Session->Replay(file));
        EXPECT_EQ(replayed, recorded);
        EXPECT_FALSE(Host().DemoForm()->IsReplaying());
    }
};

TEST_F(RecordReplay, AOnePlayerGameReplaysToTheSameEnd) {
    THeadlessSession::RecordOptions options;
    options.Seed = 4242;
    options.Players = 1;
    options.Level = 2;
    options.Inputs = 17;
    ExpectSameOnReplay(options, QStringLiteral("one.rep"));
}

TEST_F(RecordReplay, ATwoPlayerGameReplaysToTheSameEndThroughTheSharedSupplier) {
    for (uint32_t seed : {1u, 9u, 13u}) {
        THeadlessSession::RecordOptions options;
        options.Seed = seed;
        options.Players = 2;
        options.Level = static_cast<int>(seed % 5);
        options.Inputs = seed * 7;
        ExpectSameOnReplay(options, QStringLiteral("two-%1.rep").arg(seed));
        Session = std::make_unique<THeadlessSession>();
    }
}

TEST_F(RecordReplay, SpeedAndTurningDirectionComeFromTheRecording) {
    THeadlessSession::RecordOptions options;
    options.Seed = 99;
    options.Players = 2;
    options.Speed = 2;
    options.Clockwise = false;
    options.Inputs = 5;
    ExpectSameOnReplay(options, QStringLiteral("fast.rep"));
}

TEST_F(RecordReplay, AStoppedSessionReplaysToTheSameStop) {
    THeadlessSession::RecordOptions options;
    options.Seed = 31;
    options.Players = 2;
    options.Inputs = 3;
    options.MaxFrames = 900;
    const QString file = File(QStringLiteral("stopped.rep"));
    const auto recorded = Session->Record(options, file);
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_TRUE(recorded[0].Stopped);
    EXPECT_TRUE(recorded[1].Stopped);
    Session = std::make_unique<THeadlessSession>();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), SessionResults::Format(recorded));
}

TEST_F(RecordReplay, AReplayWhoseActionsRunOutPlaysOnToItsEndWithoutHandingOver) {
    THeadlessSession::RecordOptions options;
    options.Seed = 5;
    options.Players = 1;
    options.Inputs = 11;
    const QString file = File(QStringLiteral("cut.rep"));
    Session->Record(options, file);
    // Keep the settings and the first ten actions only.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray all = f.readAll();
    QByteArray cut = all.left(19 + 13 * 10);
    cut[15] = 10;
    cut[16] = cut[17] = cut[18] = 0;
    f.resize(0);
    f.seek(0);
    f.write(cut);
    f.close();
    Session = std::make_unique<THeadlessSession>();
    TestEnvironment::Dialogs().ClearLog();
    const auto results = Session->Replay(file, 5000);
    ASSERT_EQ(results.size(), 1u);
    bool told = false;
    for (const auto& shown : TestEnvironment::Dialogs().Log())
        told = told ||
               shown.Text == QStringLiteral("Old game is now replayed, you can now take over.");
    EXPECT_FALSE(told) << "only a continued old game hands over";
    EXPECT_GE(Session->FramesRun(), 1);
}

TEST_F(RecordReplay, ADamagedRecordingIsRefusedAndPlaysNothing) {
    const QString file = File(QStringLiteral("damaged.rep"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x00\x00", 3));
    f.close();
    EXPECT_THROW(Session->Replay(file), EReplayFileError);
    EXPECT_EQ(Host().Session(), nullptr);
}

TEST_F(RecordReplay, DisabledLevelIncreaseIsRecordedAndKeptByTheReplay) {
    THeadlessSession::RecordOptions options;
    options.Seed = 77;
    options.Players = 2;
    options.Inputs = 11;
    const QString file = File(QStringLiteral("level-fixed.rep"));
    Host().SetLevelIncreaseDisabled(true);
    const QString recorded = SessionResults::Format(Session->Record(options, file));
    TRecordedData data;
    data.LoadFromFile(file);
    EXPECT_TRUE(data.Settings().LevelIncreaseDisabled);
    EXPECT_EQ(data.Settings().Players, 2);
    // The replaying host has the item unchecked: the recording decides.
    Session = std::make_unique<THeadlessSession>();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), recorded);
}

// The colour marks are paint only: a game played with them records the very
// file it records without, and a replay plays the same with the option on.
TEST_F(RecordReplay, TheColourMarksChangeNeitherTheRecordingNorItsReplay) {
    THeadlessSession::RecordOptions options;
    options.Seed = 21;
    options.Players = 2;
    options.Inputs = 9;
    QByteArray files[2];
    QString results[2];
    for (const bool marked : {false, true}) {
        Session = std::make_unique<THeadlessSession>();
        Settings() = TSettings();
        Settings().MarkColours = marked;
        const QString file = File(marked ? QStringLiteral("marked.rep") : QStringLiteral("plain.rep"));
        results[marked] = SessionResults::Format(Session->Record(options, file));
        EXPECT_EQ(Host().GfxForm()->ColourMarks(), marked);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        files[marked] = f.readAll();
    }
    EXPECT_FALSE(files[0].isEmpty());
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(results[0], results[1]);

    Session = std::make_unique<THeadlessSession>();
    Settings() = TSettings();
    Settings().MarkColours = true;
    EXPECT_EQ(SessionResults::Format(Session->Replay(File(QStringLiteral("plain.rep")))),
              results[0]);
}

// The pause is no action of the recording: a game paused now and then, also
// with "P" read inside a tick (as during a landing's nested loop), must
// replay to the same end without any pause.
TEST_F(RecordReplay, ATwoPlayerGamePausedNowAndThenReplaysToTheSameEnd) {
    const QString file = File("paused.rep");
    Settings().SoundEffectEnabled = false;
    Host().CheckPlayersItem(2);
    SetRandSeed(77);
    Host().DemoForm()->StartRecording();
    TSessionCoordinator* session = Host().NewSession();
    TRandomPlayer players(77, 2);
    int ticks = 0, pauses = 0;
    // Inside a tick at 70 ms: pauses of 140 to 560 ms, and shorter ones by frame.
    ClockTimer pauser([&] {
        ++ticks;
        if (ticks % 60 == 10 || ticks % 60 == 12 + ticks / 60 % 7) session->KeyDown(ScanCode::P);
    });
    pauser.SetInterval(70);
    pauser.SetActive(true);
    int64_t frame = 0;
    Session->RunSession(6000, [&] {
        if (++frame % 333 == 100 || frame % 333 == 103) session->KeyDown(ScanCode::P);
        if (session->GetGame(0)->IsPaused()) ++pauses;
        if (!session->GetGame(0)->IsPaused()) players.Act();
    });
    pauser.SetActive(false);
    players.ReleaseAll();
    ASSERT_GT(pauses, 20) << "the games were paused";
    Host().DemoForm()->SaveRecording(file);
    const QString played = SessionResults::Format(Session->Results());

    Session = std::make_unique<THeadlessSession>();
    Settings() = TSettings();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), played);
}
