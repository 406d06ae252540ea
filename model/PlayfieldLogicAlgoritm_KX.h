#pragma once

#include <cstdint>
#include <vector>

class TCell;
class TPlayfield;
class TLogicGameForm;

// One pass of the rules that resolve a landing: areas of one colour that two
// bobbles connect are zapped (their cells in the lower half teleported to
// another player), full lines are zapped, and the areas that lost their
// support fall as rigid pieces. A fresh object is made for each pass.
//
// The pass calls back into the playfield's game window (animations, the
// two switches, the session's teleport). A playfield without a game window
// resolves at once: zaps and falls are not shown, nothing is teleported,
// full lines are zapped and bobbles stay.
class TPlayfieldLogicAlgoritm {
public:
    virtual ~TPlayfieldLogicAlgoritm() = default;

    TPlayfield* Playfield = nullptr;
    // The next mark for a separated area: -1, -2, ...
    int32_t NextFallMark = -1;
    // The cells that may be teleported in this pass (not owned; compared, never read).
    std::vector<const TCell*> TeleportCells;
    int32_t LinesFound = 0;
    // Cells zapped in this pass, less the two bobbles that every zapped area has.
    int32_t ZapCount = 0;

    void Execute();

    virtual void MarkZaps();
    virtual void RaiseBobbles();
    virtual void FallAreas();
    virtual void ZapMarked();
    virtual void FindFallingAreas();
    virtual void FillBelowAreas();
    virtual void ClearFillMap();

    // Rows the area with this mark can fall: the smallest free distance
    // under any of its cells.
    int GetFallHeight(int32_t mark) const;
    void WaitForZaps();

private:
    TLogicGameForm* GameForm() const;
    bool ZapLineOn() const;
    bool RaiseBobblesOn() const;
    bool IsTeleportCandidate(const TCell* cell) const;
    void PauseBetweenZaps();
    // After a failed step: no mark and no fill map may outlive the pass.
    void Abandon();
};
