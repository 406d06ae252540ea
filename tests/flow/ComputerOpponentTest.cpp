#include "FlowTestSupport.h"
#include "flow/ComputerHand_KX.h"
#include "flow/GfxF.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "persistence/DemoF.h"
#include "persistence/Recorder_KX.h"

#include <QtEndian>

using namespace FlowTest;

namespace {
// A person (the random player on the arrow keys) in the first well against
// the computer at Normal in the second, as "1 against the computer" plays.
class ComputerOpponent : public GameTest {
protected:
    QString File(const QString& name) const {
        return TestEnvironment::ScratchFolder() + "/" + name;
    }
    QString PlayAndSave(uint32_t seed, const QString& file) {
        Settings().SoundEffectEnabled = false;
        ApplySettings(Host().GfxForm());
        Host().CheckPlayersItem(2);
        Host().SetComputer(0b10, 2);
        SetRandSeed(seed);
        Host().DemoForm()->StartRecording();
        TSessionCoordinator* session = Host().NewSession();
        EXPECT_FALSE(session->GetGame(0)->IsComputer());
        EXPECT_TRUE(session->GetGame(1)->IsComputer());
        TRandomPlayer person(seed, 1);
        Session->RunSession(30000, [&] { person.Act(); });
        person.ReleaseAll();
        EXPECT_GT(session->GetGame(1)->ComputerHand()->Presses(), 50) << "the computer played";
        Host().DemoForm()->SaveRecording(file);
        return SessionResults::Format(Session->Results());
    }
    void FreshHost() {
        Session = std::make_unique<THeadlessSession>();
        Settings() = TSettings();
    }
};
} // namespace

TEST_F(ComputerOpponent, ItsGameIsRecordedWithItsWellAndReplaysWithoutItThinking) {
    const QString file = File("versus.rep");
    const QString played = PlayAndSave(515, file);
    TRecordedData data;
    data.LoadFromFile(file);
    EXPECT_EQ(data.Settings().Players, 2);
    EXPECT_EQ(data.Settings().ComputerWells, 0b10);
    EXPECT_EQ(data.Settings().ComputerStrength, 2);

    FreshHost();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), played);
    TGameForm* computer = Host().Session()->GetGame(1);
    ASSERT_TRUE(computer->IsComputer()) << "the recording says whose well it was";
    EXPECT_EQ(computer->ComputerHand()->Presses(), 0) << "a replay plays the recorded actions";
}

TEST_F(ComputerOpponent, OnceItHasWonItStopsAndTheStopReplays) {
    // The person's game is over early; the computer, ahead, ends its own.
    const QString file = File("won.rep");
    const QString played = PlayAndSave(99, file);
    const std::vector<TGameResult> results = Session->Results();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[0].Stopped);
    EXPECT_TRUE(results[1].Stopped);
    EXPECT_GT(results[1].Score, results[0].Score);
    EXPECT_LT(Session->FramesRun(), 30000);
    FreshHost();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), played);
}

TEST_F(ComputerOpponent, AContinuedOldGameHandsTheComputerItsWellBack) {
    const QString full = File("full.rep");
    PlayAndSave(2024, full);
    TRecordedData data;
    data.LoadFromFile(full);
    // The first part of the game, without any stop.
    TRecordedData part;
    part.Settings() = data.Settings();
    for (int i = 0; i < data.GetCount() / 3; ++i)
        if (data.GetItemAdd(i).ActionCode != acStop) part.Add(data.GetItemAdd(i));
    const int old = part.GetCount();
    const QString file = File("part.rep");
    part.SaveToFile(file);

    FreshHost();
    Host().CheckPlayersItem(1);
    ASSERT_TRUE(Host().DemoForm()->BeginOldGame(file));
    TSessionCoordinator* session = Host().NewSession();
    ASSERT_TRUE(session->GetGame(1)->IsComputer());
    ASSERT_FALSE(session->GetGame(0)->IsComputer());
    Session->RunSession(30000);
    EXPECT_GT(session->GetGame(1)->ComputerHand()->Presses(), 10) << "it took its well back";
    const TRecordedData& continued = *Host().DemoForm()->Recorder().Data();
    EXPECT_GT(continued.GetCount(), old);
    EXPECT_EQ(continued.Settings().ComputerWells, 0b10);
    EXPECT_EQ(continued.Settings().ComputerStrength, 2);
}

TEST_F(ComputerOpponent, TheComputerBitsOfThePlayersFieldRoundTripAndOldFilesRead) {
    TRecordedData data;
    data.Settings().Players = 2;
    data.Settings().ComputerWells = 0b10;
    data.Settings().ComputerStrength = 3;
    data.Settings().LevelIncreaseDisabled = true;
    QByteArray bytes = data.ToBytes();
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData()), 2 | 0x100 | 3 << 9 | 0b10 << 11);
    TRecordedData loaded;
    loaded.FromBytes(bytes, QStringLiteral("versus.rep"));
    EXPECT_EQ(loaded.ToBytes(), bytes);
    EXPECT_EQ(loaded.Settings().Players, 2);
    EXPECT_EQ(loaded.Settings().ComputerWells, 0b10);
    EXPECT_EQ(loaded.Settings().ComputerStrength, 3);

    // A file from before: two people, nothing of a computer.
    qToLittleEndian<qint32>(2, bytes.data());
    loaded.FromBytes(bytes, QStringLiteral("old.rep"));
    EXPECT_EQ(loaded.Settings().Players, 2);
    EXPECT_EQ(loaded.Settings().ComputerWells, 0);
    EXPECT_EQ(loaded.Settings().ComputerStrength, 0);
    EXPECT_FALSE(loaded.Settings().LevelIncreaseDisabled);

    const struct {
        qint32 Players;
        const char* Why;
    } impossible[] = {
        {2 | 2 << 9, "a strength without a computer well"},
        {2 | 0b10 << 11, "a computer well without a strength"},
        {1 | 2 << 9 | 0b10 << 11, "the computer in a well that did not play"},
        {2 | 1 << 14, "an unknown bit"},
    };
    for (const auto& c : impossible) {
        qToLittleEndian<qint32>(c.Players, bytes.data());
        EXPECT_THROW(loaded.FromBytes(bytes, QStringLiteral("odd.rep")), EReplayFileError)
            << c.Why;
    }
}
