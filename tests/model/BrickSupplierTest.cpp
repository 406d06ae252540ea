#include "foundation/Random.h"
#include "model/BrickSupplier_KX.h"
#include "model/ModelOwners_KX.h"
#include "platform/Exception.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class FakeSession : public TSupplierCoordinator {
public:
    int32_t Score = 0;
    int Refreshes = 0;
    int32_t FirstPlayerScore() const override { return Score; }
    void RefreshNextBrickView() override { ++Refreshes; }
};

// The seed after which random(total) gives r: inverts one step of the generator.
uint32_t SeedGiving(uint32_t r, uint32_t total) {
    const uint64_t next = ((uint64_t(r) << 32) + total - 1) / total;
    uint32_t inverse = 1;
    for (int i = 0; i < 5; ++i)
        inverse *= 2 - 134775813u * inverse;
    return (static_cast<uint32_t>(next) - 1) * inverse;
}

class BrickSupplier : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        supplier.SetCoordinator(&session);
    }
    int KindFor(uint32_t r, uint32_t total) {
        SetRandSeed(SeedGiving(r, total));
        return supplier.GenerateBrick();
    }

    FakeSession session;
    TBrickSupplier supplier;
};

TEST_F(BrickSupplier, WeightsShiftWithTheFirstPlayersScore) {
    using W = std::array<int, 7>;
    EXPECT_EQ(TBrickSupplier::Weights(-500), (W{15, 15, 10, 7, 7, 10, 7}));
    EXPECT_EQ(TBrickSupplier::Weights(2999), (W{15, 15, 10, 7, 7, 10, 7}));
    EXPECT_EQ(TBrickSupplier::Weights(3000), (W{15, 15, 10, 7, 7, 10, 8}));
    EXPECT_EQ(TBrickSupplier::Weights(4999), (W{15, 15, 10, 7, 7, 10, 9}));
    EXPECT_EQ(TBrickSupplier::Weights(5000), (W{15, 15, 10, 7, 7, 9, 10}));
    EXPECT_EQ(TBrickSupplier::Weights(9999), (W{15, 15, 10, 7, 7, 5, 14}));
    EXPECT_EQ(TBrickSupplier::Weights(11000), (W{15, 15, 10, 7, 7, 3, 14}));
    EXPECT_EQ(TBrickSupplier::Weights(INT32_MAX), (W{15, 15, 10, 7, 7, 3, 14}));
    EXPECT_EQ(TBrickSupplier::Weights(INT32_MIN), (W{15, 15, 10, 7, 7, 10, 7}));
}

TEST_F(BrickSupplier, DrawIsMappedOntoTheCumulativeWeights) {
    const std::pair<uint32_t, int> atZero[] = {{0, 0},  {14, 0}, {15, 1}, {29, 1}, {30, 2},
                                               {39, 2}, {40, 3}, {46, 3}, {47, 4}, {53, 4},
                                               {54, 5}, {63, 5}, {64, 6}, {70, 6}};
    for (const auto& [r, kind] : atZero)
        EXPECT_EQ(KindFor(r, 71), kind) << "r " << r;

    session.Score = 11000; // 15, 15, 10, 7, 7, 3, 14
    EXPECT_EQ(KindFor(56, 71), 5);
    EXPECT_EQ(KindFor(57, 71), 6);
    session.Score = 5000; // total 73
    EXPECT_EQ(KindFor(62, 73), 5);
    EXPECT_EQ(KindFor(63, 73), 6);
    EXPECT_EQ(KindFor(72, 73), 6);
}

TEST_F(BrickSupplier, ExactlyOneDrawPerKind) {
    SetRandSeed(777);
    RandomGenerator expected(777);
    supplier.GenerateBrick();
    expected.Next(71);
    EXPECT_EQ(RandSeed(), expected.Seed());
}

TEST_F(BrickSupplier, FirstHandOutGeneratesTwoKindsAndRefreshesTheView) {
    SetRandSeed(4242);
    RandomGenerator draws(4242);
    const int first = supplier.NextBrick();
    EXPECT_EQ(supplier.Queue().size(), 1u);
    draws.Next(71);
    draws.Next(71);
    EXPECT_EQ(RandSeed(), draws.Seed());
    EXPECT_EQ(session.Refreshes, 1);

    const int queued = supplier.Queue().front();
    EXPECT_EQ(supplier.NextBrick(), queued);
    EXPECT_EQ(supplier.Queue().size(), 1u);
    EXPECT_EQ(session.Refreshes, 2);
    (void)first;
}

TEST_F(BrickSupplier, PeekGeneratesUpToTheEntryInOrder) {
    SetRandSeed(99);
    const int next = supplier.NextBrick();
    (void)next;
    ASSERT_EQ(supplier.Queue().size(), 1u);
    const int head = supplier.Queue().front();
    const int third = supplier.Peek(2);
    ASSERT_EQ(supplier.Queue().size(), 3u);
    EXPECT_EQ(supplier.Queue()[0], head);
    EXPECT_EQ(supplier.Queue()[2], third);
    EXPECT_EQ(session.Refreshes, 1) << "peeking is not a hand-out";

    // The kinds peeked at are the ones handed out, in order.
    const std::deque<int> seen = supplier.Queue();
    for (int kind : seen)
        EXPECT_EQ(supplier.NextBrick(), kind);
    EXPECT_THROW(supplier.Peek(-1), ERangeError);
}

TEST_F(BrickSupplier, SameSeedAndRequestsGiveTheSameKinds) {
    auto run = [](uint32_t seed) {
        SetRandSeed(seed);
        TBrickSupplier own;
        std::vector<int> kinds;
        for (int i = 0; i < 200; ++i)
            kinds.push_back(i % 3 == 0 ? own.Peek(1) : own.NextBrick());
        return kinds;
    };
    const std::vector<int> a = run(31337);
    EXPECT_EQ(run(31337), a);
    EXPECT_NE(run(31338), a);
    // Over many draws every kind comes up.
    for (int kind = 0; kind < 7; ++kind)
        EXPECT_NE(std::count(a.begin(), a.end(), kind), 0);
}
} // namespace
