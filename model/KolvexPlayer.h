#pragma once

#include "model/PlayerUnit.h"

class TPlayerGameForm;

// The player of this game: every score change is shown on its game window
// at once, and a landing scores by the rules below.
class TKolvexPlayer : public TPlayer {
public:
    // Points for every brick that lands.
    static constexpr int32_t BrickPoints = 5;

    // The game window owns its player, so its reference never outlives it.
    explicit TKolvexPlayer(QObject* owner = nullptr, TPlayerGameForm* gameForm = nullptr);

    TPlayerGameForm* GameForm() const { return FGameForm; }
    void SetGameForm(TPlayerGameForm* gameForm) { FGameForm = gameForm; }

    void SetScore(int32_t value) override;

    // 125, 250, 500 or 1000 for 1 to 4 full lines; nothing for 0 or more than 4.
    static int32_t LineBonus(int32_t lines);
    // 5 per zapped cell plus 50, when any cell was zapped.
    static int32_t ZapBonus(int32_t cellsZapped);

    // The brick's cells are in the playfield.
    void ScoreBrickLanded();
    // What the landing's logic run removed: the line bonus, then the zap
    // bonus, each shown as its own new total.
    void ScoreLandingResult(int32_t linesRemoved, int32_t cellsZapped);

private:
    TPlayerGameForm* FGameForm;
};
