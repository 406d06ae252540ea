#include "ai/PlacementChooser_KX.h"

#include "model/Bricks.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int Columns = TAiWell::Columns;
constexpr int Rows = TAiWell::Rows;
constexpr int Neighbours[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

struct Candidate {
    int Orientation;
    int Column;
    double Value;
    TAiWell After;
};

// Height, holes and bumpiness of the well left behind.
double Shape(const TAiWell& w, const TAiWeights& k) {
    int total = 0, bumps = 0, highest = 0, holes = 0, previous = -1;
    for (int x = 0; x < Columns; ++x) {
        int top = Rows;
        for (int y = 0; y < Rows; ++y)
            if (w.Filled(x, y)) {
                top = y;
                break;
            }
        for (int y = top + 1; y < Rows; ++y)
            if (!w.Filled(x, y)) holes += 1;
        const int height = Rows - top;
        total += height;
        highest = std::max(highest, height);
        if (previous >= 0) bumps += std::abs(height - previous);
        previous = height;
    }
    double value = -k.Height * total - k.Holes * holes - k.Bumps * bumps;
    if (highest > 12) value -= k.Danger * (highest - 12);
    return value;
}

// Cells that land beside cells of their own colour grow the areas that
// bobbles later take away; a bobble beside a coloured area is a promise of a zap.
double Kinship(const TAiWell& before, int kind, int o, int column, int row, const TAiWeights& k) {
    double value = 0;
    for (const TAiShapes::Cell& c : TAiShapes::Instance().Of(kind, o).Cells) {
        const int x = column + c.Dx, y = row + c.Dy;
        for (const auto& d : Neighbours) {
            const int nx = x + d[0], ny = y + d[1];
            if (!TAiWell::Inside(nx, ny) || !before.Filled(nx, ny)) continue;
            const uint8_t v = before.At(nx, ny);
            if (c.Value == TAiWell::Bobble) {
                if (v >= 1 && v <= 7) value += k.Promise * (ny >= TAiWell::LowerHalf ? 1.5 : 1.0);
            } else if (v == c.Value) {
                value += k.Kinship;
            }
        }
    }
    return value;
}

void Place(TAiWell& w, int kind, int o, int column, int row) {
    for (const TAiShapes::Cell& c : TAiShapes::Instance().Of(kind, o).Cells)
        if (row + c.Dy >= 0) w.Set(column + c.Dx, row + c.Dy, c.Value);
}

// Every placement reachable from the start, with its value and the well it leaves.
template <class Visit>
void ForEachPlacement(const TAiWell& well, int kind, int orientation, int column, int row,
                      const TAiWeights& k, Visit visit) {
    for (int turns = 0; turns < 4; ++turns) {
        const int o = (orientation + turns) % 4;
        if (!BrickFits(well, kind, o, column, row)) continue;
        for (const int step : {-1, 1})
            for (int c = step < 0 ? column : column + 1;; c += step) {
                if (!BrickFits(well, kind, o, c, row)) break;
                int landed = row;
                while (BrickFits(well, kind, o, c, landed + 1))
                    ++landed;
                TAiWell after = well;
                Place(after, kind, o, c, landed);
                const TAiOutcome out = ResolveWell(after);
                double value = k.Line * out.Lines + k.Zapped * out.Zapped +
                               k.Teleported * out.Teleported;
                value += Kinship(well, kind, o, c, landed, k);
                visit(o, c, value, after);
            }
    }
}
} // namespace

TAiShapes::TAiShapes() {
    const TBricks bricks;
    for (int kind = 0; kind < TBricks::Count; ++kind)
        for (int o = 0; o < 4; ++o) {
            const TBrick& brick = *bricks.Brick(kind);
            Shape& shape = FShapes[static_cast<size_t>(kind)][static_cast<size_t>(o)];
            for (int j = 0; j < brick.Height(); ++j)
                for (int i = 0; i < brick.Width(); ++i)
                    if (const TCell* c = brick.CellAt(i, j, o))
                        shape.Cells.push_back({static_cast<int8_t>(i), static_cast<int8_t>(j),
                                               c->IsBobble() ? TAiWell::Bobble : c->Colour});
        }
}

const TAiShapes& TAiShapes::Instance() {
    static const TAiShapes shapes;
    return shapes;
}

bool BrickFits(const TAiWell& well, int kind, int orientation, int column, int row) {
    for (const TAiShapes::Cell& c : TAiShapes::Instance().Of(kind, orientation).Cells) {
        const int x = column + c.Dx, y = row + c.Dy;
        if (x < 0 || x >= Columns || y >= Rows) return false;
        if (y >= 0 && well.Filled(x, y)) return false;
    }
    return true;
}

TAiPlacement ChoosePlacement(const TAiWell& well, int kind, int orientation, int column, int row,
                             int nextKind, const TAiWeights& weights, int rank) {
    std::vector<Candidate> candidates;
    ForEachPlacement(well, kind, orientation, column, row, weights,
                     [&](int o, int c, double value, const TAiWell& after) {
                         candidates.push_back({o, c, value + Shape(after, weights), after});
                     });
    if (candidates.empty()) return {};
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.Value > b.Value; });
    const bool ahead = weights.LookAhead > 0 && nextKind >= 0 && nextKind < 7;
    if (ahead) {
        const size_t tried = std::min(candidates.size(), static_cast<size_t>(weights.LookAhead));
        for (size_t i = 0; i < tried; ++i) {
            Candidate& first = candidates[i];
            double best = -1e9;
            // The next brick starts where this one did, in its first orientation.
            ForEachPlacement(first.After, nextKind, 0, column, std::min(row, 0), weights,
                             [&](int, int, double value, const TAiWell& after) {
                                 best = std::max(best, value + Shape(after, weights));
                             });
            // What the first brick achieves counts in full, the follow-up only as a prospect.
            first.Value = first.Value - Shape(first.After, weights) + 0.9 * best;
        }
        std::stable_sort(candidates.begin(), candidates.begin() + static_cast<long>(tried),
                         [](const Candidate& a, const Candidate& b) { return a.Value > b.Value; });
    }
    const Candidate& best =
        candidates[static_cast<size_t>(std::clamp<int>(rank, 0, static_cast<int>(candidates.size()) - 1))];
    return {best.Orientation, best.Column, best.Value, true};
}
