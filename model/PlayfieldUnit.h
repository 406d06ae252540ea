#pragma once

#include "platform/CheckedGrid.h"
#include "platform/Exception.h"

#include <QObject>
#include <cstdint>
#include <memory>

class QIODevice;
class TNotifyBroadcaster;

// The program's one playfield-changed broadcaster (it lives on the data
// module, which sets it here). With none set, playfield changes are not
// announced. The reference is weak: a destroyed broadcaster reads as none.
TNotifyBroadcaster* PlayfieldChangedBroadcaster();
void SetPlayfieldChangedBroadcaster(TNotifyBroadcaster* broadcaster);

// A playfield stream that ends early or cannot be written.
class EPlayfieldStreamError : public Exception {
public:
    using Exception::Exception;
};

// One cell of a playfield or of a brick's shape.
class TCell {
public:
    // Flags: exactly one of these is set in every cell the program makes.
    static constexpr uint8_t cfBrick = 1;
    static constexpr uint8_t cfClean = 2;
    static constexpr uint8_t cfBobble = 4;

    TCell() = default;
    TCell(uint8_t flags, uint8_t colour) : Flags(flags), Colour(colour) {}
    virtual ~TCell() = default;

    uint8_t Flags = 0;
    // Working mark of a logic pass: 0 none, positive zap, negative falling group.
    int32_t Mark = 0;
    // 1 to 7 for brick cells (kind k has colour k + 1), 0 for bobbles.
    uint8_t Colour = 0;

    bool IsBobble() const { return (Flags & cfBobble) != 0; }

    // Six bytes: flags, mark (32-bit little-endian), colour.
    virtual void LoadFromStream(QIODevice& stream);
    virtual void SaveToStream(QIODevice& stream) const;
};

// The bare well: 10 columns (x, left to right) by 20 rows (y, top to bottom),
// each place empty or holding a cell that the playfield owns.
class TSimplePlayfield : public QObject {
public:
    static constexpr int Columns = 10;
    static constexpr int Rows = 20;

    explicit TSimplePlayfield(QObject* owner = nullptr);
    ~TSimplePlayfield() override;

    int ColCount() const { return Columns; }
    int RowCount() const { return Rows; }

    // These accept any place: a brick may stand partly above the top row.
    static bool IsOutside(int x, int y) { return x < 0 || x >= Columns || y < 0 || y >= Rows; }
    bool IsOccupied(int x, int y) const { return GetCell(x, y) != nullptr; }
    TCell* GetCell(int x, int y) const;

    // Replaces (and frees) the cell at an inside place and announces the
    // change; ERangeError for a place outside.
    void SetCell(int x, int y, std::unique_ptr<TCell> cell);
    // Moves a cell without announcing it. A destination that is occupied is
    // a failed precondition; if the user goes on, its cell is replaced.
    void MoveCell(int fromX, int fromY, int toX, int toY);

    virtual void Clear();
    // Version 1, the count of cells, then x, y and the cell of each occupied
    // place, column by column. Loading adds to what is there (callers clear
    // first), announces nothing, and stops with ERangeError at a record whose
    // place is outside the grid.
    virtual void LoadFromStream(QIODevice& stream);
    virtual void SaveToStream(QIODevice& stream) const;

protected:
    void Announce() const;

private:
    CheckedGrid<std::unique_ptr<TCell>, Columns, Rows> FCells;
};
