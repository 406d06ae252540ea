#include "SimCommand.h"
#include "flow/HeadlessSession_KX.h"
#include "flow/SessionCoordinator_KX.h"

#include <cstdio>

namespace {
void Print(const std::vector<TGameResult>& results) {
    const QByteArray text = SessionResults::Format(results).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
}

int RunReplay(const QStringList& args) {
    QString file;
    long long maxFrames = THeadlessSession::DefaultMaxFrames;
    bool teleports = false;
    for (SimArguments a(args); a.Next();) {
        if (a.Is("--teleports"))
            teleports = true;
        else if (a.Is("--max-frames"))
            maxFrames = a.Integer(0, 1000000000LL);
        else if (file.isEmpty() && !a.IsOption())
            file = a.Current();
        else
            a.Unexpected();
    }
    if (file.isEmpty()) throw SimUsageError("expected FILE [--max-frames N] [--teleports]");
    THeadlessSession session;
    Print(session.Replay(file, maxFrames));
    if (teleports && session.Host().Session())
        std::printf("teleported cells %d\n", session.Host().Session()->TeleportedCells());
    return 0;
}

int RunRecord(const QStringList& args) {
    THeadlessSession::RecordOptions options;
    bool haveSeed = false, havePlayers = false, haveLevel = false;
    QString out;
    for (SimArguments a(args); a.Next();) {
        if (a.Is("--seed")) {
            options.Seed = static_cast<uint32_t>(a.Integer(0, 4294967295LL));
            haveSeed = true;
        } else if (a.Is("--players")) {
            options.Players = static_cast<int>(a.Integer(1, 2));
            havePlayers = true;
        } else if (a.Is("--level")) {
            options.Level = static_cast<int>(a.Integer(0, 4));
            haveLevel = true;
        } else if (a.Is("--speed")) {
            options.Speed = static_cast<int>(a.Integer(0, 2));
        } else if (a.Is("--counter-clockwise")) {
            options.Clockwise = false;
        } else if (a.Is("--inputs")) {
            options.Inputs = static_cast<uint32_t>(a.Integer(0, 4294967295LL));
        } else if (out.isEmpty() && !a.IsOption()) {
            out = a.Current();
        } else {
            a.Unexpected();
        }
    }
    if (!haveSeed || !havePlayers || !haveLevel || out.isEmpty())
        throw SimUsageError("expected --seed S --players P --level L OUT");
    THeadlessSession session;
    Print(session.Record(options, out));
    return 0;
}

SimRegistration replay{{"replay", "replay FILE [--max-frames N] [--teleports]", RunReplay}};
SimRegistration record{{"record",
                        "record --seed S --players P --level L [--speed V] [--counter-clockwise] "
                        "[--inputs K] OUT",
                        RunRecord}};
} // namespace
