#pragma once

#include "ai/AiWell_KX.h"

#include <array>
#include <cstddef>
#include <vector>

// The shapes of the seven bricks in their four orientations, as plain cell lists.
class TAiShapes {
public:
    struct Cell {
        int8_t Dx, Dy;
        uint8_t Value;
    };
    struct Shape {
        std::vector<Cell> Cells;
    };
    static const TAiShapes& Instance();
    const Shape& Of(int kind, int orientation) const {
        return FShapes[static_cast<size_t>(kind)][static_cast<size_t>(orientation & 3)];
    }

private:
    TAiShapes();
    std::array<std::array<Shape, 4>, 7> FShapes;
};

// How a strength weighs what a placement leaves behind.
struct TAiWeights {
    double Line = 60;
    double Zapped = 10;
    double Teleported = 25;
    double Kinship = 3;
    double Promise = 6;
    double Height = 0.6;
    double Holes = 9;
    double Bumps = 1.6;
    double Danger = 25;
    // Placements of the current brick whose best follow-up with the next brick is tried.
    int LookAhead = 0;
    // Percent of bricks placed by a slip: the second to fourth best place.
    int SlipPercent = 0;
};

struct TAiPlacement {
    int Orientation = 0;
    int Column = 0;
    double Value = -1e18;
    bool Found = false;
};

// Whether the brick stands clear of the well's cells and walls at a column
// and row (rows above the well are free).
bool BrickFits(const TAiWell& well, int kind, int orientation, int column, int row);

// The best place and orientation for a brick that stands at (column, row)
// in an orientation, reached by turning there, moving along that row and
// dropping; the next brick, when known (0 to 6), is placed after it in the
// look-ahead. rank 0 takes the best, 1 the second best, and so on (a slip
// of a weaker player), as far as there are placements.
TAiPlacement ChoosePlacement(const TAiWell& well, int kind, int orientation, int column, int row,
                             int nextKind, const TAiWeights& weights, int rank = 0);
