#include "SimCommand.h"
#include "SimComputerGame.h"

#include <cstdio>

// Two computer players, or a computer player and the random-key player,
// against each other over many games: who is stronger, and by how much.

namespace {
// A game long enough to be decided; beyond it the scores so far count.
constexpr int64_t DuelMaxFrames = 60000;

int RunDuel(const QStringList& args) {
    TComputerStrength a = TComputerStrength::Hard, b = TComputerStrength::Hard;
    bool haveA = false, haveB = false, haveGames = false, haveSeed = false;
    long long games = 0;
    uint32_t seed = 0;
    int level = 0;
    for (SimArguments arg(args); arg.Next();) {
        if (arg.Is("--a")) {
            a = SimParseStrength(arg.Value());
            haveA = true;
        } else if (arg.Is("--b")) {
            b = SimParseStrength(arg.Value());
            haveB = true;
        } else if (arg.Is("--games")) {
            games = arg.Integer(1, 1000000);
            haveGames = true;
        } else if (arg.Is("--seed")) {
            seed = static_cast<uint32_t>(arg.Integer(0, 4294967295LL));
            haveSeed = true;
        } else if (arg.Is("--level")) {
            level = static_cast<int>(arg.Integer(0, 4));
        } else {
            arg.Unexpected();
        }
    }
    if (!haveA || !haveB || !haveGames || !haveSeed)
        throw SimUsageError("expected --a STRENGTH --b STRENGTH --games N --seed S [--level L]");
    long long wonA = 0, wonB = 0, drawn = 0;
    for (long long k = 0; k < games; ++k) {
        SimComputerGame::Options options;
        options.Seed = seed + static_cast<uint32_t>(k);
        options.Level = level;
        options.MaxFrames = DuelMaxFrames;
        options.StopWhenDecided = true;
        // Sides change every game: the first well is not quite the second.
        const int wellOfA = static_cast<int>(k % 2);
        options.Strengths[static_cast<size_t>(wellOfA)] = a;
        options.Strengths[static_cast<size_t>(1 - wellOfA)] = b;
        SimComputerGame game(options);
        game.Run();
        const int32_t scoreA = game.Score(wellOfA), scoreB = game.Score(1 - wellOfA);
        const char* winner = scoreA > scoreB ? "a" : scoreB > scoreA ? "b" : "draw";
        (scoreA > scoreB ? wonA : scoreB > scoreA ? wonB : drawn) += 1;
        std::printf("game %lld seed %u a %d b %d winner %s\n", k, options.Seed, scoreA, scoreB,
                    winner);
        std::fflush(stdout);
    }
    std::printf("a won %lld, b won %lld, drawn %lld\n", wonA, wonB, drawn);
    return 0;
}

SimRegistration duel{{"duel", "duel --a STRENGTH --b STRENGTH --games N --seed S [--level L]",
                      RunDuel}};
} // namespace
