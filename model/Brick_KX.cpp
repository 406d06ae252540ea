#include "model/Brick_KX.h"

TBrick::TBrick(int size) : FWidth(size), FHeight(size) {
    if (size < 1 || size * FOrientationCount > MatrixColumns || size > MatrixRows)
        throw ERangeError();
}

void TBrick::SetOrientation(int32_t orientation) {
    // A negative turn count must not leave the four orientations.
    FOrientation = (orientation % FOrientationCount + FOrientationCount) % FOrientationCount;
}

std::unique_ptr<TCell>& TBrick::Place(int x, int y, int orientation) {
    if (orientation < 0 || orientation >= FOrientationCount || x < 0 || x >= FWidth || y < 0 ||
        y >= FHeight)
        throw ERangeError();
    return FShape.At(x + orientation * FWidth, y);
}

void TBrick::DefineCell(int x, int y, int orientation, uint8_t flags, uint8_t colour) {
    Place(x, y, orientation) = std::make_unique<TCell>(flags, colour);
}

TCell* TBrick::CellAt(int x, int y, int orientation) const {
    if (orientation < 0 || orientation >= FOrientationCount) throw ERangeError();
    if (x < 0 || x >= FWidth || y < 0 || y >= FHeight) return nullptr;
    return FShape.At(x + orientation * FWidth, y).get();
}
