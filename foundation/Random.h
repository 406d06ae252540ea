#pragma once

#include <cstdint>

// The linear congruential generator of the program: each draw sets
// seed = seed * 134775813 + 1 (mod 2^32) and gives the upper 32 bits of seed * n.
class RandomGenerator {
public:
    explicit RandomGenerator(uint32_t seed = 0) : FSeed(seed) {}
    uint32_t Seed() const { return FSeed; }
    void SetSeed(uint32_t seed) { FSeed = seed; }
    // An integer from 0 to n - 1 (0 when n is 0).
    uint32_t Next(uint32_t n);

private:
    uint32_t FSeed;
};

// The one program-wide generator: bricks, the Clean start cells, sparkles,
// wipes and the typer all draw from it in a fixed order, which is what makes
// a replay reproduce its game.
uint32_t RandSeed();
void SetRandSeed(uint32_t seed);
uint32_t Random(uint32_t n);
// Seeds from the UTC time of day in milliseconds.
void Randomize();
