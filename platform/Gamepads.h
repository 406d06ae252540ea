#pragma once

#include <QString>
#include <functional>
#include <vector>

// The gamepads, through SDL's game-controller interface. Each connected pad
// plays for player one, player two or nobody; what it does shows in the key
// state as that player's pad keys (KeyState::PadKey), so the game reads a pad
// exactly as it reads keys. The d-pad and the left stick move, the south
// button turns, the east button drops; Start calls OnPause.
//
// Nothing happens until Poll is called: the program polls while a session
// runs. SDL is loaded at the first poll that finds a pad device plugged in
// (PadDevices); from then on pads plugged in or out are found at the next
// poll. Without SDL or joystick support there are simply no pads.
class Gamepads {
public:
    struct Pad {
        int Id;       // SDL's instance id, for as long as the pad stays plugged in
        QString Name; // as SDL names it
        int Player;   // 0, 1, or -1 for nobody
    };

    // Whether the program polls pads at all (kolvex-sim and most tests do not).
    static void SetEnabled(bool enabled);
    static bool Enabled();
    // Starts SDL's game controllers at the first call; false when that failed.
    static bool Available();
    // Whether SDL reads the pads, so that they must be polled (also to find
    // pads plugged in later). False until a pad device was first seen.
    static bool Running();
    // Takes what the pads did since the last poll: plugging, buttons, sticks.
    static void Poll();
    static std::vector<Pad> Connected();
    // Gives a pad to a player (0, 1) or to nobody (-1); its held buttons are let go.
    static void SetPlayer(int padId, int player);
    // Start was pressed on a pad that plays.
    static std::function<void()> OnPause;
};
