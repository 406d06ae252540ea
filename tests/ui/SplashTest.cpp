#include "UiTestSupport.h"
#include "gfx/Label.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "ui/SplashF_KX.h"

#include <gtest/gtest.h>

using namespace UiTest;

namespace {

class SplashTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        ClearBoth();
        Splash = std::make_unique<TKolvexSplashForm>();
    }
    void TearDown() override {
        Splash.reset();
        ClearBoth();
        Application::ResetTerminated();
    }
    void ShowAndWaitForWipe() {
        Splash->show();
        ASSERT_TRUE(RunUntil([this] { return Splash->ReleaseNumberLabel->Visible(); }));
    }

    std::unique_ptr<TKolvexSplashForm> Splash;
};

TEST_F(SplashTest, TheWipeRevealsThePictureAndThenTheReleaseNumber) {
    EXPECT_EQ(Splash->size(), QSize(256, 112));
    EXPECT_FALSE(Splash->ReleaseNumberLabel->Visible());
    EXPECT_EQ(Splash->ReleaseNumberLabel->Caption(), QStringLiteral("v1.1.1"));
    Splash->show();
    ASSERT_TRUE(RunUntil([] { return TWiper::AnyWipeRunning(); }, 200));
    EXPECT_FALSE(Splash->ReleaseNumberLabel->Visible());
    ASSERT_TRUE(RunUntil([this] { return Splash->ReleaseNumberLabel->Visible(); }));
    EXPECT_EQ(Splash->SplashPanel->FramesPerSec(), 15);
    EXPECT_EQ(Splash->SplashPanel->Wiper().StepsDone(), 36);
}

TEST_F(SplashTest, ClosesAtTheSeventhSecond) {
    const uint64_t shown = Now();
    ShowAndWaitForWipe();
    Splash->WaitAndClose();
    EXPECT_FALSE(Splash->isVisible());
    EXPECT_FALSE(Splash->Dismissed());
    EXPECT_GE(Now() - shown, 7000u);
    EXPECT_LT(Now() - shown, 7100u);
    EXPECT_EQ(Splash->SplashPanel->FramesPerSec(), 0);
}

TEST_F(SplashTest, AClickDismissesItAtOnce) {
    ShowAndWaitForWipe();
    auto click = After(1000, [this] { Click(Splash->SplashPanel, QPoint(100, 50)); });
    const uint64_t start = Now();
    Splash->WaitAndClose();
    EXPECT_TRUE(click->Done());
    EXPECT_TRUE(Splash->Dismissed());
    EXPECT_LT(Now() - start, 1500u);
    EXPECT_FALSE(Splash->isVisible());
}

TEST_F(SplashTest, AClickDuringTheWipeDismissesToo) {
    Splash->show();
    ASSERT_TRUE(RunUntil([] { return TWiper::AnyWipeRunning(); }, 200));
    Click(Splash->SplashPanel, QPoint(10, 10));
    EXPECT_TRUE(Splash->Dismissed());
}

TEST_F(SplashTest, AKeyDuringTheWipeOnlyCompletesIt) {
    Splash->show();
    ASSERT_TRUE(RunUntil([] { return TWiper::AnyWipeRunning(); }, 200));
    PressKey(Splash.get(), Qt::Key_Space);
    EXPECT_FALSE(Splash->Dismissed());
    ASSERT_TRUE(RunUntil([this] { return Splash->ReleaseNumberLabel->Visible(); }, 50));
    EXPECT_LT(Splash->SplashPanel->Wiper().StepsDone(), 36);
    PressKey(Splash.get(), Qt::Key_A);
    EXPECT_TRUE(Splash->Dismissed());
    const uint64_t start = Now();
    Splash->WaitAndClose();
    EXPECT_LT(Now() - start, 100u);
}

TEST_F(SplashTest, EscapeAfterTheWipeEndsTheProgram) {
    ShowAndWaitForWipe();
    PressKey(Splash.get(), Qt::Key_Escape);
    EXPECT_TRUE(Application::Terminated());
    EXPECT_FALSE(Splash->Dismissed());
    Splash->WaitAndClose();
    EXPECT_FALSE(Splash->isVisible());
}

TEST_F(SplashTest, ASlowStartClosesAsSoonAsTheWaitBegins) {
    ShowAndWaitForWipe();
    TestEnvironment::Clock().Sleep(8000);
    const uint64_t start = Now();
    Splash->WaitAndClose();
    EXPECT_EQ(Now(), start);
    EXPECT_FALSE(Splash->isVisible());
}

} // namespace
