#include "foundation/Random.h"

#include <QDateTime>

namespace {
RandomGenerator programGenerator;
}

uint32_t RandomGenerator::Next(uint32_t n) {
    FSeed = FSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(FSeed) * n) >> 32);
}

uint32_t RandSeed() { return programGenerator.Seed(); }
void SetRandSeed(uint32_t seed) { programGenerator.SetSeed(seed); }
uint32_t Random(uint32_t n) { return programGenerator.Next(n); }

void Randomize() {
    const QTime t = QDateTime::currentDateTimeUtc().time();
    SetRandSeed(static_cast<uint32_t>(((t.hour() * 60 + t.minute()) * 60 + t.second()) * 1000 +
                                      t.msec()));
}
