#include "model/PlayfieldLogicAlgoritm_KX.h"

#include "foundation/Error_KX.h"
#include "model/ModelOwners_KX.h"
#include "model/Playfield_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <algorithm>

namespace {
constexpr int kColumns = TSimplePlayfield::Columns;
constexpr int kRows = TSimplePlayfield::Rows;
// Cells are zapped one by one, about this far apart.
constexpr uint32_t kZapPauseMs = 30;
constexpr uint32_t kZapSleepMs = 10;

struct Offset {
    int Dx;
    int Dy;
};
constexpr Offset kLeftAboveRightBelow[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
constexpr Offset kRightLeftBelowAbove[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Offset kAboveLeftRight[] = {{0, -1}, {-1, 0}, {1, 0}};
} // namespace

void TPlayfieldLogicAlgoritm::Execute() {
    LinesFound = 0;
    ZapCount = 0;
    TeleportCells.clear();
    try {
        MarkZaps();
        FindFallingAreas();
        FillBelowAreas();
        ZapMarked();
        FallAreas();
        ClearFillMap();
        if (RaiseBobblesOn()) RaiseBobbles();
    } catch (...) {
        TeleportCells.clear();
        Abandon();
        throw;
    }
    TeleportCells.clear();
}

void TPlayfieldLogicAlgoritm::MarkZaps() {
    TPlayfield& pf = *Playfield;
    int32_t k = 1;

    // Areas that two bobbles connect.
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            const TCell* bobble = pf.GetCell(x, y);
            if (!bobble || !bobble->IsBobble()) continue;
            bool done = false;
            for (const Offset n : kLeftAboveRightBelow) {
                if (done) break;
                const int nx = x + n.Dx, ny = y + n.Dy;
                if (!pf.GetCell(nx, ny)) continue;
                const TCell* self = pf.GetCell(x, y);
                if (!self) break;
                const int32_t saved = self->Mark;
                pf.SetMark(x, y, k);
                uint8_t colour = 0;
                if (pf.FloodBobbleArea(nx, ny, pf.GetCell(nx, ny), k, colour)) {
                    // Take in further areas of the same colour that touch
                    // this bobble, and chains of bobbles.
                    if (colour != 0)
                        for (const Offset m : kRightLeftBelowAbove)
                            pf.FloodBobbleArea(x + m.Dx, y + m.Dy, pf.GetCell(x + m.Dx, y + m.Dy),
                                               k, colour);
                    ++k;
                    done = true;
                } else {
                    // An area with only this bobble stays; so does the bobble's old mark.
                    pf.ClearMark(k);
                    if (TCell* back = pf.GetCell(x, y)) back->Mark = saved;
                }
            }
            if (done) pf.SetMark(x, y, k - 1);
        }

    // Only the lower half of the well is sent to the other player.
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y)
            if (const TCell* cell = pf.GetCell(x, y);
                cell && !cell->IsBobble() && y >= pf.RowCount() - 10 && cell->Mark >= 1)
                TeleportCells.push_back(cell);

    if (!ZapLineOn()) return;
    int32_t lines = 0;
    for (int y = kRows - 1; y >= 0; --y) {
        bool full = true;
        for (int x = 0; x < kColumns; ++x) {
            const TCell* cell = pf.GetCell(x, y);
            if (!cell)
                full = false;
            else if (full && cell->Mark == 0)
                pf.SetMark(x, y, k);
        }
        if (full) {
            ++k;
            ++lines;
        } else {
            pf.ClearMark(k);
        }
    }
    LinesFound = lines;
}

void TPlayfieldLogicAlgoritm::FindFallingAreas() {
    TPlayfield& pf = *Playfield;
    NextFallMark = -1;
    // Every unmarked group that touches a zapped cell from above or from the
    // side; cells below zapped ones lose nothing.
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            const TCell* cell = pf.GetCell(x, y);
            if (!cell || cell->Mark <= 0) continue;
            for (const Offset n : kAboveLeftRight) {
                const TCell* neighbour = pf.GetCell(x + n.Dx, y + n.Dy);
                if (!neighbour || neighbour->Mark != 0) continue;
                pf.FloodMark(x + n.Dx, y + n.Dy, NextFallMark);
                --NextFallMark;
            }
        }

    // A group that stands on the floor or on a cell that stays does not fall.
    const int32_t groups = -NextFallMark - 1;
    for (int32_t j = 1; j <= groups; ++j) {
        bool supported = false;
        for (int x = 0; x < kColumns && !supported; ++x)
            for (int y = kRows - 1; y >= 0 && !supported; --y) {
                const TCell* cell = pf.GetCell(x, y);
                if (!cell || cell->Mark != -j) continue;
                const TCell* below = pf.GetCell(x, y + 1);
                supported = pf.IsOutside(x, y + 1) || (below && below->Mark == 0);
            }
        if (supported) pf.ClearMark(-j);
    }
}

void TPlayfieldLogicAlgoritm::FillBelowAreas() {
    TPlayfield& pf = *Playfield;
    // The fill map covers the whole path of every falling group: its own
    // cells and every place below them down to the next cell that stays. The
    // cells zapped in this pass empty out while the pass waits for its
    // animations, so they belong to the path too; a teleported cell arriving
    // in any of these places would end up in the way of the fall.
    for (int x = 0; x < kColumns; ++x) {
        bool below = false;
        for (int y = 0; y < kRows; ++y) {
            const TCell* cell = pf.GetCell(x, y);
            if (cell && cell->Mark < 0)
                below = true;
            else if (cell && cell->Mark == 0)
                below = false;
            if (below) pf.SetFillMap(x, y, 1);
        }
    }
}

void TPlayfieldLogicAlgoritm::ZapMarked() {
    TPlayfield& pf = *Playfield;
    TLogicGameForm* form = GameForm();
    ZapCount = 0;
    if (form) form->SetPendingZaps(0);
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            const TCell* cell = pf.GetCell(x, y);
            if (!cell || cell->Mark <= 0) continue;
            if (form && !cell->IsBobble() && IsTeleportCandidate(cell))
                if (TCellTeleporter* teleporter = form->Teleporter())
                    teleporter->TeleportCell(&pf, x, y);
            if (form) form->StartZap(x, y);
            pf.SetCell(x, y, nullptr);
            if (form) {
                form->SetPendingZaps(form->PendingZaps() + 1);
                PauseBetweenZaps();
            }
            ++ZapCount;
        }
    WaitForZaps();
    // A cell replaced by a teleport before its zap leaves the count short.
    if (ZapCount > 0) ZapCount = std::max(0, ZapCount - 2);
}

void TPlayfieldLogicAlgoritm::FallAreas() {
    TPlayfield& pf = *Playfield;
    const int32_t groups = -NextFallMark - 1;
    for (int32_t j = 1; j <= groups; ++j) {
        const int32_t mark = -j;
        int left = kColumns, right = -1, top = kRows, bottom = -1;
        for (int x = 0; x < kColumns; ++x)
            for (int y = kRows - 1; y >= 0; --y)
                if (const TCell* cell = pf.GetCell(x, y); cell && cell->Mark == mark) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right >= 0) {
            const int distance = GetFallHeight(mark);
            if (TLogicGameForm* form = GameForm())
                form->AnimateAreaFall(left, top, right - left + 1, bottom - top + 1, mark,
                                      distance);
            else
                pf.MoveArea(mark, distance);
        }
        pf.ClearMark(mark);
    }
}

int TPlayfieldLogicAlgoritm::GetFallHeight(int32_t mark) const {
    const TPlayfield& pf = *Playfield;
    int best = -1;
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            const TCell* cell = pf.GetCell(x, y);
            if (!cell || cell->Mark != mark || pf.GetCell(x, y + 1)) continue;
            int free = 0;
            int stop = y + 1;
            while (!pf.IsOutside(x, stop) && !pf.GetCell(x, stop)) {
                ++free;
                ++stop;
            }
            // A gap inside the group itself does not limit the fall.
            const TCell* stopper = pf.GetCell(x, stop);
            if (!stopper || stopper->Mark != mark) best = best < 0 ? free : std::min(best, free);
        }
    const int result = std::max(best, 0);
    ProjectErrorReporter().Check(result > 0, QStringLiteral("Illegal state"),
                                 QStringLiteral("GetFallHeight"));
    return result;
}

void TPlayfieldLogicAlgoritm::WaitForZaps() {
    TLogicGameForm* form = GameForm();
    if (!form) return;
    while (form->PendingZaps() > 0 && !Application::Terminated())
        Application::HandleMessage();
}

void TPlayfieldLogicAlgoritm::ClearFillMap() {
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y)
            Playfield->SetFillMap(x, y, 0);
}

void TPlayfieldLogicAlgoritm::RaiseBobbles() {
    TPlayfield& pf = *Playfield;
    // Top to bottom, so a column of stacked bobbles with nothing above floats away whole.
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            const TCell* cell = pf.GetCell(x, y);
            if (!cell || !cell->IsBobble()) continue;
            const TCell* above = pf.GetCell(x, y - 1);
            if (above && !above->IsBobble()) continue;
            if (TLogicGameForm* form = GameForm())
                form->StartGlass(x, y);
            else
                pf.SetCell(x, y, nullptr);
        }
}

TLogicGameForm* TPlayfieldLogicAlgoritm::GameForm() const {
    return Playfield->GameForm();
}

bool TPlayfieldLogicAlgoritm::ZapLineOn() const {
    const TLogicGameForm* form = GameForm();
    return !form || form->ZapLine();
}

bool TPlayfieldLogicAlgoritm::RaiseBobblesOn() const {
    const TLogicGameForm* form = GameForm();
    return form && form->RaiseBobbles();
}

bool TPlayfieldLogicAlgoritm::IsTeleportCandidate(const TCell* cell) const {
    return std::find(TeleportCells.begin(), TeleportCells.end(), cell) != TeleportCells.end();
}

void TPlayfieldLogicAlgoritm::PauseBetweenZaps() {
    const uint32_t start = Clock::Current().TickCount();
    Application::ProcessMessages();
    while (Clock::Current().TickCount() - start < kZapPauseMs)
        Clock::Current().Sleep(kZapSleepMs);
}

void TPlayfieldLogicAlgoritm::Abandon() {
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y) {
            if (TCell* cell = Playfield->GetCell(x, y)) cell->Mark = 0;
            Playfield->SetFillMap(x, y, 0);
        }
}
