#pragma once

#include "model/PlayfieldUnit.h"

#include <QString>

class TLogicGameForm;

// The game's playfield: the grid with the marking operations of the logic
// pass, the fill map that keeps teleported cells out of the path of falling
// areas, and the results of the last landing.
class TPlayfield : public TSimplePlayfield {
public:
    // The game window owns its playfield, so its reference never outlives it.
    explicit TPlayfield(QObject* owner = nullptr, TLogicGameForm* gameForm = nullptr);

    TLogicGameForm* GameForm() const { return FGameForm; }
    void SetGameForm(TLogicGameForm* gameForm) { FGameForm = gameForm; }

    // Full lines and zap count of the last ResolveLanding.
    int32_t LinesRemoved() const { return FLinesRemoved; }
    int32_t CellsZapped() const { return FCellsZapped; }

    // A new cell with mark 0 (announced as it is stored, before its flags
    // and colour are set; the announcement is only for repainting).
    TCell* AddCell(int x, int y, uint8_t flags, uint8_t colour);
    // AddCell for a place inside the grid; nothing elsewhere.
    void AddCellInside(int x, int y, uint8_t flags, uint8_t colour);

    // Announces only when the mark changes.
    void SetMark(int x, int y, int32_t mark);
    // Takes the mark off every cell that has it; always announces once.
    void ClearMark(int32_t mark);
    // Moves the cells with this mark down by dy rows (row 19 never moves).
    // ERangeError, before anything moves, when a cell would leave the grid.
    void MoveArea(int32_t mark, int dy);

    bool NoCleanCellsLeft() const;
    // Row y as text, column 0 first: '.' empty, '1' to '7' a brick cell's
    // colour, 'B' a bobble, 'C' a clean-mode cell.
    QString RowPicture(int y) const;

    uint8_t GetFillMap(int x, int y) const { return FFillMap.At(x, y); }
    void SetFillMap(int x, int y, uint8_t value) { FFillMap.At(x, y) = value; }

    // Marks the area of one colour reached from (x, y) with mark, passing
    // through bobbles; true when it reached a bobble. colour is the area's
    // colour, found on the way when 0. reference, when given, is the cell
    // whose kind and colour the area must match.
    bool FloodBobbleArea(int x, int y, const TCell* reference, int32_t mark, uint8_t& colour);
    // Marks every unmarked cell connected to (x, y), whatever its colour.
    void FloodMark(int x, int y, int32_t mark);
    // Runs logic passes until one removes nothing; sets LinesRemoved and CellsZapped.
    void ResolveLanding();

private:
    struct Reference {
        bool Given;
        bool Bobble;
        uint8_t Colour;
    };
    bool FloodBobbleAreaFrom(int x, int y, const Reference& reference, int32_t mark,
                             uint8_t& colour);

    CheckedGrid<uint8_t, Columns, Rows> FFillMap;
    TLogicGameForm* FGameForm;
    int32_t FLinesRemoved = 0;
    int32_t FCellsZapped = 0;
};
