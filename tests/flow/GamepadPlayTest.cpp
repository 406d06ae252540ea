#include "FlowTestSupport.h"
#include "flow/ActionCollector_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "platform/Gamepads.h"

#ifdef KOLVEX_HAVE_SDL2
#include <SDL.h>

using namespace FlowTest;

namespace {
class GamepadPlay : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        Gamepads::SetEnabled(true);
        if (!Gamepads::Available()) GTEST_SKIP() << "no SDL joystick support here";
    }
    void TearDown() override {
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
            if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
        Gamepads::Poll();
        Gamepads::SetEnabled(false);
        GameTest::TearDown();
    }
    static void Press(SDL_GameControllerButton button, bool down) {
        const int id = Gamepads::Connected().front().Id;
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(id), button, down ? 1 : 0);
    }
};

TEST_F(GamepadPlay, APadPluggedInDuringAGamePlaysForItsPlayerAndPauses) {
    TGameForm* game = Start(2);
    ASSERT_GE(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0),
              0);
    // The session finds it at its next poll, on the game's own clock.
    ASSERT_TRUE(RunUntil([] { return !Gamepads::Connected().empty(); }));
    const int left = game->BrickLeft();
    const int otherLeft = Game(1)->BrickLeft();
    Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_TRUE(RunUntil([&] { return game->BrickLeft() >= left + 16; }));
    Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(Game(1)->BrickLeft(), otherLeft) << "player two's brick stays put";

    // Start pauses, and lets the game go on again while it is paused.
    Press(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(RunUntil([&] { return game->IsPaused(); }));
    Press(SDL_CONTROLLER_BUTTON_START, false);
    RunUntil([] { return false; }, 50);
    Press(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(RunUntil([&] { return !game->IsPaused(); }));
    Press(SDL_CONTROLLER_BUTTON_START, false);

    // Pulled out with a button held: the button is let go with it.
    Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    ASSERT_TRUE(RunUntil([] { return KeyState::IsDown(KeyState::PadKey(0, 0)); }));
    SDL_JoystickDetachVirtual(0);
    EXPECT_TRUE(RunUntil([] { return Gamepads::Connected().empty(); }));
    EXPECT_FALSE(KeyState::IsDown(KeyState::PadKey(0, 0)));
    EXPECT_TRUE(game->TheGame().Running());
}
} // namespace
#endif
