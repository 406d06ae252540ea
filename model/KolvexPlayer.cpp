#include "model/KolvexPlayer.h"

#include "model/ModelOwners_KX.h"

TKolvexPlayer::TKolvexPlayer(QObject* owner, TPlayerGameForm* gameForm)
    : TPlayer(owner), FGameForm(gameForm) {}

void TKolvexPlayer::SetScore(int32_t value) {
    TPlayer::SetScore(value);
    if (FGameForm) FGameForm->ShowScore(Score());
}

int32_t TKolvexPlayer::LineBonus(int32_t lines) {
    switch (lines) {
    case 1:
        return 125;
    case 2:
        return 250;
    case 3:
        return 500;
    case 4:
        return 1000;
    default:
        return 0;
    }
}

int32_t TKolvexPlayer::ZapBonus(int32_t cellsZapped) {
    if (cellsZapped <= 0) return 0;
    // Beyond any real landing, but a zap count must not wrap the bonus.
    if (cellsZapped > (INT32_MAX - 50) / 5) return INT32_MAX;
    return 5 * cellsZapped + 50;
}

void TKolvexPlayer::ScoreBrickLanded() {
    AddScore(BrickPoints);
}

void TKolvexPlayer::ScoreLandingResult(int32_t linesRemoved, int32_t cellsZapped) {
    if (const int32_t bonus = LineBonus(linesRemoved)) AddScore(bonus);
    if (const int32_t bonus = ZapBonus(cellsZapped)) AddScore(bonus);
}
