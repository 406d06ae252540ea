#pragma once

#include <cstdint>

// What recording and replay need from the main window (TMainForm), which
// implements this interface over the radio items of its Options menu.
// A recording snapshots the checked items when it starts; a replay checks
// the items of the recorded game so that its session starts with them.
class TGameMenuInterface {
public:
    virtual ~TGameMenuInterface() = default;

    // 1 to 3 from the checked "Number of players" item, -1 when none is checked.
    virtual int SelectedPlayers() = 0;
    // 0 Speed, 1 Time, 2 Clean from the checked game-type item; when none is
    // checked the main window reports its program error ("7326").
    virtual uint8_t SelectedGameType() = 0;
    // 0 to 4 from the checked "Starting level" item, -1 when none is checked.
    virtual int SelectedLevel() = 0;
    // Check the matching radio item; values without an item are ignored.
    virtual void CheckPlayersItem(int players) = 0;
    virtual void CheckLevelItem(int level) = 0;
    // Whether "Disable level increase" is checked; a game keeps it from its start.
    virtual bool IsLevelIncreaseDisabled() { return false; }
    // The wells the computer plays (bit k: well k), none unless "1 against
    // the computer" is checked, and its strength: 1 Easy, 2 Normal, 3 Hard.
    virtual uint8_t SelectedComputerWells() { return 0; }
    virtual uint8_t SelectedComputerStrength() { return 2; }
    // Checks "1 against the computer" (a replay of such a game does).
    virtual void CheckAgainstComputerItem() {}
};
