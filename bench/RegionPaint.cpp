// Times a whole frame as the window gets it at 2x: composing, handing over
// the changed pixels and painting them, against composing and painting the
// whole panel. The game panel with ten moving balls and the title with forty
// tinsels, on the offscreen platform's raster backing store.

#include "BenchPanels.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {
using namespace BenchPanels;

enum class Load { Balls, Tinsels };

std::unique_ptr<TGfxPanel> LoadedPanel(Load load) {
    auto panel = load == Load::Balls ? ShownPanel(160, 320) : ShownPanel(192, 416);
    panel->SetScale(2);
    if (load == Load::Balls)
        AddTenBalls(*panel);
    else
        AddFortyTinsels(*panel);
    panel->repaint();
    return panel;
}

void ChangedRegion(benchmark::State& state, Load load) {
    auto panel = LoadedPanel(load);
    for (auto _ : state) {
        // The frame's repaint requests, painted as the window would: region by region.
        panel->ComposeFrame();
        QCoreApplication::processEvents();
    }
}

void WholePanel(benchmark::State& state, Load load) {
    auto panel = LoadedPanel(load);
    for (auto _ : state) {
        panel->ComposeFrame();
        panel->repaint();
    }
}

BENCHMARK_CAPTURE(ChangedRegion, game_balls, Load::Balls)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholePanel, game_balls, Load::Balls)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ChangedRegion, title_tinsels, Load::Tinsels)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholePanel, title_tinsels, Load::Tinsels)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return BenchPanels::RunOffscreen(argc, argv);
}
