#pragma once

#include "ai/ComputerPlayer_KX.h"

class TGameForm;

// What the player of a game sees of it, for a computer player: its well,
// the falling brick, the next brick the session shows and the other
// player's well (empty in a game of one).
TComputerView ComputerViewOf(const TGameForm& game);

// A computer player's hands on one game: once per game frame it shows the
// player what it sees and presses the chosen action into the game's action
// collector, where a person's key presses go, so that the action is recorded
// and applied like theirs.
class TComputerHand {
public:
    TComputerHand(TGameForm& game, TComputerStrength strength, uint32_t seed);
    void Frame();
    // Ends its game once it has won: every other game of the session is
    // over and its score is higher than theirs (it can only rise further).
    void SetStopWhenWon(bool on) { FStopWhenWon = on; }
    TComputerPlayer& Player() { return FPlayer; }
    // Actions pressed so far.
    int Presses() const { return FPresses; }

private:
    TGameForm& FGame;
    TComputerPlayer FPlayer;
    int FPresses = 0;
    bool FStopWhenWon = false;

    bool HasWon() const;
};
