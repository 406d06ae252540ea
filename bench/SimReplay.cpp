// How fast a recorded game replays headless in virtual time, as
// `kolvex-sim replay` runs it: game frames per second of the machine's time.
#include "flow/HeadlessSession_KX.h"
#include "persistence/Recorder_KX.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "sound/Sound_KX.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {
QString& RecordingFile() {
    static QString file;
    return file;
}

struct LongRecording {
    int64_t Frames = 0;
    int Actions = 0;
};

// A long two-player session of the random player at the first level; among
// a few seeds the one that lasts longest is kept.
LongRecording MakeRecording(const QString& folder) {
    LongRecording best;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const QString file = folder + QStringLiteral("/long-%1.rep").arg(seed);
        THeadlessSession session;
        THeadlessSession::RecordOptions options;
        options.Seed = seed;
        options.Players = 2;
        options.Level = 0;
        options.Inputs = seed * 31;
        session.Record(options, file);
        if (session.FramesRun() > best.Frames) {
            best.Frames = session.FramesRun();
            TRecordedData data;
            data.LoadFromFile(file);
            best.Actions = data.GetCount();
            RecordingFile() = file;
        }
    }
    return best;
}

void BM_ReplayLongRecording(benchmark::State& state) {
    int64_t frames = 0;
    int64_t gameFrames = 0;
    for (auto _ : state) {
        Settings() = TSettings();
        THeadlessSession session;
        const auto results = session.Replay(RecordingFile());
        frames += session.FramesRun();
        gameFrames += session.FramesRun() * static_cast<int64_t>(results.size());
        benchmark::DoNotOptimize(results.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["game_frames_per_s"] =
        benchmark::Counter(static_cast<double>(gameFrames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayLongRecording)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char** argv) {
    const HeadlessEnvironment headless;
    KolvexApplication app(argc, argv);
    InstallHeadlessServices();
    DisableSounds();
    QTemporaryDir folder;
    const LongRecording recording = MakeRecording(folder.path());
    std::printf("recording: %lld frames of two games, %d actions\n",
                static_cast<long long>(recording.Frames), recording.Actions);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
