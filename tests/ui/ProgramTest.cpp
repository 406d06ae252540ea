#include "UiTestSupport.h"
#include "flow/GameF.h"
#include "flow/GameParamsF_KX.h"
#include "flow/HeadlessSession_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "foundation/brenmarNotify.h"
#include "gfx/Label.h"
#include "model/Playfield_KX.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"
#include "platform/SettingsStore.h"
#include "ui/KolvexProgram.h"
#include "ui/MainF.h"
#include "ui/PlayfieldViewF_KX.h"
#include "ui/SplashF_KX.h"

#include <QSettings>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {

class KolvexProgramTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Settings() = TSettings{};
        SaveSettings();
    }
    void TearDown() override {
        Application::ResetTerminated();
        Settings() = TSettings{};
        SaveSettings();
    }
};

TEST_F(KolvexProgramTest, SettingsAreSavedAtTheEndAndReadAtTheNextStart) {
    {
        TKolvexProgram program;
        const uint64_t start = Now();
        ASSERT_TRUE(program.Start());
        // The splash stayed up for its seven seconds while the windows were made.
        EXPECT_GE(Now() - start, 7000u);
        EXPECT_EQ(program.Splash(), nullptr);
        ASSERT_NE(program.MainForm(), nullptr);
        EXPECT_TRUE(program.MainForm()->isVisible());
        EXPECT_NE(program.DataModule(), nullptr);
        EXPECT_NE(program.GameParams(), nullptr);
        EXPECT_FALSE(program.GameParams()->isVisible());
        EXPECT_EQ(Application::Title(), QStringLiteral("Kolvex"));
        Settings().ShowGridLines = true;
        Settings().Speed = 2;
        Settings().RotationDirectionClockwise = false;
        program.MainForm()->close();
        EXPECT_TRUE(Application::Terminated());
        EXPECT_EQ(program.Run(), 0);
        program.Finish();
    }
    QSettings stored(SettingsStore::FileName(), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/ShowGridLines")).toString(),
              QStringLiteral("1"));
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Speed")).toString(), QStringLiteral("2"));
    EXPECT_EQ(stored.value(QStringLiteral("Settings/RotationDirectionClockwise")).toString(),
              QStringLiteral("0"));

    Application::ResetTerminated();
    Settings() = TSettings{};
    {
        TKolvexProgram program;
        ASSERT_TRUE(program.Start());
        EXPECT_TRUE(Settings().ShowGridLines);
        EXPECT_EQ(Settings().Speed, 2);
        EXPECT_FALSE(Settings().RotationDirectionClockwise);
        program.MainForm()->close();
        program.Finish();
    }
}

TEST_F(KolvexProgramTest, EscapeOnTheSplashEndsTheProgramBeforeItsLoop) {
    TKolvexProgram program;
    WhenReady escape(
        [&] { return program.Splash() && program.Splash()->ReleaseNumberLabel->Visible(); },
        [&] { PressKey(program.Splash(), Qt::Key_Escape); });
    EXPECT_FALSE(program.Start());
    EXPECT_TRUE(escape.Done());
    EXPECT_EQ(program.Run(), 0);
    program.Finish();
}

TEST_F(KolvexProgramTest, AClickOnTheSplashShortensTheStart) {
    TKolvexProgram program;
    WhenReady click(
        [&] { return program.Splash() && program.Splash()->ReleaseNumberLabel->Visible(); },
        [&] { Click(program.Splash()->SplashPanel, QPoint(20, 20)); });
    const uint64_t start = Now();
    ASSERT_TRUE(program.Start());
    EXPECT_LT(Now() - start, 3000u);
    program.MainForm()->close();
    program.Finish();
}

class PlayfieldViewTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        SetPlayfieldChangedBroadcaster(&Broadcaster);
        Host = std::make_unique<THeadlessHost>();
        Host->NewSession();
        RunUntil(
            [this] { return !Game()->GamePanel()->ShowPending() && !TWiper::AnyWipeRunning(); });
        View = std::make_unique<TPlayfieldView>(&Broadcaster);
        View->SetGame(Game());
        View->show();
        Application::ProcessMessages();
    }
    void TearDown() override {
        View.reset();
        Host.reset();
        SetPlayfieldChangedBroadcaster(nullptr);
        KeyState::ReleaseAll();
    }
    TGameForm* Game() const { return Host->Session()->GetGame(0); }
    // Time a change of the playfield holds the program.
    uint64_t HeldBy(int x) {
        const uint64_t start = Now();
        Game()->Playfield()->AddCell(x, 19, TCell::cfBrick, 3);
        return Now() - start;
    }

    TNotifyBroadcaster Broadcaster;
    std::unique_ptr<THeadlessHost> Host;
    std::unique_ptr<TPlayfieldView> View;
};

TEST_F(PlayfieldViewTest, EveryChangeHoldsTheGameForTheDelay) {
    EXPECT_EQ(View->windowTitle(), QStringLiteral("PlayfieldView"));
    EXPECT_EQ(View->SpinEdit1->value(), 100);
    EXPECT_EQ(View->SpinEdit1->singleStep(), 50);
    EXPECT_EQ(View->SpinEdit1->maximum(), 1000);
    View->SpinEdit1->setValue(1000);
    EXPECT_GE(HeldBy(0), 1000u);
    View->SpinEdit1->setValue(0);
    EXPECT_LT(HeldBy(1), 200u);
}

TEST_F(PlayfieldViewTest, APausedGameKeepsTheMapWaitingUntilItGoesOn) {
    View->SpinEdit1->setValue(0);
    ASSERT_TRUE(Host->Session()->KeyDown(ScanCode::P));
    ASSERT_TRUE(Game()->IsPaused());
    auto goOn = After(2000, [this] { Host->Session()->KeyDown(ScanCode::P); });
    EXPECT_GE(HeldBy(2), 2000u);
    EXPECT_FALSE(Game()->IsPaused());
}

TEST_F(PlayfieldViewTest, TheMapDrawsEachCellAndForgetsAGameThatIsGone) {
    View->SpinEdit1->setValue(0);
    View->resize(100, 200);
    HeldBy(9);
    const QImage before = View->grab().toImage();
    // The cell at (9, 19) covers the bottom right tenth by twentieth, outlined in white.
    EXPECT_EQ(before.pixel(90, 190) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(before.pixel(50, 100) & 0xFFFFFF, 0xFFFFFFu);
    Host.reset();
    EXPECT_EQ(View->Game(), nullptr);
    EXPECT_EQ(View->Playfield(), nullptr);
    const QImage after = View->grab().toImage();
    EXPECT_NE(after.pixel(90, 190) & 0xFFFFFF, 0xFFFFFFu);
    Broadcaster.Notify();
}

} // namespace
