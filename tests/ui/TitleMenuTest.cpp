#include "UiTestSupport.h"
#include "foundation/Random.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "ui/TitleMenu_KX.h"

#include <gtest/gtest.h>

using namespace UiTest;

namespace {

class TitleMenuTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Frame = std::make_unique<FrameWindow>();
        SetRandSeed(12345);
        QImage picture(160, 314, QImage::Format_RGB32);
        picture.fill(QColor(30, 30, 90));
        Menu = std::make_unique<TTitleMenu>(Frame->Frame, picture);
        Menu->OnFirstShow = [this] { ++FirstShows; };
        Menu->OnActivate = [this](TTitleChoice c) { Activated.push_back(c); };
        Menu->MenuPanel->show();
        RunUntil([this] { return FirstShows > 0; });
    }
    void TearDown() override { Menu.reset(); }

    int VisibleImages() const {
        int n = 0;
        for (TTitleChoice c : {tcStart, tcTopScores, tcCredits})
            if (Menu->ImageOf(c)->Visible()) ++n;
        return n;
    }
    std::vector<TSprite*> Sparkles() const {
        std::vector<TSprite*> found;
        for (TGraphicControl* child : Menu->MenuPanel->Host()->Controls()) {
            auto* sprite = dynamic_cast<TSprite*>(child);
            if (sprite && sprite->Visible() && sprite != Menu->BlueTinselSprite &&
                sprite != Menu->RedTinselSprite && sprite != Menu->PurpleTinselSprite)
                found.push_back(sprite);
        }
        return found;
    }

    // Made after the clock is reset: its panel's timer belongs to that clock.
    std::unique_ptr<FrameWindow> Frame;
    std::unique_ptr<TTitleMenu> Menu;
    int FirstShows = 0;
    std::vector<TTitleChoice> Activated;
};

TEST_F(TitleMenuTest, FirstShowLightsTheStartChoiceAndTheHoverZones) {
    EXPECT_EQ(FirstShows, 1);
    EXPECT_EQ(Menu->MenuPanel->parentWidget(), Frame->Frame);
    EXPECT_EQ(Menu->MenuPanel->geometry(), QRect(16, 80, 160, 314));
    EXPECT_EQ(Menu->Highlighted(), tcStart);
    EXPECT_TRUE(Menu->StartImage->Visible());
    EXPECT_EQ(VisibleImages(), 1);
    for (TGraphicControl* zone : Menu->PaintBox)
        EXPECT_TRUE(zone->Visible());
    EXPECT_EQ(Menu->StartImage->Cursor(), 4);
    EXPECT_EQ(Menu->CreditsImage->Tag(), TTitleMenu::TitleTag);
}

TEST_F(TitleMenuTest, UpAndDownGoRoundTheThreeChoices) {
    Menu->MoveUp();
    EXPECT_EQ(Menu->Highlighted(), tcCredits);
    Menu->MoveUp();
    EXPECT_EQ(Menu->Highlighted(), tcTopScores);
    Menu->MoveUp();
    EXPECT_EQ(Menu->Highlighted(), tcStart);
    Menu->MoveDown();
    EXPECT_EQ(Menu->Highlighted(), tcTopScores);
    Menu->MoveDown();
    EXPECT_EQ(Menu->Highlighted(), tcCredits);
    EXPECT_TRUE(Menu->CreditsImage->Visible());
    EXPECT_EQ(VisibleImages(), 1);
    Menu->MoveDown();
    EXPECT_EQ(Menu->Highlighted(), tcStart);
    EXPECT_EQ(VisibleImages(), 1);
}

TEST_F(TitleMenuTest, TheMouseLightsTheChoiceItIsOverAndClicksTheLitOne) {
    MoveMouse(Menu->MenuPanel, QPoint(60, 150));
    EXPECT_EQ(Menu->Highlighted(), tcCredits);
    EXPECT_EQ(VisibleImages(), 1);
    MoveMouse(Menu->MenuPanel, QPoint(60, 120));
    EXPECT_EQ(Menu->Highlighted(), tcTopScores);
    MoveMouse(Menu->MenuPanel, QPoint(5, 300));
    EXPECT_EQ(Menu->Highlighted(), tcStart);
    MoveMouse(Menu->MenuPanel, QPoint(60, 115));
    Click(Menu->MenuPanel, QPoint(60, 115));
    EXPECT_EQ(Activated, std::vector<TTitleChoice>{tcTopScores});
}

TEST_F(TitleMenuTest, AHiddenMenuComesBackWithItsChoiceLit) {
    Menu->MoveDown();
    Menu->HideHighlights();
    EXPECT_EQ(VisibleImages(), 0);
    Menu->MenuPanel->hide();
    Menu->MenuPanel->show();
    ASSERT_TRUE(RunUntil([this] { return VisibleImages() == 1; }));
    EXPECT_TRUE(Menu->TopScoreImage->Visible());
    EXPECT_EQ(FirstShows, 1);
}

TEST_F(TitleMenuTest, SparklesStayOffTheChoicesAndEachOther) {
    for (int i = 0; i < 40; ++i)
        Menu->AddTinsel();
    const std::vector<TSprite*> sparkles = Sparkles();
    ASSERT_EQ(sparkles.size(), 40u);
    for (size_t i = 0; i < sparkles.size(); ++i) {
        const QRect r = sparkles[i]->BoundsRect();
        EXPECT_EQ(r.size(), QSize(5, 5));
        EXPECT_EQ(sparkles[i]->Tag(), TTitleMenu::TitleTag);
        EXPECT_TRUE(QRect(0, 0, 160, 314).contains(r));
        for (TTitleChoice c : {tcStart, tcTopScores, tcCredits})
            EXPECT_FALSE(r.intersects(Menu->ImageOf(c)->BoundsRect()));
        for (size_t j = i + 1; j < sparkles.size(); ++j)
            EXPECT_FALSE(r.intersects(sparkles[j]->BoundsRect()));
        EXPECT_EQ(sparkles[i]->Animation().AnimMode(), amPingPong);
        EXPECT_EQ(sparkles[i]->Animation().CurrentFrame(), 4);
        EXPECT_GE(sparkles[i]->Animation().Delay(), 2);
        EXPECT_LE(sparkles[i]->Animation().Delay(), 3);
    }
}

TEST_F(TitleMenuTest, ASparkleGoesWhenItsSwingIsOver) {
    Menu->AddTinsel();
    ASSERT_EQ(Sparkles().size(), 1u);
    // A swing of 5 frames out and back at up to 4 panel frames a step.
    const uint64_t start = Now();
    ASSERT_TRUE(RunUntil([this] { return Sparkles().empty(); }));
    EXPECT_LT(Now() - start, 1000u);
}

TEST_F(TitleMenuTest, TheTimerSparklesEvery75Milliseconds) {
    int added = 0;
    const uint64_t start = Now();
    Menu->TintleTimer().SetActive(true);
    size_t seen = 0;
    while (Now() - start < 750) {
        Application::ProcessMessages();
        const size_t now = Sparkles().size();
        if (now > seen) added += static_cast<int>(now - seen);
        seen = now;
    }
    Menu->TintleTimer().SetActive(false);
    EXPECT_GE(added, 8);
    EXPECT_LE(added, 11);
    Application::Terminate();
    Menu->AddTinsel();
    EXPECT_EQ(Sparkles().size(), seen);
    Application::ResetTerminated();
}

} // namespace
