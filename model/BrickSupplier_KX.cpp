#include "model/BrickSupplier_KX.h"

#include "foundation/Random.h"
#include "foundation/brenmarError.h"
#include "model/ModelOwners_KX.h"
#include "platform/Exception.h"

#include <algorithm>

TBrickSupplier::TBrickSupplier(QObject* owner) : QObject(owner) {}

std::array<int, TBrickSupplier::KindCount> TBrickSupplier::Weights(int32_t score) {
    // The straight brick with a bobble gets rarer from 5000 points on, the
    // three-corner brick more frequent from 3000 on.
    const int64_t s = score;
    const auto a = static_cast<int>(std::clamp<int64_t>((s - 4000) / 1000, 0, 7));
    const auto b = static_cast<int>(std::clamp<int64_t>((s - 2000) / 1000, 0, 7));
    return {15, 15, 10, 7, 7, 10 - a, 7 + b};
}

int TBrickSupplier::GenerateBrick() {
    const int32_t score = FCoordinator ? FCoordinator->FirstPlayerScore() : 0;
    const std::array<int, KindCount> weights = Weights(score);
    uint32_t total = 0;
    for (int w : weights)
        total += static_cast<uint32_t>(w);
    const uint32_t r = Random(total);
    uint32_t bound = 0;
    for (int kind = 0; kind < KindCount; ++kind) {
        bound += static_cast<uint32_t>(weights[kind]);
        if (r < bound) return kind;
    }
    ErrorReporter().Warning(QStringLiteral("Illegal value"), QStringLiteral("GenerateBrick"));
    // Warning always ends the operation by raising; this keeps the compiler content.
    throw EAbort();
}

void TBrickSupplier::AppendGenerated() {
    FQueue.push_back(GenerateBrick());
}

int TBrickSupplier::Peek(int i) {
    if (i < 0) throw ERangeError();
    while (FQueue.size() <= static_cast<size_t>(i))
        AppendGenerated();
    return FQueue[static_cast<size_t>(i)];
}

int TBrickSupplier::NextBrick() {
    if (FQueue.empty()) AppendGenerated();
    const int kind = FQueue.front();
    FQueue.pop_front();
    AppendGenerated();
    if (FCoordinator) FCoordinator->RefreshNextBrickView();
    return kind;
}
