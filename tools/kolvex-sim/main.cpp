#include "SimCommand.h"

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {
std::vector<SimCommand>& Commands() {
    static std::vector<SimCommand> commands;
    return commands;
}

void PrintUsage() {
    std::fprintf(stderr, "usage: kolvex-sim COMMAND ARGS...\n");
    for (const SimCommand& c : Commands()) std::fprintf(stderr, "  kolvex-sim %s\n", c.Usage);
}

const SimCommand* Find(const QString& name) {
    for (const SimCommand& c : Commands())
        if (name == QLatin1String(c.Name)) return &c;
    return nullptr;
}
} // namespace

SimRegistration::SimRegistration(SimCommand command) { Commands().push_back(std::move(command)); }

long long SimParseInteger(const QString& text, const char* what, long long min, long long max) {
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        throw SimUsageError(std::string("bad ") + what + ": '" + text.toStdString() + "'");
    return value;
}

const QString& SimArguments::Value() {
    const std::string option = Current().toStdString();
    if (++Index >= Args.size()) throw SimUsageError(option + " needs a value");
    return Args[Index];
}

long long SimArguments::Integer(long long min, long long max) {
    const std::string option = Current().toStdString();
    return SimParseInteger(Value(), option.c_str(), min, max);
}

void SimArguments::Unexpected() const {
    throw SimUsageError("unexpected argument '" + Current().toStdString() + "'");
}

int main(int argc, char** argv) {
    // Headless: no display, no sound, virtual time, dialogs answered as if Enter were pressed.
    const HeadlessEnvironment headless;
    KolvexApplication app(argc, argv);
    InstallHeadlessServices();

    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        PrintUsage();
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("help") || name == QLatin1String("--help")) {
        PrintUsage();
        return 0;
    }
    const SimCommand* command = Find(name);
    if (!command) {
        std::fprintf(stderr, "kolvex-sim: unknown command '%s' (kolvex-sim help lists them)\n",
                     qPrintable(name));
        return 2;
    }
    try {
        return command->Run(args);
    } catch (const SimUsageError& e) {
        std::fprintf(stderr, "kolvex-sim %s: %s\n", command->Name, e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kolvex-sim %s: %s\n", command->Name, e.what());
    }
    return 2;
}
