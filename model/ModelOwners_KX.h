#pragma once

#include <cstdint>

// What the model needs of the windows and the session that own it. The game
// window, the session coordinator and the main window implement these; the
// model holds plain references to them, so each owner must outlive what it
// owns (the game window owns its playfield and player, the coordinator its
// supplier).

class TPlayfield;

// The session's side of a teleport: hands a zapped cell over to another
// player's playfield.
class TCellTeleporter {
public:
    virtual ~TCellTeleporter() = default;
    // Called by a logic pass for each cell it has chosen to teleport (a
    // non-bobble cell of a bobble-connected area in rows 10 to 19), while
    // the cell still stands at (x, y) of the sender, just before its zap
    // starts. The receiver may refuse it; either way the sender loses it.
    virtual void TeleportCell(TPlayfield* sender, int x, int y) = 0;
};

// What a logic pass needs of the game window that owns its playfield.
class TLogicGameForm {
public:
    virtual ~TLogicGameForm() = default;

    // Starts the zap animation of the cell at (x, y). The pass removes the
    // cell right after this call and counts PendingZaps up; the finished
    // animation counts it down again (the pass waits for 0).
    virtual void StartZap(int x, int y) = 0;
    // Lets the bobble at (x, y) float away; it must leave the playfield at once.
    virtual void StartGlass(int x, int y) = 0;
    // Shows the fall of the area with this (negative) mark, whose bounding
    // rectangle is given in cells, and returns only when the area has been
    // moved down by distance rows with TPlayfield::MoveArea.
    virtual void AnimateAreaFall(int left, int top, int width, int height, int32_t mark,
                                 int distance) = 0;

    // Zap animations still running.
    virtual int32_t PendingZaps() const = 0;
    virtual void SetPendingZaps(int32_t value) = 0;

    // The two switches of the game-parameters window, read at every pass:
    // zapping of full lines, and floating away of free bobbles.
    virtual bool ZapLine() const = 0;
    virtual bool RaiseBobbles() const = 0;

    // The session's teleport routing; none when cells are not teleported.
    virtual TCellTeleporter* Teleporter() const = 0;
};

// What a player needs of its game window.
class TPlayerGameForm {
public:
    virtual ~TPlayerGameForm() = default;
    // Shows a new score total.
    virtual void ShowScore(int32_t score) = 0;
};

// What the brick supplier needs of the session.
class TSupplierCoordinator {
public:
    virtual ~TSupplierCoordinator() = default;
    // The score of the first game's player; it steers the brick weights.
    virtual int32_t FirstPlayerScore() const = 0;
    // Repaints the next-brick view, when there is one, after a hand-out.
    virtual void RefreshNextBrickView() = 0;
};
