#pragma once

#include "persistence/GameMenuInterface.h"

#include <cstdint>

class TDemoForm;
class TGameForm;
class TGameParamsForm;
class TGfxForm;
class TGfxPanel;
class TMouseControl;
class TSprite;

// What the games of a session need of the main window, which implements this
// interface (the tests and the headless companion implement it too): the
// frame panel the playfields sit on with its markers, the checked menu items,
// and the program-wide forms a game works with.
class TGameHostInterface : public TGameMenuInterface {
public:
    // The panel that carries the game panels, side by side from left 16, top 80.
    virtual TGfxPanel* FramePanel() = 0;
    // The Time game's markers beside the well (8 x 8 sprites on the frame panel).
    virtual TSprite* RowsSprite() = 0;
    virtual TSprite* TimeSprite() = 0;
    // Moves the level mark onto a level (0 for "1"; 5 and above show "+").
    virtual void ShowLevel(int level) = 0;

    virtual bool IsMouseControlEnabled() = 0;
    // "Disable level increase" is checked.
    bool IsLevelIncreaseDisabled() override = 0;

    // The frame panel has changed its width: widen the client area when it
    // has become too narrow and lay the window out again.
    virtual void FrameResized() = 0;
    // Games take the frame: the title menu goes.
    virtual void HideMenuPanel() = 0;
    // The last game of the session has finished. Called from inside that
    // game's controller step: the session must not be freed before it returns.
    virtual void GameEnded() = 0;
    // The round message of a completed Time (1) or Clean (2) round, laid over
    // the game's playfield; returns when it has been shown.
    virtual void ShowRoundMessage(TGameForm* game, uint8_t gameType) = 0;
    // A pause the user ends with a click, Enter or Space (WaitSeconds); the
    // headless companion skips it as if Enter had been pressed.
    virtual void WaitForUser(int seconds) = 0;

    // The program-wide forms; the graphics holder is always there, the others
    // may be missing (no recording, no mouse control, default game parameters).
    virtual TGfxForm* GfxForm() = 0;
    virtual TDemoForm* DemoForm() = 0;
    virtual TMouseControl* MouseControl() = 0;
    virtual TGameParamsForm* GameParams() = 0;
};
