#include "ui/SessionEnd.h"

#include "flow/GameF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "gfx/WaitHint.h"
#include "gfx/brenmarUtils.h"
#include "model/KolvexPlayer.h"
#include "platform/Application.h"
#include "ui/ShowF.h"

#include <algorithm>
#include <vector>

namespace {
int People(TSessionCoordinator* session) {
    int people = 0;
    for (int i = 0; i < session->Count(); ++i)
        if (!session->GetGame(i)->IsComputer()) ++people;
    return people;
}
} // namespace

void AskForNames(TSessionCoordinator* session, TShowForm& show, bool replayed) {
    if (!session || replayed) return;
    std::vector<TGameForm*> games;
    for (int i = 0; i < session->Count(); ++i) {
        TGameForm* game = session->GetGame(i);
        if (!game->TheGame().StopRequested() && !game->IsComputer()) games.push_back(game);
    }
    std::stable_sort(games.begin(), games.end(),
                     [](TGameForm* a, TGameForm* b) { return a->Score() < b->Score(); });
    bool entered = false;
    for (TGameForm* game : games) {
        const int index = People(session) >= 2 ? game->GameIndex() : -1;
        if (show.EnterName(index, game->Score())) entered = true;
        if (Application::Terminated()) return;
    }
    if (!entered) return;
    show.ShowTopScores();
    // The table has gone, and so have the wells: the bare frame says what the game waits for.
    const TWaitHint::During hint(show.FrameWaitHint());
    WaitSeconds(10000);
}

void ShowWinner(TSessionCoordinator* session, TShowForm& show) {
    if (!session || session->Count() != 2) return;
    TGameForm* person = session->GetGame(0);
    TGameForm* computer = session->GetGame(1);
    if (person->IsComputer() == computer->IsComputer()) return;
    if (person->IsComputer()) std::swap(person, computer);
    // A stopped game's score could only have risen: the leader's stop decides
    // nothing, the stop of the one behind leaves the outcome open.
    const int32_t you = person->Score(), it = computer->Score();
    const bool open = (you <= it && person->TheGame().StopRequested()) ||
                      (it <= you && computer->TheGame().StopRequested());
    if (open) return;
    show.ShowMatchEnd(you, it);
}
