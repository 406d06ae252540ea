#include "MainWindowFixture.h"
#include "ui/WindowScale.h"

#include <QAction>
#include <QTest>

using namespace UiTest;

namespace {

TEST(WindowScaleChoiceTest, FirstStartFullScreenAndSteps) {
    const QSize frame(192, 416);
    struct FirstCase {
        QSize Available;
        int Scale;
    };
    // A 1080-pixel screen (less its panel) takes 2x; a 2160-pixel one 4x.
    for (const FirstCase& c : {FirstCase{QSize(1920, 1040), 2}, FirstCase{QSize(3840, 2120), 4},
                               FirstCase{QSize(3840, 2160), 4}, FirstCase{QSize(2560, 1440), 2},
                               FirstCase{QSize(2560, 1600), 3},
                               FirstCase{QSize(1280, 1024), 2}, FirstCase{QSize(800, 600), 1},
                               FirstCase{QSize(300, 1600), 1}, FirstCase{QSize(), 1}})
        EXPECT_EQ(WindowScale::FirstScale(frame, 22, c.Available), c.Scale) << c.Available.height();
    // The menu bar counts: 3 x 416 + 40 is more than 85% of 1500.
    EXPECT_EQ(WindowScale::FirstScale(frame, 40, QSize(2000, 1500)), 2);
    EXPECT_EQ(WindowScale::FirstScale(frame, 20, QSize(2000, 1500)), 3);

    EXPECT_EQ(WindowScale::FittingScale(frame, QSize(3840, 2160)), 5);
    EXPECT_EQ(WindowScale::FittingScale(QSize(384, 416), QSize(1920, 1080)), 2);
    EXPECT_EQ(WindowScale::FittingScale(frame, QSize(100, 100)), 1);
    EXPECT_EQ(WindowScale::FittingScale(QSize(), QSize(1920, 1080)), 1);

    EXPECT_EQ(WindowScale::Stepped(1, -1), 1);
    EXPECT_EQ(WindowScale::Stepped(2, +1), 3);
    EXPECT_EQ(WindowScale::Stepped(4, +1), 4);
    EXPECT_EQ(WindowScale::Stepped(0, -1), 1);
}

// The main window at 1x, whatever an earlier test chose.
class WindowScaleTest : public MainWindowTest {
protected:
    void SetUp() override {
        FSavedScale = Settings().WindowScale;
        Settings().WindowScale = 1;
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        Settings().WindowScale = FSavedScale;
    }
    TWindowSizer& Sizer() const { return *Main->WindowSizer(); }
    QImage Shot() const { return Main->FramePanel()->grab().toImage(); }

    // Pixels of `large` that are not the pixel of `small` they enlarge.
    static int NotTripled(const QImage& small, const QImage& large) {
        int wrong = 0;
        for (int y = 0; y < large.height(); ++y)
            for (int x = 0; x < large.width(); ++x)
                if (large.pixel(x, y) != small.pixel(x / 3, y / 3)) ++wrong;
        return wrong;
    }

    int FSavedScale = 0;
};

TEST_F(WindowScaleTest, AFramePaintedAtThreeTimesIsTheOneTimesFrameWithEveryPixelTripled) {
    const auto compare = [this](const char* what) {
        Sizer().SetScale(1);
        const QImage small = Shot();
        Sizer().SetScale(3);
        const QImage large = Shot();
        ASSERT_EQ(large.size(), small.size() * 3) << what;
        EXPECT_EQ(NotTripled(small, large), 0) << what;
        EXPECT_EQ(Main->ClientSize(), small.size() * 3) << what;
    };
    compare("title");
    Main->CheckPlayersItem(2);
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    compare("two players");
    // The game places and measures its panels as at 1x.
    EXPECT_EQ(Main->FramePanel()->geometry(), QRect(0, 0, 384, 416));
    EXPECT_EQ(Main->Session()->GetGame(1)->GamePanel()->pos(), QPoint(16, 80));
    // After the session the window is one player's frame again, at the scale.
    Main->HandleKey(VK_ESCAPE);
    ASSERT_TRUE(RunUntilMenuBack());
    EXPECT_EQ(Main->ClientSize(), QSize(576, 1248));
    Main->CheckPlayersItem(1);
}

TEST_F(WindowScaleTest, TheMouseFindsThePlateItIsOverAtThreeTimes) {
    Sizer().SetScale(3);
    TGfxPanel* menu = Main->MenuPanel();
    struct Case {
        QPoint Pixel;
        TTitleChoice Lit;
    };
    for (const Case& c : {Case{QPoint(60, 150), tcCredits}, Case{QPoint(60, 120), tcTopScores},
                          Case{QPoint(5, 300), tcStart}}) {
        MoveMouse(menu, c.Pixel * 3 + QPoint(2, 2));
        EXPECT_EQ(Main->TitleMenu->Highlighted(), c.Lit) << c.Pixel.y();
    }
}

TEST_F(WindowScaleTest, TheMenuAndTheKeysChooseTheScaleAndTheSettingsKeepIt) {
    QTest::keyClick(Main.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(Sizer().Scale(), 2);
    EXPECT_EQ(Main->ClientSize(), QSize(384, 832));
    EXPECT_TRUE(Sizer().SizeItems[1]->isChecked());
    EXPECT_EQ(Settings().WindowScale, 2);
    Sizer().SizeItems[3]->trigger();
    QTest::keyClick(Main.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(Main->ClientSize(), QSize(768, 1664));
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(Main.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Sizer().Scale(), 1);
    EXPECT_EQ(Main->ClientSize(), QSize(192, 416));
    // The next window starts at the remembered scale.
    Sizer().SetScale(3);
    const TMainForm next(Gfx.get());
    EXPECT_EQ(next.ClientSize(), QSize(576, 1248));
    EXPECT_TRUE(next.WindowSizer()->SizeItems[2]->isChecked());
}

} // namespace
