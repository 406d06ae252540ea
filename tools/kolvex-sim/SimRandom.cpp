#include "SimCommand.h"

#include "foundation/Random.h"

#include <cstdio>

namespace {
int RunRng(const QStringList& args) {
    if (args.size() != 3) throw SimUsageError("expected SEED N COUNT");
    SetRandSeed(static_cast<uint32_t>(SimParseInteger(args[0], "SEED", 0, 4294967295LL)));
    const auto n = static_cast<uint32_t>(SimParseInteger(args[1], "N", 0, 4294967295LL));
    const long long count = SimParseInteger(args[2], "COUNT", 0, 100000000LL);
    for (long long i = 0; i < count; ++i) std::printf("%u\n", Random(n));
    return 0;
}

SimRegistration rng{{"rng", "rng SEED N COUNT", RunRng}};
} // namespace
