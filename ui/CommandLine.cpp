#include "ui/CommandLine.h"

namespace {
constexpr double MaxPace = 10.0;

// The value of "--name VALUE" or "--name=VALUE" at arguments[i], moving i past it.
bool TakeValue(const QStringList& arguments, qsizetype& i, const QString& name, QString& value) {
    const QString& arg = arguments[i];
    if (arg.startsWith(name + QLatin1Char('='))) {
        value = arg.mid(name.size() + 1);
        return true;
    }
    if (arg != name) return false;
    value = i + 1 < arguments.size() ? arguments[++i] : QString();
    return true;
}
} // namespace

QString TCommandLine::Usage() {
    return QStringLiteral("Usage: kolvex [--results FILE] [--pace N]\n"
                          "  --results FILE  append each session's scores, levels and wells to FILE\n"
                          "  --pace N        run the game's clock N times as fast (1 to 10)\n");
}

TCommandLine TCommandLine::Parse(const QStringList& arguments) {
    TCommandLine line;
    for (qsizetype i = 1; i < arguments.size() && line.Problem.isEmpty(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--help") || arguments[i] == QLatin1String("-h")) {
            line.HelpAsked = true;
            line.Problem = Usage();
        } else if (TakeValue(arguments, i, QStringLiteral("--results"), value)) {
            if (value.isEmpty()) line.Problem = QStringLiteral("kolvex: --results needs a file\n");
            line.ResultsFile = value;
        } else if (TakeValue(arguments, i, QStringLiteral("--pace"), value)) {
            bool ok = false;
            line.Pace = value.toDouble(&ok);
            if (!ok || !(line.Pace >= 1.0 && line.Pace <= MaxPace))
                line.Problem = QStringLiteral("kolvex: --pace takes a number from 1 to 10, not \"%1\"\n")
                                   .arg(value);
        } else {
            line.Problem = QStringLiteral("kolvex: unknown option \"%1\"\n").arg(arguments[i]) + Usage();
        }
    }
    return line;
}
