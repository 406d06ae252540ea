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
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--teleports")) {
            teleports = true;
        } else if (args[i] == QLatin1String("--max-frames")) {
            if (++i >= args.size()) throw SimUsageError("--max-frames needs a number");
            maxFrames = SimParseInteger(args[i], "--max-frames", 0, 1000000000LL);
        } else if (file.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            file = args[i];
        } else {
            throw SimUsageError("unexpected argument '" + args[i].toStdString() + "'");
        }
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
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* what) -> const QString& {
            if (++i >= args.size()) throw SimUsageError(std::string(what) + " needs a value");
            return args[i];
        };
        if (a == QLatin1String("--seed")) {
            options.Seed =
                static_cast<uint32_t>(SimParseInteger(value("--seed"), "--seed", 0, 4294967295LL));
            haveSeed = true;
        } else if (a == QLatin1String("--players")) {
            options.Players =
                static_cast<int>(SimParseInteger(value("--players"), "--players", 1, 2));
            havePlayers = true;
        } else if (a == QLatin1String("--level")) {
            options.Level = static_cast<int>(SimParseInteger(value("--level"), "--level", 0, 4));
            haveLevel = true;
        } else if (a == QLatin1String("--speed")) {
            options.Speed = static_cast<int>(SimParseInteger(value("--speed"), "--speed", 0, 2));
        } else if (a == QLatin1String("--counter-clockwise")) {
            options.Clockwise = false;
        } else if (a == QLatin1String("--inputs")) {
            options.Inputs = static_cast<uint32_t>(
                SimParseInteger(value("--inputs"), "--inputs", 0, 4294967295LL));
        } else if (out.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            out = a;
        } else {
            throw SimUsageError("unexpected argument '" + a.toStdString() + "'");
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
