#pragma once

class TSessionCoordinator;
class TShowForm;

// The end of a played session: the people whose games ran to their end are
// asked for their names (the computer's score never enters the list), lowest score first (equal scores are all asked),
// and when anyone entered the list the top-score table is shown until the
// player goes on. A replay or the demo is somebody's old game and never
// enters the list.
void AskForNames(TSessionCoordinator* session, TShowForm& show, bool replayed);

// The end of a session against the computer, played or replayed: who won,
// the person or the computer, by the higher score once both games have ended.
// Nothing is shown when the games of the others were stopped before their end
// while behind (the outcome was open) or when no well was the computer's.
void ShowWinner(TSessionCoordinator* session, TShowForm& show);
