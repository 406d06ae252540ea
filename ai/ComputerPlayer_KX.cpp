#include "ai/ComputerPlayer_KX.h"

#include "foundation/Random.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr uint8_t acLeft = 0, acRight = 1, acTurn = 2, acDrop = 3;

// The row or column a pixel position lies in; above the well it is negative.
int FloorCell(int pixels) {
    return pixels >= 0 ? pixels / TComputerPlayer::CellSize
                       : -((-pixels + TComputerPlayer::CellSize - 1) / TComputerPlayer::CellSize);
}

TAiWeights WeightsOf(TComputerStrength strength) {
    TAiWeights w;
    // Zaps and teleports are worth little against a low well without holes
    // over a long game: the stronger players weigh them lightly but do weigh them.
    switch (strength) {
    case TComputerStrength::Easy:
        // Sees lines and height but little of holes, colours and bobbles, and looks no further.
        w.Zapped = 2;
        w.Teleported = 0;
        w.Kinship = 0;
        w.Promise = 0;
        w.Holes = 4;
        w.Height = 0.3;
        w.Bumps = 0.5;
        w.SlipPercent = 40;
        break;
    case TComputerStrength::Normal:
        w.Zapped = 4;
        w.Teleported = 4;
        w.Kinship = 1;
        w.Promise = 2;
        w.SlipPercent = 18;
        break;
    case TComputerStrength::Hard:
        w.Zapped = 2;
        w.Teleported = 4;
        w.Kinship = 1;
        w.Promise = 1;
        w.Holes = 12;
        w.LookAhead = 6;
        break;
    case TComputerStrength::Random:
        break;
    }
    return w;
}
} // namespace

std::optional<TComputerStrength> ParseComputerStrength(const std::string& name) {
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (TComputerStrength s : {TComputerStrength::Random, TComputerStrength::Easy,
                                TComputerStrength::Normal, TComputerStrength::Hard})
        if (lower == ComputerStrengthName(s)) return s;
    return std::nullopt;
}

const char* ComputerStrengthName(TComputerStrength strength) {
    switch (strength) {
    case TComputerStrength::Random:
        return "random";
    case TComputerStrength::Easy:
        return "easy";
    case TComputerStrength::Normal:
        return "normal";
    case TComputerStrength::Hard:
        return "hard";
    }
    return "?";
}

TComputerPlayer::TComputerPlayer(TComputerStrength strength, uint32_t seed)
    : FStrength(strength), FWeights(WeightsOf(strength)), FSeed(seed) {}

int TComputerPlayer::FramesBetweenActions(TComputerStrength strength) {
    // About 3, 6 and 25 actions a second: a beginner, a practised player,
    // and as fast as the game takes them (one action a frame).
    switch (strength) {
    case TComputerStrength::Easy:
        return 8;
    case TComputerStrength::Normal:
        return 4;
    case TComputerStrength::Hard:
    case TComputerStrength::Random:
        return 1;
    }
    return 1;
}

uint32_t TComputerPlayer::Draw(uint32_t n) {
    RandomGenerator generator(FSeed);
    const uint32_t value = generator.Next(n);
    FSeed = generator.Seed();
    return value;
}

std::optional<uint8_t> TComputerPlayer::Act(const TComputerView& view) {
    FFramesSinceAction += 1;
    if (!view.BrickInPlay) {
        FHadBrick = false;
        return std::nullopt;
    }
    const bool fresh = !FHadBrick || view.Kind != FLastKind || view.Top < FLastTop;
    FHadBrick = true;
    FLastKind = view.Kind;
    FLastTop = view.Top;
    if (FStrength != TComputerStrength::Random && fresh) {
        const int rank = static_cast<int>(Draw(100)) < FWeights.SlipPercent
                             ? 1 + static_cast<int>(Draw(3))
                             : 0;
        FPlan = ChoosePlacement(view.Own, view.Kind, view.Orientation, FloorCell(view.Left),
                                FloorCell(view.Top), view.NextKind, FWeights, rank);
        FTurnTries = 0;
        FPresses = 0;
        FDropped = false;
    }
    if (FFramesSinceAction < FramesBetweenActions(FStrength)) return std::nullopt;
    const std::optional<uint8_t> action =
        FStrength == TComputerStrength::Random ? RandomKey() : Plan(view);
    if (action) FFramesSinceAction = 0;
    return action;
}

std::optional<uint8_t> TComputerPlayer::Plan(const TComputerView& view) {
    if (FDropped || view.Moving) return std::nullopt;
    if (!FPlan.Found || ++FPresses > 40) {
        FDropped = true;
        return acDrop;
    }
    if (view.Orientation != FPlan.Orientation && FTurnTries < 4) {
        FTurnTries += 1;
        return acTurn;
    }
    if (view.Left % CellSize != 0) return std::nullopt;
    const int column = view.Left / CellSize;
    if (column > FPlan.Column) return acLeft;
    if (column < FPlan.Column) return acRight;
    FDropped = true;
    return acDrop;
}

std::optional<uint8_t> TComputerPlayer::RandomKey() {
    // Now and then a key at random: mostly sideways moves and turns, a drop at times.
    if (Draw(100) >= 30) return std::nullopt;
    const uint32_t choice = Draw(100);
    if (choice < 36) return acLeft;
    if (choice < 72) return acRight;
    if (choice < 93) return acTurn;
    return acDrop;
}
