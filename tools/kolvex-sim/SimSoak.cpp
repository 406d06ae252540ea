#include "SimCommand.h"
#include "SimComputerGame.h"

#include "platform/Clock.h"

#include <QElapsedTimer>
#include <QFile>
#include <array>
#include <cstdio>
#include <unistd.h>

// Two-player sessions of computer and random-key players, one after the other
// in this one process, until the asked game time has passed: every game's
// windows, recordings and players are made and freed again. Memory is
// measured after the first game (once the program has settled) and at the end.

namespace {
constexpr int64_t SoakMaxFrames = 60000;
constexpr std::array<TComputerStrength, 4> Players{TComputerStrength::Random, TComputerStrength::Easy,
                                                   TComputerStrength::Normal, TComputerStrength::Hard};

long long ResidentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

int RunSoak(const QStringList& args) {
    long long minutes = 0;
    uint32_t seed = 1;
    for (SimArguments a(args); a.Next();) {
        if (a.Is("--minutes"))
            minutes = a.Integer(1, 100000);
        else if (a.Is("--seed"))
            seed = static_cast<uint32_t>(a.Integer(0, 4294967295LL));
        else
            a.Unexpected();
    }
    if (minutes == 0) throw SimUsageError("expected --minutes M [--seed S]");
    QElapsedTimer wall;
    wall.start();
    const uint32_t start = Clock::Current().TickCount();
    const uint64_t wanted = static_cast<uint64_t>(minutes) * 60 * 1000;
    long long settledKb = -1;
    long long games = 0;
    for (; Clock::Current().TickCount() - start < wanted; ++games) {
        SimComputerGame::Options options;
        options.Seed = seed + static_cast<uint32_t>(games);
        options.Level = static_cast<int>(games % 5);
        options.MaxFrames = SoakMaxFrames;
        options.Strengths = {Players[static_cast<size_t>(games % 4)],
                             Players[static_cast<size_t>((games / 4 + 1) % 4)]};
        SimComputerGame game(options);
        game.Run();
        std::printf("game %lld seed %u level %d scores %d %d game time %u s\n", games, options.Seed,
                    options.Level, game.Score(0), game.Score(1),
                    (Clock::Current().TickCount() - start) / 1000);
        std::fflush(stdout);
        if (games == 0) settledKb = ResidentKb();
    }
    std::printf("soak: %lld games, %u s of game time in %lld s; memory after the first game %lld kB, "
                "at the end %lld kB\n",
                games, (Clock::Current().TickCount() - start) / 1000, wall.elapsed() / 1000,
                settledKb, ResidentKb());
    return 0;
}

SimRegistration soak{{"soak", "soak --minutes M [--seed S]", RunSoak}};
} // namespace
