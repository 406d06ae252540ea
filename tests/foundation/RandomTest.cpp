#include "foundation/Random.h"

#include <gtest/gtest.h>

TEST(ProgramRandom, KnownSequencesFromFixedSeeds) {
    SetRandSeed(0);
    std::vector<uint32_t> hundreds;
    for (int i = 0; i < 5; ++i) hundreds.push_back(Random(100));
    EXPECT_EQ(hundreds, (std::vector<uint32_t>{0, 3, 86, 20, 27}));

    SetRandSeed(123456789);
    std::vector<uint32_t> sevens;
    for (int i = 0; i < 5; ++i) sevens.push_back(Random(7));
    EXPECT_EQ(sevens, (std::vector<uint32_t>{3, 2, 2, 0, 5}));
    EXPECT_EQ(RandSeed(), 3478552678u);
}

TEST(ProgramRandom, SeparateGeneratorsDoNotShareState) {
    RandomGenerator own(0);
    SetRandSeed(0);
    EXPECT_EQ(own.Next(100), 0u);
    EXPECT_EQ(own.Next(100), 3u);
    EXPECT_EQ(Random(100), 0u);
}

TEST(ProgramRandom, ClockSeedIsTheUtcTimeOfDayInMilliseconds) {
    Randomize();
    EXPECT_LT(RandSeed(), 24u * 60 * 60 * 1000);
}
