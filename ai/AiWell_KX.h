#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TSimplePlayfield;

// A plain copy of a well, one byte a place, for trying placements out fast:
// 0 empty, 1 to 7 a brick cell of that colour, Bobble, or Clean.
struct TAiWell {
    static constexpr int Columns = 10;
    static constexpr int Rows = 20;
    static constexpr uint8_t Empty = 0;
    static constexpr uint8_t Bobble = 8;
    static constexpr uint8_t Clean = 9;
    // Rows from here down are the lower half, whose zapped area cells teleport.
    static constexpr int LowerHalf = Rows / 2;

    std::array<uint8_t, Columns * Rows> Places{};

    static bool Inside(int x, int y) { return x >= 0 && x < Columns && y >= 0 && y < Rows; }
    uint8_t At(int x, int y) const { return Places[static_cast<size_t>(y * Columns + x)]; }
    void Set(int x, int y, uint8_t v) { Places[static_cast<size_t>(y * Columns + x)] = v; }
    bool Filled(int x, int y) const { return At(x, y) != Empty; }
    bool IsBobble(int x, int y) const { return At(x, y) == Bobble; }

    static TAiWell Of(const TSimplePlayfield& field);
    // A well from 20 rows of text, row 0 first, as playfield pictures are
    // written: '.' empty, '1' to '7' a colour, 'B' a bobble, 'C' a clean cell.
    static TAiWell FromRows(const std::array<const char*, Rows>& rows);
};

// What a landing removed, as the rules would resolve it.
struct TAiOutcome {
    int Lines = 0;
    int Zapped = 0;
    // Area cells of the lower half that go over to the other well.
    int Teleported = 0;
    int Falls = 0;
};

// Resolves a landing closely enough to judge a placement: areas of one
// colour that two bobbles connect and full lines go, the groups that lost
// their support fall as rigid pieces, and the well is looked at again until
// nothing more goes.
TAiOutcome ResolveWell(TAiWell& well);
