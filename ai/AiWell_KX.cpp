#include "ai/AiWell_KX.h"

#include "model/PlayfieldUnit.h"

#include <algorithm>

namespace {
constexpr int Columns = TAiWell::Columns;
constexpr int Rows = TAiWell::Rows;
constexpr int Places = Columns * Rows;
constexpr int Steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

using Marks = std::array<int16_t, Places>;

int Index(int x, int y) { return y * Columns + x; }

// Marks with `mark` every cell of `colour` and every bobble reached from
// `start` through them; returns how many bobbles the area holds.
int FloodArea(const TAiWell& w, int start, uint8_t colour, int16_t mark, Marks& marks) {
    std::array<int16_t, Places> todo{};
    int count = 0, bobbles = 0;
    todo[static_cast<size_t>(count++)] = static_cast<int16_t>(start);
    marks[static_cast<size_t>(start)] = mark;
    while (count > 0) {
        const int i = todo[static_cast<size_t>(--count)];
        if (w.Places[static_cast<size_t>(i)] == TAiWell::Bobble) bobbles += 1;
        for (const auto& s : Steps) {
            const int nx = i % Columns + s[0], ny = i / Columns + s[1];
            if (!TAiWell::Inside(nx, ny)) continue;
            const int n = Index(nx, ny);
            const uint8_t v = w.Places[static_cast<size_t>(n)];
            if (marks[static_cast<size_t>(n)] == mark) continue;
            if (v != TAiWell::Bobble && (v != colour || colour == TAiWell::Empty)) continue;
            marks[static_cast<size_t>(n)] = mark;
            todo[static_cast<size_t>(count++)] = static_cast<int16_t>(n);
        }
    }
    return bobbles;
}

// Marks the places to zap in this pass; true when there is any.
bool MarkZaps(const TAiWell& w, std::array<bool, Places>& zap, TAiOutcome& out) {
    bool any = false;
    Marks marks{};
    int16_t mark = 0;
    // Areas of each colour joined through bobbles; two bobbles side by side
    // form an area of their own.
    for (int i = 0; i < Places; ++i) {
        const uint8_t v = w.Places[static_cast<size_t>(i)];
        if (v == TAiWell::Empty || v == TAiWell::Clean || marks[static_cast<size_t>(i)] != 0)
            continue;
        if (v == TAiWell::Bobble) continue;
        mark += 1;
        if (FloodArea(w, i, v, mark, marks) < 2) continue;
        any = true;
        for (int j = 0; j < Places; ++j) {
            if (marks[static_cast<size_t>(j)] != mark) continue;
            zap[static_cast<size_t>(j)] = true;
            // Bobbles may belong to several areas: marks are per area.
            if (w.Places[static_cast<size_t>(j)] == TAiWell::Bobble) {
                marks[static_cast<size_t>(j)] = 0;
            } else if (j / Columns >= TAiWell::LowerHalf) {
                out.Teleported += 1;
            }
        }
    }
    for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < Columns; ++x) {
            if (!w.IsBobble(x, y)) continue;
            if ((x + 1 < Columns && w.IsBobble(x + 1, y)) || (y + 1 < Rows && w.IsBobble(x, y + 1))) {
                const int other = x + 1 < Columns && w.IsBobble(x + 1, y) ? Index(x + 1, y)
                                                                           : Index(x, y + 1);
                zap[static_cast<size_t>(Index(x, y))] = zap[static_cast<size_t>(other)] = true;
                any = true;
            }
        }
    for (int y = 0; y < Rows; ++y) {
        bool full = true;
        for (int x = 0; x < Columns && full; ++x)
            full = w.Filled(x, y);
        if (!full) continue;
        out.Lines += 1;
        any = true;
        for (int x = 0; x < Columns; ++x)
            zap[static_cast<size_t>(Index(x, y))] = true;
    }
    return any;
}

// Groups beside or above a zapped place that no longer stand on anything
// that stays: their cells are marked with their negative group number.
int FindFallingGroups(const TAiWell& w, const std::array<bool, Places>& zap, Marks& mark) {
    int groups = 0;
    for (int i = 0; i < Places; ++i)
        if (zap[static_cast<size_t>(i)]) mark[static_cast<size_t>(i)] = 1;
    const int look[3][2] = {{0, -1}, {-1, 0}, {1, 0}};
    std::array<int16_t, Places> todo{};
    for (int i = 0; i < Places; ++i) {
        if (!zap[static_cast<size_t>(i)]) continue;
        for (const auto& d : look) {
            const int nx = i % Columns + d[0], ny = i / Columns + d[1];
            if (!TAiWell::Inside(nx, ny) || !w.Filled(nx, ny) || mark[static_cast<size_t>(Index(nx, ny))] != 0)
                continue;
            const int16_t g = static_cast<int16_t>(-(++groups));
            int count = 0;
            todo[static_cast<size_t>(count++)] = static_cast<int16_t>(Index(nx, ny));
            mark[static_cast<size_t>(Index(nx, ny))] = g;
            while (count > 0) {
                const int c = todo[static_cast<size_t>(--count)];
                for (const auto& s : Steps) {
                    const int mx = c % Columns + s[0], my = c / Columns + s[1];
                    if (!TAiWell::Inside(mx, my) || !w.Filled(mx, my) ||
                        mark[static_cast<size_t>(Index(mx, my))] != 0)
                        continue;
                    mark[static_cast<size_t>(Index(mx, my))] = g;
                    todo[static_cast<size_t>(count++)] = static_cast<int16_t>(Index(mx, my));
                }
            }
        }
    }
    // A group on the floor or on a cell that stays does not fall.
    for (int g = 1; g <= groups; ++g)
        for (int i = 0; i < Places; ++i) {
            if (mark[static_cast<size_t>(i)] != -g) continue;
            const int x = i % Columns, y = i / Columns;
            if (y + 1 >= Rows || (w.Filled(x, y + 1) && mark[static_cast<size_t>(Index(x, y + 1))] == 0)) {
                for (int16_t& m : mark)
                    if (m == -g) m = 0;
                break;
            }
        }
    return groups;
}

// Moves group g down until it meets something; true when it moved.
bool DropGroup(TAiWell& w, int g, Marks& mark) {
    int fall = Rows;
    for (int i = 0; i < Places; ++i) {
        if (mark[static_cast<size_t>(i)] != -g) continue;
        const int x = i % Columns;
        int y = i / Columns + 1, k = 0;
        while (y < Rows && !w.Filled(x, y)) {
            ++k;
            ++y;
        }
        if (y < Rows && mark[static_cast<size_t>(Index(x, y))] == -g) continue;
        fall = std::min(fall, k);
    }
    if (fall == Rows || fall == 0) return false;
    for (int i = Places - 1; i >= 0; --i) {
        if (mark[static_cast<size_t>(i)] != -g) continue;
        const int to = i + fall * Columns;
        w.Places[static_cast<size_t>(to)] = w.Places[static_cast<size_t>(i)];
        mark[static_cast<size_t>(to)] = static_cast<int16_t>(-g);
        w.Places[static_cast<size_t>(i)] = TAiWell::Empty;
        mark[static_cast<size_t>(i)] = 0;
    }
    return true;
}
} // namespace

TAiWell TAiWell::Of(const TSimplePlayfield& field) {
    TAiWell w;
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y) {
            const TCell* c = field.GetCell(x, y);
            if (!c) continue;
            if (c->IsBobble())
                w.Set(x, y, Bobble);
            else if (c->Flags & TCell::cfClean)
                w.Set(x, y, Clean);
            else
                w.Set(x, y, static_cast<uint8_t>(std::clamp<int>(c->Colour, 1, 7)));
        }
    return w;
}

TAiWell TAiWell::FromRows(const std::array<const char*, Rows>& rows) {
    TAiWell w;
    for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < Columns && rows[static_cast<size_t>(y)][x]; ++x) {
            const char c = rows[static_cast<size_t>(y)][x];
            if (c == 'B')
                w.Set(x, y, Bobble);
            else if (c == 'C')
                w.Set(x, y, Clean);
            else if (c >= '1' && c <= '7')
                w.Set(x, y, static_cast<uint8_t>(c - '0'));
        }
    return w;
}

TAiOutcome ResolveWell(TAiWell& w) {
    TAiOutcome out;
    for (int pass = 0; pass < 12; ++pass) {
        std::array<bool, Places> zap{};
        if (!MarkZaps(w, zap, out)) break;
        Marks mark{};
        const int groups = FindFallingGroups(w, zap, mark);
        for (int i = 0; i < Places; ++i)
            if (zap[static_cast<size_t>(i)]) {
                w.Places[static_cast<size_t>(i)] = TAiWell::Empty;
                mark[static_cast<size_t>(i)] = 0;
                out.Zapped += 1;
            }
        for (int g = 1; g <= groups; ++g)
            if (DropGroup(w, g, mark)) out.Falls += 1;
    }
    return out;
}
