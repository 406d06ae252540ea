#include "ui/SessionEnd.h"

#include "flow/GameF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "gfx/brenmarUtils.h"
#include "model/KolvexPlayer.h"
#include "platform/Application.h"
#include "ui/ShowF.h"

#include <algorithm>
#include <vector>

void AskForNames(TSessionCoordinator* session, TShowForm& show, bool replayed) {
    if (!session || replayed) return;
    std::vector<TGameForm*> games;
    for (int i = 0; i < session->Count(); ++i) {
        TGameForm* game = session->GetGame(i);
        if (!game->TheGame().StopRequested()) games.push_back(game);
    }
    std::stable_sort(games.begin(), games.end(),
                     [](TGameForm* a, TGameForm* b) { return a->Score() < b->Score(); });
    bool entered = false;
    for (TGameForm* game : games) {
        const int index = session->Count() >= 2 ? game->GameIndex() : -1;
        if (show.EnterName(index, game->Score())) entered = true;
        if (Application::Terminated()) return;
    }
    if (!entered) return;
    show.ShowTopScores();
    WaitSeconds(10000);
}
