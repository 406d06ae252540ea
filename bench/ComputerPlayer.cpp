// How long the computer player takes to choose a placement for one brick at
// each strength, on wells taken from a real game, and how many headless
// duel games between two computer players run per second.
#include "ai/ComputerPlayer_KX.h"
#include "ai/PlacementChooser_KX.h"
#include "flow/ComputerHand_KX.h"
#include "flow/GfxF.h"
#include "flow/HeadlessSession_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "foundation/Random.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// Wells at every stage of a game: a game of Easy players' bricks placed by Normal.
std::vector<TAiWell> SampleWells() {
    std::vector<TAiWell> wells;
    TAiWell w;
    RandomGenerator draw(99);
    TAiWeights weights;
    for (int n = 0; n < 400 && wells.size() < 64; ++n) {
        const int kind = static_cast<int>(draw.Next(7));
        const TAiPlacement p = ChoosePlacement(w, kind, 0, 4, -1, -1, weights);
        if (!p.Found) break;
        int row = -1;
        while (BrickFits(w, kind, p.Orientation, p.Column, row + 1))
            ++row;
        for (const TAiShapes::Cell& c : TAiShapes::Instance().Of(kind, p.Orientation).Cells)
            if (row + c.Dy >= 0) w.Set(p.Column + c.Dx, row + c.Dy, c.Value);
        ResolveWell(w);
        if (n % 5 == 0) wells.push_back(w);
    }
    return wells;
}

void ChoosePlacementAt(benchmark::State& state) {
    const auto strength = static_cast<TComputerStrength>(state.range(0));
    const std::vector<TAiWell> wells = SampleWells();
    size_t i = 0;
    for (auto _ : state) {
        TComputerPlayer player(strength, 1);
        TComputerView view;
        view.Own = wells[i++ % wells.size()];
        view.BrickInPlay = true;
        view.Kind = static_cast<int>(i % 7);
        view.NextKind = static_cast<int>((i * 3) % 7);
        view.Left = 64;
        benchmark::DoNotOptimize(player.Act(view));
    }
    state.SetLabel(ComputerStrengthName(strength));
}
BENCHMARK(ChoosePlacementAt)
    ->Arg(static_cast<int>(TComputerStrength::Easy))
    ->Arg(static_cast<int>(TComputerStrength::Normal))
    ->Arg(static_cast<int>(TComputerStrength::Hard))
    ->Unit(benchmark::kMicrosecond);

void DuelGames(benchmark::State& state) {
    uint32_t seed = 1;
    int64_t frames = 0;
    for (auto _ : state) {
        THeadlessSession session;
        THeadlessHost& host = session.Host();
        Settings().SoundEffectEnabled = false;
        ApplySettings(host.GfxForm());
        host.CheckPlayersItem(2);
        host.CheckLevelItem(0);
        SetRandSeed(seed++);
        TSessionCoordinator* coordinator = host.NewSession();
        TComputerHand a(*coordinator->GetGame(0), TComputerStrength::Normal, 1);
        TComputerHand b(*coordinator->GetGame(1), TComputerStrength::Easy, 2);
        session.RunSession(60000, [&] {
            a.Frame();
            b.Frame();
        });
        frames += session.FramesRun();
    }
    state.counters["games/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["frames/game"] =
        static_cast<double>(frames) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
}
BENCHMARK(DuelGames)->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace

int main(int argc, char** argv) {
    const HeadlessEnvironment headless;
    KolvexApplication app(argc, argv);
    InstallHeadlessServices();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
