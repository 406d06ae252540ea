#include "FlowTestSupport.h"
#include "flow/ActionCollector_KX.h"
#include "flow/KeyboardHandler.h"
#include "flow/MouseControl_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "model/Brick_KX.h"
#include "platform/Cursors.h"
#include "platform/Exception.h"

using namespace FlowTest;

class Collector : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        KeyState::ReleaseAll();
        DisableSounds();
        Keys.SetKey(0, VK_LEFT);
        Keys.SetRepeat(0, true);
        Keys.SetKey(1, VK_RIGHT);
        Keys.SetRepeat(1, true);
        Keys.SetKey(2, VK_UP);
        Keys.SetKey(3, VK_DOWN);
    }
    void TearDown() override { KeyState::ReleaseAll(); }
    std::vector<uint8_t> Drain() {
        std::vector<uint8_t> codes;
        while (Keys.HasActions())
            codes.push_back(Keys.PopAction());
        return codes;
    }
    TActionCollector Keys{nullptr};
};

TEST_F(Collector, AHeldSidewaysKeyRepeatsOnlyOnColumnBoundaries) {
    KeyState::SetDown(VK_LEFT, true);
    Keys.PollKeys(false);
    EXPECT_EQ(Drain(), std::vector<uint8_t>{0});
    Keys.PollKeys(false);
    Keys.PollKeys(false);
    EXPECT_TRUE(Drain().empty());
    Keys.PollKeys(true);
    EXPECT_EQ(Drain(), std::vector<uint8_t>{0});
    KeyState::SetDown(VK_LEFT, false);
    Keys.PollKeys(true);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(Collector, ATapBetweenTwoSamplesQueuesOneActionOnce) {
    struct Case {
        const char* name;
        std::vector<bool> events; // down/up in order between two samples
        bool heldBefore;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"one tap", {true, false}, false, {1}},
        {"two taps", {true, false, true, false}, false, {1}},
        {"let go and pressed anew", {false, true}, true, {1}},
        {"tapped and still held", {true}, false, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyState::ReleaseAll();
        Keys.PollKeys(false);
        if (c.heldBefore) {
            KeyState::SetDown(VK_RIGHT, true);
            Keys.PollKeys(false);
            Drain();
        }
        for (const bool down : c.events)
            KeyState::SetDown(VK_RIGHT, down);
        Keys.PollKeys(false);
        EXPECT_EQ(Drain(), c.expected);
        Keys.PollKeys(false);
        EXPECT_TRUE(Drain().empty());
    }
    // A tap no sample could see, while paused, is dropped.
    KeyState::ReleaseAll();
    KeyState::SetDown(VK_UP, true);
    KeyState::SetDown(VK_UP, false);
    Keys.ForgetPresses();
    Keys.PollKeys(true);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(Collector, TwoPlayersTapsNeverCross) {
    TActionCollector second{nullptr};
    const int secondKeys[4] = {65, 68, 87, 83};
    for (int a = 0; a < 4; ++a)
        second.SetKey(a, static_cast<uint16_t>(secondKeys[a]));
    KeyState::SetDown(68, true);
    KeyState::SetDown(68, false);
    KeyState::SetDown(VK_UP, true);
    KeyState::SetDown(VK_UP, false);
    // The first player's sample must not eat the second's tap.
    Keys.PollKeys(false);
    EXPECT_EQ(Drain(), std::vector<uint8_t>{2});
    second.PollKeys(false);
    std::vector<uint8_t> codes;
    while (second.HasActions())
        codes.push_back(second.PopAction());
    EXPECT_EQ(codes, std::vector<uint8_t>{1});
}

TEST_F(Collector, TurnAndDropActOncePerPress) {
    KeyState::SetDown(VK_UP, true);
    KeyState::SetDown(VK_DOWN, true);
    for (int i = 0; i < 5; ++i)
        Keys.PollKeys(true);
    EXPECT_EQ(Drain(), (std::vector<uint8_t>{2, 3}));
    KeyState::SetDown(VK_UP, false);
    Keys.PollKeys(true);
    KeyState::SetDown(VK_UP, true);
    Keys.PollKeys(true);
    EXPECT_EQ(Drain(), std::vector<uint8_t>{2});
}

TEST_F(Collector, KeysPressedTogetherQueueInActionOrder) {
    KeyState::SetDown(VK_RIGHT, true);
    KeyState::SetDown(VK_LEFT, true);
    Keys.PollKeys(false);
    EXPECT_EQ(Drain(), (std::vector<uint8_t>{0, 1}));
}

TEST_F(Collector, TheStopActionHasNoKeyAndOtherKeysAreNotItsOwn) {
    KeyState::SetDown(65, true);
    KeyState::SetDown(87, true);
    Keys.PollKeys(true);
    EXPECT_FALSE(Keys.HasActions());
    EXPECT_EQ(Keys.GetKey(4), 0);
    EXPECT_THROW(Keys.SetKey(6, 1), ERangeError);
    TKeyboardHandler keyboard;
    EXPECT_TRUE(keyboard.IsKeyDown(65));
    EXPECT_FALSE(keyboard.IsKeyDown(66));
    EXPECT_FALSE(keyboard.IsKeyDown(-5));
    EXPECT_FALSE(keyboard.IsKeyDown(100000));
}

TEST_F(Collector, PoppingAnEmptyQueueIsReportedAndGivesNoAction) {
    TestEnvironment::Dialogs().QueueAnswer(dbYes);
    EXPECT_THROW(Keys.PopAction(), EAbort);
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(
        QStringLiteral("TActionCollector.PopAction")));
}

TEST_F(Collector, KeysHeldThroughTheKeyStateDriveARealGame) {
    auto session = std::make_unique<THeadlessSession>();
    session->Host().NewSession();
    TGameForm* game = session->Host().Session()->GetGame(0);
    game->GamePanel()->SetFramesPerSec(0);
    game->PutBrick(3, 64, 0);
    KeyState::SetDown(ScanCode::Right, true);
    // A held right arrow moves on column after column until the wall.
    for (int i = 0; i < 40; ++i) {
        game->GamePanel()->ComposeFrame();
        QCoreApplication::sendPostedEvents(game, TGameForm::StepRequestEvent());
    }
    EXPECT_EQ(game->BrickLeft(), 112);
    KeyState::SetDown(ScanCode::Right, false);
    KeyState::SetDown(ScanCode::Up, true);
    for (int i = 0; i < 5; ++i) {
        game->GamePanel()->ComposeFrame();
        QCoreApplication::sendPostedEvents(game, TGameForm::StepRequestEvent());
    }
    EXPECT_EQ(game->CurrentBrick()->Orientation(), 1);
}

namespace {
// A host whose "Mouse control possible" can be checked.
class MouseHost : public THeadlessHost {
public:
    TMouseControl* MouseControl() override { return &Control; }
    bool IsMouseControlEnabled() override { return Enabled; }
    TMouseControl Control;
    bool Enabled = true;
};
} // namespace

class Mouse : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        MouseHost = std::make_unique<::MouseHost>();
        MouseHost->NewSession();
        TheGame = MouseHost->Session()->GetGame(0);
        Hold(TheGame);
        ClearSkip();
        ArmSkip();
    }
    void TearDown() override {
        MouseHost.reset();
        GameTest::TearDown();
    }
    std::unique_ptr<::MouseHost> MouseHost;
    TGameForm* TheGame = nullptr;
};

TEST_F(Mouse, MovingThePointerTakesControlAndTheBrickFollowsIt) {
    TheGame->PutBrick(3, 64, 32);
    TheGame->GamePanelMouseMove(nullptr, {}, 100, 250);
    EXPECT_EQ(MouseHost->Control.Form(), TheGame);
    EXPECT_EQ(TheGame->GamePanel()->cursor().shape(), Cursors::Get(crFlip).shape());
    // The brick's first column (box column 0 holds a cell in row 2) is
    // pulled until the pointer lies within its 16 pixels.
    Frame(TheGame, 40);
    EXPECT_EQ(TheGame->BrickLeft(), 96);
    TheGame->GamePanelMouseMove(nullptr, {}, 20, 250);
    Frame(TheGame, 40);
    EXPECT_EQ(TheGame->BrickLeft(), 16);
}

TEST_F(Mouse, ThePointerOnTheBricksOwnCellsHoldsItAndClicksTurnOrDrop) {
    TheGame->PutBrick(3, 64, 32);
    // Box cell (1, 1) of kind 3 is a cell: the pointer there, and the brick stays.
    TheGame->GamePanelMouseMove(nullptr, {}, 64 + 24, 32 + 24);
    Frame(TheGame);
    TheGame->GamePanelMouseMove(nullptr, {}, 64 + 24, TheGame->BrickTop() + 24);
    Frame(TheGame);
    EXPECT_EQ(TheGame->MoveColumns(), 0);
    EXPECT_EQ(TheGame->BrickSprite()->Cursor(), crHammer);
    TheGame->SpriteBrickMouseDown(TheGame->BrickSprite(), Qt::LeftButton, {}, 24, 24);
    EXPECT_EQ(TheGame->Actions(), std::vector<uint8_t>{3});
    TheGame->ClearActions();
    TheGame->SpriteBrickMouseDown(TheGame->BrickSprite(), Qt::LeftButton, {}, 4, 4);
    EXPECT_EQ(TheGame->Actions(), std::vector<uint8_t>{2});
    TheGame->ClearActions();
    TheGame->GamePanelMouseDown(nullptr, Qt::LeftButton, {}, 150, 300);
    EXPECT_EQ(TheGame->Actions(), std::vector<uint8_t>{2});
    EXPECT_FALSE(SkipRequested());
}

TEST_F(Mouse, WithoutMouseControlAClickOnlyEndsAWait) {
    MouseHost->Enabled = false;
    TheGame->GamePanelMouseDown(nullptr, Qt::LeftButton, {}, 10, 10);
    EXPECT_TRUE(SkipRequested());
    EXPECT_TRUE(TheGame->Actions().empty());
    EXPECT_EQ(MouseHost->Control.Form(), nullptr);
    ClearSkip();
    TheGame->SpriteBrickMouseDown(TheGame->BrickSprite(), Qt::LeftButton, {}, 24, 24);
    EXPECT_TRUE(SkipRequested());
    TheGame->GamePanelMouseMove(nullptr, {}, 140, 200);
    EXPECT_EQ(MouseHost->Control.Form(), nullptr);
}

TEST_F(Mouse, ANewBrickReleasesTheMouseAndOnlyAFreshMoveTakesItAgain) {
    TheGame->PutBrick(3, 0, 16 * 17);
    TheGame->GamePanelMouseMove(nullptr, {}, 8, 300);
    ASSERT_EQ(MouseHost->Control.Form(), TheGame);
    Frame(TheGame, 12);
    ASSERT_LE(TheGame->BrickTop(), 0) << "the brick has landed";
    EXPECT_EQ(MouseHost->Control.Form(), nullptr);
    TheGame->GamePanelMouseMove(nullptr, {}, 9, 300);
    EXPECT_EQ(MouseHost->Control.Form(), nullptr);
    TheGame->GamePanelMouseMove(nullptr, {}, 12, 300);
    EXPECT_EQ(MouseHost->Control.Form(), TheGame);
}
