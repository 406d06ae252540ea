#pragma once

#include <QStringList>
#include <functional>
#include <stdexcept>
#include <string>

// A subcommand of kolvex-sim. Run gets the arguments after the subcommand's
// name and returns the exit status; it throws SimUsageError for a bad
// argument or file, which main turns into one line on standard error and status 2.
struct SimCommand {
    const char* Name;
    const char* Usage;
    std::function<int(const QStringList& args)> Run;
};

class SimUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Registers a subcommand at start-up: `static SimRegistration r{{"name", "usage", run}};`
struct SimRegistration {
    explicit SimRegistration(SimCommand command);
};

// Parses a whole non-negative or signed decimal number, or throws SimUsageError naming what.
long long SimParseInteger(const QString& text, const char* what, long long min, long long max);

// Walks a subcommand's arguments: `while (a.Next()) if (a.Is("--seed")) seed = a.Integer(0, 9);`
class SimArguments {
public:
    explicit SimArguments(const QStringList& args) : Args(args) {}
    // Steps to the next argument; false after the last.
    bool Next() { return ++Index < Args.size(); }
    const QString& Current() const { return Args[Index]; }
    bool Is(const char* option) const { return Current() == QLatin1String(option); }
    bool IsOption() const { return Current().startsWith(QLatin1String("--")); }
    // The value after the current option; SimUsageError when there is none.
    const QString& Value();
    // The value as a whole number in [min, max]; SimUsageError naming the option otherwise.
    long long Integer(long long min, long long max);
    [[noreturn]] void Unexpected() const;

private:
    const QStringList& Args;
    int Index = -1;
};
