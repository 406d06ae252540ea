#pragma once

// Pixel geometry and colours the parts of the game window share.

#include "flow/GameF.h"

#include <QRgb>

namespace gameform {
constexpr int Cell = TGameForm::CellSize;

// The quotient by 16 rounded down and up, also for negative pixel values.
inline int FloorCell(int pixels) {
    return pixels >= 0 ? pixels / Cell : -((-pixels + Cell - 1) / Cell);
}
inline int CeilCell(int pixels) {
    return pixels >= 0 ? (pixels + Cell - 1) / Cell : -((-pixels) / Cell);
}

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

// The frame panel's coordinates of the well, where the Time markers move.
constexpr int WellTop = 80;
constexpr int WellBottom = 400;
} // namespace gameform
