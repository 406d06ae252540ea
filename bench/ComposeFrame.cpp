// Times one frame composition of a graphics panel: the game panel with ten
// moving transparent 48 x 48 sprites, and the title screen's frame panel
// with forty 5 x 5 animated tinsel sprites.

#include "BenchPanels.h"
#include "gfx/GfxPanel.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
using namespace BenchPanels;

void GamePanelTenSprites(benchmark::State& state) {
    auto panel = ShownPanel(160, 320);
    AddTenBalls(*panel);
    for (auto _ : state)
        panel->ComposeFrame();
}

void TitleTinselFortySprites(benchmark::State& state) {
    auto panel = ShownPanel(192, 416);
    AddFortyTinsels(*panel);
    for (auto _ : state)
        panel->ComposeFrame();
}

BENCHMARK(GamePanelTenSprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(TitleTinselFortySprites)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return BenchPanels::RunOffscreen(argc, argv);
}
