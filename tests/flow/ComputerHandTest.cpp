#include "FlowTestSupport.h"
#include "flow/ActionCollector_KX.h"
#include "flow/ComputerHand_KX.h"
#include "flow/GfxF.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "model/BrickSupplier_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Recorder_KX.h"

using namespace FlowTest;

namespace {
class ComputerHand : public GameTest {
protected:
    // A two-player session, recorded, with a computer player in each well.
    TSessionCoordinator* StartDuel(uint32_t seed) {
        Settings().SoundEffectEnabled = false;
        ApplySettings(Host().GfxForm());
        Host().CheckPlayersItem(2);
        Host().CheckLevelItem(0);
        SetRandSeed(seed);
        Host().DemoForm()->StartRecording();
        TSessionCoordinator* session = Host().NewSession();
        Hands.push_back(std::make_unique<TComputerHand>(*session->GetGame(0),
                                                        TComputerStrength::Hard, 1));
        Hands.push_back(std::make_unique<TComputerHand>(*session->GetGame(1),
                                                        TComputerStrength::Random, 2));
        return session;
    }
    std::vector<std::unique_ptr<TComputerHand>> Hands;
};
} // namespace

TEST_F(ComputerHand, SeesOnlyTheNextBrickAndNeverDrawsFromTheGenerator) {
    TSessionCoordinator* session = StartDuel(77);
    int frames = 0, checked = 0;
    Session->RunSession(3000, [&] {
        for (auto& hand : Hands) {
            const uint32_t seed = RandSeed();
            const std::deque<int> queue = session->Supplier()->Queue();
            hand->Frame();
            // Drawing a brick early (Peek beyond the queue) or any other draw moves the seed.
            ASSERT_EQ(RandSeed(), seed) << "frame " << frames;
            ASSERT_EQ(session->Supplier()->Queue(), queue);
        }
        const TComputerView view = ComputerViewOf(*session->GetGame(0));
        if (!session->Supplier()->Queue().empty()) {
            EXPECT_EQ(view.NextKind, session->Supplier()->Queue().front());
            checked += 1;
        }
        frames += 1;
    });
    EXPECT_GT(checked, 100);
    EXPECT_GT(Hands[0]->Presses(), 50) << "the computer played";
}

TEST_F(ComputerHand, AGameAgainstItIsRecordedAndReplaysToTheSameEnd) {
    const QString file = TestEnvironment::ScratchFolder() + "/duel.rep";
    StartDuel(4321);
    Session->RunSession(20000, [&] {
        for (auto& hand : Hands)
            hand->Frame();
    });
    Host().DemoForm()->SaveRecording(file);
    const QString played = SessionResults::Format(Session->Results());
    TRecordedData data;
    data.LoadFromFile(file);
    EXPECT_GT(data.GetCount(), 100);

    Hands.clear();
    Session = std::make_unique<THeadlessSession>();
    Settings() = TSettings();
    EXPECT_EQ(SessionResults::Format(Session->Replay(file)), played);
}

TEST_F(ComputerHand, EasyBeatsAPlayerWhoNeverMoves) {
    for (uint32_t seed : {3u, 8u, 21u}) {
        Session = std::make_unique<THeadlessSession>();
        Settings() = TSettings();
        Host().CheckPlayersItem(2);
        SetRandSeed(seed);
        TSessionCoordinator* session = Host().NewSession();
        TComputerHand easy(*session->GetGame(1), TComputerStrength::Easy, seed);
        Session->RunSession(20000, [&] { easy.Frame(); });
        EXPECT_GT(session->GetGame(1)->Score(), session->GetGame(0)->Score()) << "seed " << seed;
    }
}
