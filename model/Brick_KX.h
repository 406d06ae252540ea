#pragma once

#include "model/PlayfieldUnit.h"

class TSprite;

// One falling piece: its shape in four orientations, each a Width by Height
// box of cells. Orientation o uses columns o * Width .. o * Width + Width - 1
// of the shape matrix; one step up is a quarter turn clockwise.
class TBrick {
public:
    static constexpr int MatrixColumns = 16;
    static constexpr int MatrixRows = 4;

    // A brick with a size by size box, orientation 0 and no cells yet.
    explicit TBrick(int size);

    // The sprite that shows this brick (owned by the game window).
    TSprite* Sprite() const { return FSprite; }
    void SetSprite(TSprite* sprite) { FSprite = sprite; }

    int32_t Orientation() const { return FOrientation; }
    // Wraps any value into 0 .. 3.
    void SetOrientation(int32_t orientation);
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t OrientationCount() const { return FOrientationCount; }

    // Replaces the cell at (x, y) of an orientation; used while the shape
    // table is built. ERangeError outside the box.
    void DefineCell(int x, int y, int orientation, uint8_t flags, uint8_t colour);
    // The cell at (x, y) of an orientation; none outside the box. A wrong
    // orientation is ERangeError.
    TCell* CellAt(int x, int y, int orientation) const;
    bool HasCellAt(int x, int y, int orientation) const { return CellAt(x, y, orientation); }
    TCell* CurrentCellAt(int x, int y) const { return CellAt(x, y, FOrientation); }
    bool HasCurrentCellAt(int x, int y) const { return CurrentCellAt(x, y); }

private:
    std::unique_ptr<TCell>& Place(int x, int y, int orientation);

    CheckedGrid<std::unique_ptr<TCell>, MatrixColumns, MatrixRows> FShape;
    TSprite* FSprite = nullptr;
    int32_t FOrientation = 0;
    int32_t FWidth;
    int32_t FHeight;
    int32_t FOrientationCount = 4;
};
