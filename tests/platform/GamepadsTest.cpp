#include "platform/Gamepads.h"

#include "platform/KeyState.h"

#include <gtest/gtest.h>

#ifdef KOLVEX_HAVE_SDL2
#include <SDL.h>

namespace {
constexpr int Left = 0, Right = 1, Turn = 2, Drop = 3;

// SDL's virtual pads, plugged in and out as a player would.
class GamepadsTest : public testing::Test {
protected:
    void SetUp() override {
        Gamepads::SetEnabled(true);
        if (!Gamepads::Available()) GTEST_SKIP() << "no SDL joystick support here";
        KeyState::ReleaseAll();
        Gamepads::OnPause = [this] { ++Pauses; };
    }
    void TearDown() override {
        while (!Plugged.empty())
            Unplug(Plugged.back());
        Gamepads::Poll();
        Gamepads::OnPause = nullptr;
        Gamepads::SetEnabled(false);
        KeyState::ReleaseAll();
    }
    // Plugs in a pad and returns its id once the program has seen it.
    int Plug() {
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        const int id = SDL_JoystickGetDeviceInstanceID(index);
        Gamepads::Poll();
        Plugged.push_back(id);
        return id;
    }
    void Unplug(int id) {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        std::erase(Plugged, id);
    }
    void Button(int id, SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(id), button, down ? 1 : 0);
        Gamepads::Poll();
    }
    void Stick(int id, int value) {
        SDL_JoystickSetVirtualAxis(SDL_JoystickFromInstanceID(id), SDL_CONTROLLER_AXIS_LEFTX,
                                   static_cast<Sint16>(value));
        Gamepads::Poll();
    }
    int PlayerOf(int id) const {
        for (const Gamepads::Pad& pad : Gamepads::Connected())
            if (pad.Id == id) return pad.Player;
        return -2;
    }
    static bool Down(int player, int action) {
        return KeyState::IsDown(KeyState::PadKey(player, action));
    }

    std::vector<int> Plugged;
    int Pauses = 0;
};

TEST_F(GamepadsTest, ButtonsAndTheStickBecomeThePlayersPadKeys) {
    const int pad = Plug();
    ASSERT_EQ(PlayerOf(pad), 0) << "the first pad plays for player one";
    struct Case {
        const char* name;
        SDL_GameControllerButton button;
        int action;
    };
    const Case cases[] = {
        {"d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, Left},
        {"d-pad right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Right},
        {"south turns", SDL_CONTROLLER_BUTTON_A, Turn},
        {"east drops", SDL_CONTROLLER_BUTTON_B, Drop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Button(pad, c.button, true);
        EXPECT_TRUE(Down(0, c.action));
        EXPECT_FALSE(Down(1, c.action));
        Button(pad, c.button, false);
        EXPECT_FALSE(Down(0, c.action));
        EXPECT_TRUE(KeyState::TakePress(KeyState::PadKey(0, c.action))) << "one press counted";
        EXPECT_FALSE(KeyState::TakePress(KeyState::PadKey(0, c.action)));
    }
    // The stick moves past its middle third, and lets go only near the centre.
    Stick(pad, -30000);
    EXPECT_TRUE(Down(0, Left));
    Stick(pad, -12000);
    EXPECT_TRUE(Down(0, Left));
    Stick(pad, 2000);
    EXPECT_FALSE(Down(0, Left));
    Stick(pad, 30000);
    EXPECT_TRUE(Down(0, Right));
    Stick(pad, 0);
    EXPECT_FALSE(Down(0, Right));
    // Start pauses; other buttons do nothing.
    Button(pad, SDL_CONTROLLER_BUTTON_START, true);
    Button(pad, SDL_CONTROLLER_BUTTON_START, false);
    Button(pad, SDL_CONTROLLER_BUTTON_Y, true);
    EXPECT_EQ(Pauses, 1);
}

TEST_F(GamepadsTest, PadsComeAndGoWhileTheProgramRuns) {
    const int first = Plug();
    const int second = Plug();
    EXPECT_EQ(PlayerOf(first), 0);
    EXPECT_EQ(PlayerOf(second), 1);
    Button(second, SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_TRUE(Down(1, Drop));
    EXPECT_FALSE(Down(0, Drop));
    // Pulled out while held: the button is let go, the pad is gone.
    Unplug(second);
    Gamepads::Poll();
    EXPECT_FALSE(Down(1, Drop));
    EXPECT_EQ(PlayerOf(second), -2);
    // A pad plugged in now takes the free player.
    const int third = Plug();
    EXPECT_EQ(PlayerOf(third), 1);
    // Given to nobody, a pad does nothing; given to player one, it plays beside the first.
    Gamepads::SetPlayer(third, -1);
    Button(third, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_FALSE(Down(1, Turn));
    Button(third, SDL_CONTROLLER_BUTTON_A, false);
    Gamepads::SetPlayer(third, 0);
    Button(third, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(Down(0, Turn));
    Button(first, SDL_CONTROLLER_BUTTON_A, true);
    Button(third, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_TRUE(Down(0, Turn)) << "still held on the other pad";
}

TEST_F(GamepadsTest, NothingIsReadWhileDisabled) {
    const int pad = Plug();
    Gamepads::SetEnabled(false);
    SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(pad), SDL_CONTROLLER_BUTTON_B, 1);
    Gamepads::Poll();
    EXPECT_FALSE(Down(0, Drop));
    Gamepads::SetEnabled(true);
    Gamepads::Poll();
    EXPECT_TRUE(Down(0, Drop));
}
} // namespace
#endif
