#include "SimCommand.h"
#include "foundation/Random.h"
#include "model/BrickSupplier_KX.h"
#include "model/ModelOwners_KX.h"

#include <cstdio>

namespace {
// A session whose first player's score stays where it was set.
class FixedScore : public TSupplierCoordinator {
public:
    explicit FixedScore(int32_t score) : FScore(score) {}
    int32_t FirstPlayerScore() const override { return FScore; }
    void RefreshNextBrickView() override {}

private:
    int32_t FScore;
};

int RunBricks(const QStringList& args) {
    if (args.size() != 3) throw SimUsageError("expected SEED SCORE COUNT");
    const auto seed = static_cast<uint32_t>(SimParseInteger(args[0], "SEED", 0, 4294967295LL));
    const auto score =
        static_cast<int32_t>(SimParseInteger(args[1], "SCORE", -2147483648LL, 2147483647LL));
    const long long count = SimParseInteger(args[2], "COUNT", 0, 100000000LL);
    SetRandSeed(seed);
    FixedScore session(score);
    TBrickSupplier supplier;
    supplier.SetCoordinator(&session);
    for (long long i = 0; i < count; ++i)
        std::printf("%d\n", supplier.NextBrick());
    return 0;
}

SimRegistration bricks{{"bricks", "bricks SEED SCORE COUNT", RunBricks}};
} // namespace
