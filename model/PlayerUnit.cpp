#include "model/PlayerUnit.h"

#include "platform/Exception.h"

TPlayer::TPlayer(QObject* owner) : QObject(owner) {}

void TPlayer::SetScore(int32_t value) {
    FScore = value;
}

void TPlayer::AddScore(int32_t points) {
    SetScore(CheckedAdd(FScore, points));
}
