#include "model/Playfield_KX.h"

#include <algorithm>

#include "model/PlayfieldLogicAlgoritm_KX.h"

TPlayfield::TPlayfield(QObject* owner, TLogicGameForm* gameForm)
    : TSimplePlayfield(owner), FGameForm(gameForm) {}

TCell* TPlayfield::AddCell(int x, int y, uint8_t flags, uint8_t colour) {
    auto owned = std::make_unique<TCell>();
    TCell* cell = owned.get();
    SetCell(x, y, std::move(owned));
    // The announcement may have let other games teleport into this place.
    if (GetCell(x, y) != cell) return nullptr;
    cell->Flags = flags;
    cell->Colour = colour;
    return cell;
}

void TPlayfield::AddCellInside(int x, int y, uint8_t flags, uint8_t colour) {
    if (!IsOutside(x, y)) AddCell(x, y, flags, colour);
}

void TPlayfield::SetMark(int x, int y, int32_t mark) {
    TCell* cell = GetCell(x, y);
    if (!cell || cell->Mark == mark) return;
    cell->Mark = mark;
    Announce();
}

void TPlayfield::ClearMark(int32_t mark) {
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y)
            if (TCell* cell = GetCell(x, y); cell && cell->Mark == mark) cell->Mark = 0;
    Announce();
}

void TPlayfield::MoveArea(int32_t mark, int dy) {
    if (dy == 0) return;
    for (int x = 0; x < Columns; ++x)
        for (int y = Rows - 2; y >= 0; --y)
            if (const TCell* cell = GetCell(x, y);
                cell && cell->Mark == mark && IsOutside(x, y + dy))
                throw ERangeError();
    for (int x = 0; x < Columns; ++x)
        for (int y = Rows - 2; y >= 0; --y)
            if (const TCell* cell = GetCell(x, y); cell && cell->Mark == mark)
                MoveCell(x, y, x, y + dy);
}

QString TPlayfield::RowPicture(int y) const {
    QString row;
    for (int x = 0; x < Columns; ++x) {
        const TCell* cell = GetCell(x, y);
        if (!cell)
            row += QLatin1Char('.');
        else if (cell->IsBobble())
            row += QLatin1Char('B');
        else if (cell->Flags & TCell::cfClean)
            row += QLatin1Char('C');
        else
            row += QChar(QLatin1Char('0').unicode() + std::clamp<int>(cell->Colour, 0, 9));
    }
    return row;
}

bool TPlayfield::NoCleanCellsLeft() const {
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y)
            if (const TCell* cell = GetCell(x, y); cell && (cell->Flags & TCell::cfClean))
                return false;
    return true;
}

bool TPlayfield::FloodBobbleArea(int x, int y, const TCell* reference, int32_t mark,
                                 uint8_t& colour) {
    // The reference is taken by value: the announcements of a flood may let
    // other games replace cells of this playfield.
    const Reference ref{reference != nullptr, reference && reference->IsBobble(),
                        reference ? reference->Colour : uint8_t(0)};
    return FloodBobbleAreaFrom(x, y, ref, mark, colour);
}

bool TPlayfield::FloodBobbleAreaFrom(int x, int y, const Reference& reference, int32_t mark,
                                     uint8_t& colour) {
    const TCell* cell = GetCell(x, y);
    // Mark 0 would never stop the flood.
    if (!cell || mark == 0) return false;
    const bool bobble = cell->IsBobble();
    // A marked cell stops the flood, except a bobble of another area, which
    // this area takes over.
    if (cell->Mark != 0 && !(bobble && cell->Mark != mark)) return false;
    if (colour != 0 && !bobble && cell->Colour != colour) return false;
    if (reference.Given && !bobble && (reference.Bobble || cell->Colour != reference.Colour))
        return false;
    bool result = bobble;
    if (!bobble && colour == 0) colour = cell->Colour;
    SetMark(x, y, mark);
    result = FloodBobbleAreaFrom(x - 1, y, reference, mark, colour) || result;
    result = FloodBobbleAreaFrom(x + 1, y, reference, mark, colour) || result;
    result = FloodBobbleAreaFrom(x, y - 1, reference, mark, colour) || result;
    result = FloodBobbleAreaFrom(x, y + 1, reference, mark, colour) || result;
    return result;
}

void TPlayfield::FloodMark(int x, int y, int32_t mark) {
    const TCell* cell = GetCell(x, y);
    if (!cell || cell->Mark != 0 || mark == 0) return;
    SetMark(x, y, mark);
    FloodMark(x - 1, y, mark);
    FloodMark(x + 1, y, mark);
    FloodMark(x, y - 1, mark);
    FloodMark(x, y + 1, mark);
}

void TPlayfield::ResolveLanding() {
    int32_t lines = 0;
    int32_t zapped = 0;
    bool removedSomething = true;
    while (removedSomething) {
        TPlayfieldLogicAlgoritm pass;
        pass.Playfield = this;
        pass.Execute();
        lines += pass.LinesFound;
        zapped += pass.ZapCount;
        removedSomething = pass.LinesFound != 0 || pass.ZapCount != 0;
    }
    FLinesRemoved = lines;
    FCellsZapped = zapped;
}
