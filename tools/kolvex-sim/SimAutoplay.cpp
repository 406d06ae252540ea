#include "SimCommand.h"
#include "SimComputerGame.h"
#include "flow/SessionCoordinator_KX.h"

#include <cstdio>

// Computer players in real headless sessions: they press their actions into
// the games' action collectors, as a person's keys would, and the session's
// recording is written out. It is what made the demo recording.

namespace {
int RunAutoplay(const QStringList& args) {
    SimComputerGame::Options options;
    options.Strengths = {TComputerStrength::Hard, TComputerStrength::Hard};
    bool haveSeed = false;
    QString out;
    for (SimArguments a(args); a.Next();) {
        if (a.Is("--seed")) {
            options.Seed = static_cast<uint32_t>(a.Integer(0, 4294967295LL));
            haveSeed = true;
        } else if (a.Is("--players")) {
            options.Players = static_cast<int>(a.Integer(1, 2));
        } else if (a.Is("--level")) {
            options.Level = static_cast<int>(a.Integer(0, 4));
        } else if (a.Is("--strength")) {
            const TComputerStrength s = SimParseStrength(a.Value());
            options.Strengths = {s, s};
        } else if (a.Is("--max-frames")) {
            options.MaxFrames = a.Integer(1, 100000000LL);
        } else if (out.isEmpty() && !a.IsOption()) {
            out = a.Current();
        } else {
            a.Unexpected();
        }
    }
    if (!haveSeed || out.isEmpty())
        throw SimUsageError(
            "expected --seed S [--players P] [--level L] [--strength S] [--max-frames N] OUT");
    options.RecordTo = out;
    SimComputerGame game(options);
    game.Run();
    const QByteArray text = SessionResults::Format(game.Session().Results()).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fprintf(stdout, "frames %lld\n", static_cast<long long>(game.Session().FramesRun()));
    std::fprintf(stdout, "teleported cells %d\n", game.Session().Host().Session()->TeleportedCells());
    for (int p = 0; p < options.Players; ++p) {
        const SimComputerGame::Tally& t = game.TallyOf(p);
        std::fprintf(stdout, "player %d landings %d lines %d area-zaps %d\n", p, t.Landings,
                     t.Lines, t.AreaZaps);
    }
    return 0;
}

SimRegistration autoplay{{"autoplay",
                          "autoplay --seed S [--players P] [--level L] [--strength S] "
                          "[--max-frames N] OUT",
                          RunAutoplay}};
} // namespace
