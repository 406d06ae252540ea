#include "flow/ComputerHand_KX.h"

#include "flow/ActionCollector_KX.h"
#include "flow/GameF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "model/BrickSupplier_KX.h"
#include "model/Bricks.h"
#include "model/Playfield_KX.h"

#include <algorithm>

namespace {
// Brick kind k has colour k + 1, so the brick's coloured cells tell its kind.
int KindOf(const TBrick& brick) {
    for (int i = 0; i < brick.Width(); ++i)
        for (int j = 0; j < brick.Height(); ++j)
            if (const TCell* c = brick.CellAt(i, j, 0); c && !c->IsBobble())
                return std::clamp<int>(c->Colour - 1, 0, TBricks::Count - 1);
    return 0;
}
} // namespace

TComputerView ComputerViewOf(const TGameForm& game) {
    TComputerView view;
    view.Own = TAiWell::Of(*game.Playfield());
    TSessionCoordinator* session = game.Coordinator();
    for (int i = 0; i < session->Count(); ++i)
        if (session->GetGame(i) != &game) {
            view.Other = TAiWell::Of(*session->GetGame(i)->Playfield());
            break;
        }
    const TBrick* brick = game.CurrentBrick();
    view.BrickInPlay = brick && const_cast<TGameForm&>(game).TheGame().Running();
    if (brick) {
        view.Kind = KindOf(*brick);
        view.Orientation = brick->Orientation();
        view.Left = game.BrickLeft();
        view.Top = game.BrickTop();
        view.Moving = game.MoveColumns() != 0;
    }
    // The next brick as the next-brick view shows it; the queue is only
    // read, so no brick is drawn early from the generator.
    if (const TBrickSupplier* supplier = session->Supplier(); supplier && !supplier->Queue().empty())
        view.NextKind = supplier->Queue().front();
    return view;
}

TComputerHand::TComputerHand(TGameForm& game, TComputerStrength strength, uint32_t seed)
    : FGame(game), FPlayer(strength, seed) {}

bool TComputerHand::HasWon() const {
    TSessionCoordinator* session = FGame.Coordinator();
    if (session->Count() < 2) return false;
    for (int i = 0; i < session->Count(); ++i) {
        TGameForm* other = session->GetGame(i);
        if (other == &FGame) continue;
        if (other->TheGame().Running() || other->Score() >= FGame.Score()) return false;
    }
    return true;
}

void TComputerHand::Frame() {
    if (FStopWhenWon && HasWon()) {
        // As Escape stops a game: the stop is recorded when the game has finished.
        FGame.TheGame().Stop();
        return;
    }
    TActionCollector* collector = FGame.Collector();
    // One action in flight at a time: the game takes one a frame.
    if (!collector || collector->HasActions() || !FGame.Actions().empty()) return;
    if (const std::optional<uint8_t> action = FPlayer.Act(ComputerViewOf(FGame))) {
        collector->PressAction(*action);
        FPresses += 1;
    }
}
