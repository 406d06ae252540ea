#pragma once

class TSessionCoordinator;
class TShowForm;

// The end of a played session: the players whose games ran to their end are
// asked for their names, lowest score first (equal scores are all asked),
// and when anyone entered the list the top-score table is shown until the
// player goes on. A replay or the demo is somebody's old game and never
// enters the list.
void AskForNames(TSessionCoordinator* session, TShowForm& show, bool replayed);
