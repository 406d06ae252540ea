#pragma once

#include "ai/AiWell_KX.h"
#include "ai/PlacementChooser_KX.h"

#include <cstdint>
#include <optional>
#include <string>

enum class TComputerStrength { Random, Easy, Normal, Hard };

// "random", "easy", "normal", "hard" (any case); nothing for another word.
std::optional<TComputerStrength> ParseComputerStrength(const std::string& name);
const char* ComputerStrengthName(TComputerStrength strength);

// What a player at the screen sees of a game: the own well, the falling
// brick, the next brick and the other well. Nothing else reaches the
// computer player: not the generator, not the bricks after the next one.
struct TComputerView {
    TAiWell Own;
    TAiWell Other;
    bool BrickInPlay = false;
    int Kind = 0;
    int Orientation = 0;
    // The brick's sprite position in pixels of the well.
    int Left = 0;
    int Top = 0;
    // A sideways move is still under way.
    bool Moving = false;
    // 0 to 6; -1 when no next brick is shown.
    int NextKind = -1;
};

// A computer player: once per game frame it looks at what it sees and
// presses at most one key (an action code 0 to 3), never more often than
// its strength allows.
class TComputerPlayer {
public:
    static constexpr int CellSize = 16;
    TComputerPlayer(TComputerStrength strength, uint32_t seed);

    TComputerStrength Strength() const { return FStrength; }
    // Game frames that must pass between two of its actions (25 frames a second).
    static int FramesBetweenActions(TComputerStrength strength);
    // The action to press in this frame, if any.
    std::optional<uint8_t> Act(const TComputerView& view);

private:
    std::optional<uint8_t> Plan(const TComputerView& view);
    std::optional<uint8_t> RandomKey();
    uint32_t Draw(uint32_t n);

    TComputerStrength FStrength;
    TAiWeights FWeights;
    uint32_t FSeed;
    int FFramesSinceAction = 1000;
    bool FHadBrick = false;
    int FLastKind = -1;
    int FLastTop = 0;
    TAiPlacement FPlan;
    int FTurnTries = 0;
    int FPresses = 0;
    bool FDropped = false;
};
