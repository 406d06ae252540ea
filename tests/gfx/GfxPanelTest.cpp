#include "GfxTestSupport.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "platform/Exception.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>
#include <vector>

using namespace GfxTest;

namespace {
class GfxPanelTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        ClearBoth();
    }
    void TearDown() override { ClearBoth(); }
    static uint64_t Now() { return TestEnvironment::Clock().Now(); }
};
} // namespace

TEST_F(GfxPanelTest, APanelThatIsNeverPaintedNeverTicks) {
    TGfxPanel panel;
    panel.resize(40, 30);
    panel.SetPicture(Gradient(40, 30));
    int frames = 0;
    panel.OnPerform = [&](QObject*) { ++frames; };
    for (int i = 0; i < 50; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(panel.ShowPending());
    EXPECT_FALSE(panel.FrameTimer().Enabled());
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers());
}

TEST_F(GfxPanelTest, WithoutTransitionTheFirstPaintSavesTheBackgroundAndShowsAfterIt) {
    TGfxPanel panel;
    panel.resize(40, 30);
    panel.SetPicture(Gradient(40, 30));
    std::vector<uint64_t> performed;
    int shows = 0;
    panel.OnShow = [&](QObject* sender) {
        EXPECT_EQ(sender, &panel);
        EXPECT_TRUE(performed.empty());
        ++shows;
    };
    panel.OnPerform = [&](QObject*) { performed.push_back(Now()); };
    panel.SetFramesPerSec(25);
    panel.show();
    ASSERT_TRUE(RunUntil([&] { return performed.size() >= 4; }));
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(panel.FrameTimer().Enabled());
    EXPECT_EQ(Differences(panel.BackgroundCopy(), Gradient(40, 30), QRect(0, 0, 40, 30)), 0);
    for (size_t i = 1; i < performed.size(); ++i)
        EXPECT_EQ(performed[i] - performed[i - 1], 40u);
}

TEST_F(GfxPanelTest, ShowTransitionStepsOnTicksAndRaisesOnShowOnTheTickThatEndsIt) {
    TGfxPanel panel;
    panel.resize(192, 64);
    panel.SetPicture(Gradient(192, 64));
    panel.Wiper().SetWipeType(wtBlinds);
    panel.Wiper().SetBlockSize(32);
    panel.Wiper().SetFrameCount(16);
    panel.SetFramesPerSec(72);
    uint64_t shownAt = 0;
    std::vector<uint64_t> performed;
    panel.OnShow = [&](QObject*) {
        shownAt = Now();
        EXPECT_EQ(Differences(panel.ScreenImage(), panel.Picture(), QRect(0, 0, 192, 64)), 0);
    };
    panel.OnPerform = [&](QObject*) { performed.push_back(Now()); };
    const uint64_t start = Now();
    panel.show();
    ASSERT_TRUE(RunUntil([&] { return performed.size() >= 2; }));
    // 72 frames a second: 13.889 ms apart.
    EXPECT_EQ(shownAt - start, 16u * 13889u / 1000u);
    EXPECT_NEAR(static_cast<double>(performed[0] - shownAt), 13.9, 0.6);
}

TEST_F(GfxPanelTest, InterruptEndsTheTransitionWithOnShowOnTheSameTick) {
    ArmSkip();
    TGfxPanel panel;
    panel.resize(160, 320);
    panel.SetPicture(Gradient(160, 320));
    panel.Wiper().SetWipeType(wtPlait);
    panel.Wiper().SetBlockSize(40);
    panel.Wiper().SetFrameCount(20);
    panel.SetFramesPerSec(11);
    uint64_t shownAt = 0;
    int differences = -1;
    panel.OnShow = [&](QObject*) {
        shownAt = Now();
        differences = Differences(panel.ScreenImage(), panel.Picture(), QRect(0, 0, 160, 320));
    };
    const uint64_t start = Now();
    panel.show();
    ASSERT_TRUE(RunUntil([&] { return panel.Wiper().StepsDone() == 3; }));
    RequestSkip();
    ASSERT_TRUE(RunUntil([&] { return shownAt != 0; }));
    EXPECT_EQ(shownAt - start, 4u * 90909u / 1000u); // 11 frames a second
    EXPECT_EQ(differences, 0);
    // The wipe's canvas is let go once the show is over.
    EXPECT_TRUE(panel.ScreenImage().isNull());
}

TEST_F(GfxPanelTest, HidingAndShowingReplaysTheTransition) {
    TGfxPanel panel;
    panel.resize(64, 64);
    panel.SetPicture(Gradient(64, 64));
    panel.Wiper().SetWipeType(wtMosaic);
    panel.Wiper().SetBlockSize(8);
    panel.Wiper().SetFrameCount(4);
    int shows = 0;
    panel.OnShow = [&](QObject*) { ++shows; };
    panel.show();
    ASSERT_TRUE(RunUntil([&] { return shows == 1; }));
    panel.SetVisible(false);
    EXPECT_TRUE(panel.ShowPending());
    // A hidden panel's ticks do nothing.
    int frames = 0;
    panel.OnPerform = [&](QObject*) { ++frames; };
    for (int i = 0; i < 20; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(frames, 0);
    panel.show();
    ASSERT_TRUE(RunUntil([&] { return shows == 2; }));
    EXPECT_FALSE(panel.ShowPending());
}

TEST_F(GfxPanelTest, FramesPerSecZeroStopsTheTicksAndANewValueRestartsThem) {
    ShownPanel shown(Gradient(20, 20), 25);
    shown.RunFrames(2);
    shown.Panel.SetFramesPerSec(0);
    EXPECT_EQ(shown.Panel.FramesPerSec(), 0);
    EXPECT_EQ(shown.Panel.NominalInterval(), 40);
    const int frames = shown.Frames;
    for (int i = 0; i < 20; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(shown.Frames, frames);
    EXPECT_FALSE(TestEnvironment::Clock().HasActiveTimers());
    shown.Panel.SetFramesPerSec(25);
    shown.RunFrames(3);
    EXPECT_EQ(shown.Frames, frames + 3);
}

TEST_F(GfxPanelTest, FramesPerSecTicksAtExactlyThatRate) {
    TGfxPanel panel;
    EXPECT_EQ(panel.FramesPerSec(), 100);
    // fps and the whole milliseconds of one frame; over ten seconds of
    // scheduler time the ticks come at the rate itself, not at 1000 div ms.
    const std::vector<std::pair<int, int>> rates = {{11, 90}, {25, 40}, {36, 27}, {72, 13}};
    for (const auto& [fps, interval] : rates) {
        panel.SetFramesPerSec(static_cast<TFrameRate>(fps));
        EXPECT_EQ(panel.NominalInterval(), interval) << fps;
        int ticks = 0;
        panel.FrameTimer().SetOnTimer([&](QObject*) { ++ticks; });
        panel.FrameTimer().SetEnabled(true);
        ProcessMessagesUntil([] { return false; }, 10000);
        panel.FrameTimer().SetEnabled(false);
        EXPECT_NEAR(ticks, fps * 10, 1) << fps;
    }
}

TEST_F(GfxPanelTest, WaitForFrameReturnsOnceAPanelHasComposedAFrame) {
    ShownPanel shown(Gradient(20, 20), 25);
    const int frames = shown.Frames;
    TGfxPanel::WaitForFrame();
    EXPECT_EQ(shown.Frames, frames + 1);
    shown.Panel.SetFramesPerSec(0);
    // With nothing left that could compose a frame, virtual time gives up instead of hanging.
    TGfxPanel::WaitForFrame();
    EXPECT_EQ(shown.Frames, frames + 1);
}

TEST_F(GfxPanelTest, APanelOnWhichNothingMovesIsQuietUntilSomethingCouldMove) {
    TGfxPanel panel;
    panel.resize(40, 30);
    panel.SetPicture(Gradient(40, 30));
    panel.SetFramesPerSec(72);
    auto* still = new TSImage(&panel);
    still->SetPicture(Solid(4, 4, 0xFF00FF00));
    still->SetBounds(2, 2, 4, 4);
    panel.show();
    const auto quiet = [&] { return panel.FrameTimer().Quiet(); };
    ASSERT_TRUE(RunUntil(quiet, 50)) << "a still image only";

    QPointer<TSprite> sprite = new TSprite(&panel);
    sprite->SetPicture(Solid(4, 4, 0xFFFF0000));
    sprite->SetBounds(10, 10, 4, 4);
    sprite->Animation().SetFrameCount(1);
    sprite->Animation().SetCurrentFrame(0);
    sprite->SetHoriSpeed(1);
    EXPECT_FALSE(quiet()) << "a sprite came";
    ASSERT_TRUE(RunUntil([&] { return sprite->Left() >= 13; }, 50));
    EXPECT_FALSE(quiet());

    sprite->SetVisible(false);
    ASSERT_TRUE(RunUntil(quiet, 50)) << "the sprite was hidden";
    sprite->SetKilled(true);
    EXPECT_FALSE(quiet()) << "a killed sprite is freed by the next frame";
    ASSERT_TRUE(RunUntil([&] { return !sprite && quiet(); }, 50));

    // A wait for a frame gets one from the quiet panel, at its own rate.
    const uint64_t before = Now();
    TGfxPanel::WaitForFrame();
    EXPECT_GT(Now(), before);
    EXPECT_LE(Now() - before, 14u);
    EXPECT_FALSE(quiet());
    ASSERT_TRUE(RunUntil(quiet, 50));
    panel.OnPerform = [](QObject*) {};
    panel.hide();
    EXPECT_FALSE(quiet()) << "hiding wakes it once";
    ASSERT_TRUE(RunUntil(quiet, 50)) << "a hidden panel's frames do nothing";
}

TEST_F(GfxPanelTest, AnErrorInATickEndsThatFrameOnlyAndIsNotShown) {
    ShownPanel shown(Gradient(20, 20), 25);
    int calls = 0;
    shown.Panel.OnPerform = [&](QObject*) {
        if (++calls == 2) throw Exception("broken frame");
    };
    ASSERT_TRUE(RunUntil([&] { return calls >= 5; }));
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
}

TEST_F(GfxPanelTest, AnErrorThatEndsTheProgramIsReportedFromTheTick) {
    ShownPanel shown(Gradient(20, 20), 25);
    shown.Panel.OnPerform = [&](QObject*) {
        Application::Terminate();
        throw Exception("fatal frame");
    };
    RunUntil([] { return Application::Terminated(); });
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_EQ(TestEnvironment::Dialogs().Log()[0].Text, QStringLiteral("fatal frame"));
}

TEST_F(GfxPanelTest, APanelFreedFromItsOwnFrameTicksNoMore) {
    auto* panel = new TGfxPanel;
    panel->resize(20, 20);
    panel->SetPicture(Gradient(20, 20));
    QPointer<TGfxPanel> alive(panel);
    int frames = 0;
    panel->OnPerform = [&](QObject*) {
        ++frames;
        delete panel;
    };
    panel->show();
    RunUntil([&] { return !alive; });
    for (int i = 0; i < 20; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(frames, 1);
}

// Under the sanitizers: nothing of the panel may be read after a sprite's
// handler freed it, neither the rest of the frame nor the panel's own handler.
TEST_F(GfxPanelTest, APanelFreedByASpriteHandlerIsNotReadAfterwards) {
    auto* panel = new TGfxPanel;
    panel->resize(20, 20);
    panel->SetPicture(Gradient(20, 20));
    QPointer<TGfxPanel> alive(panel);
    int panelFrames = 0;
    panel->OnPerform = [&](QObject*) { ++panelFrames; };
    auto* freeing = new TSprite(panel);
    freeing->SetPicture(Gradient(4, 4));
    freeing->SetBounds(0, 0, 4, 4);
    freeing->OnPerform = [&](QObject*) { delete panel; };
    auto* later = new TSprite(panel);
    later->SetPicture(Gradient(4, 4, 9));
    later->SetBounds(8, 8, 4, 4);
    panel->show();
    ASSERT_TRUE(RunUntil([&] { return !alive; }));
    for (int i = 0; i < 20; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(panelFrames, 0);
}

TEST_F(GfxPanelTest, AHiddenWindowWhosePanelIsVisibleKeepsComposing) {
    QWidget form;
    form.resize(50, 50);
    auto* panel = new TGfxPanel(&form);
    panel->resize(40, 40);
    panel->SetPicture(Gradient(40, 40));
    auto* sprite = new TSprite(panel);
    sprite->SetPicture(Solid(4, 4, 0xFFFF0000));
    sprite->SetBounds(0, 0, 4, 4);
    sprite->Animation().SetFrameCount(1);
    sprite->Animation().SetCurrentFrame(0);
    sprite->SetHoriSpeed(1);
    int frames = 0;
    panel->OnPerform = [&](QObject*) { ++frames; };
    form.show();
    ASSERT_TRUE(RunUntil([&] { return frames >= 1; }));
    form.hide();
    EXPECT_TRUE(panel->Visible());
    const int left = sprite->Left();
    ASSERT_TRUE(RunUntil([&] { return frames >= 4; }));
    EXPECT_EQ(sprite->Left(), left + 3);
}

TEST_F(GfxPanelTest, AtThreeTimesTheMouseReachesTheControlAndThePixelItIsOver) {
    ShownPanel shown(Gradient(64, 48));
    TGfxPanel& panel = shown.Panel;
    panel.SetScale(3);
    EXPECT_EQ(panel.ShownSize(), QSize(192, 144));
    EXPECT_EQ(panel.size(), QSize(64, 48));
    TGraphicControl cell(&panel);
    cell.SetBounds(20, 10, 16, 16);
    QPoint onPanel(-1, -1);
    QPoint onCell(-1, -1);
    panel.OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        onPanel = QPoint(x, y);
    };
    cell.OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        onCell = QPoint(x, y);
    };
    struct Case {
        QPoint Window;
        QPoint Panel;
        QPoint Cell;
    };
    const QPoint none(-1, -1);
    for (const Case& c : {Case{QPoint(60, 30), none, QPoint(0, 0)},
                          Case{QPoint(107, 77), none, QPoint(15, 15)},
                          Case{QPoint(108, 30), QPoint(36, 10), none},
                          Case{QPoint(59, 29), QPoint(19, 9), none},
                          Case{QPoint(191, 143), QPoint(63, 47), none}}) {
        onPanel = onCell = none;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(c.Window), QPointF(c.Window),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(c.Window), QPointF(c.Window),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &release);
        EXPECT_EQ(onPanel, c.Panel) << c.Window.x();
        EXPECT_EQ(onCell, c.Cell) << c.Window.x();
    }
}

TEST_F(GfxPanelTest, APanelOnAScaledPanelTakesItsScaleAndKeepsItsPlaceInPicturePixels) {
    TGfxPanel frame;
    frame.resize(100, 80);
    TGfxPanel inner(&frame);
    inner.setGeometry(10, 20, 30, 40);
    frame.SetScale(2);
    EXPECT_EQ(inner.Scale(), 2);
    EXPECT_EQ(inner.geometry(), QRect(10, 20, 30, 40));
    EXPECT_EQ(inner.QWidget::geometry(), QRect(20, 40, 60, 80));
    TGfxPanel later(&frame);
    EXPECT_EQ(later.Scale(), 2);
    // Laid onto the scaled panel later, with a text box on it (a name entry).
    TGfxPanel moved;
    moved.resize(8, 8);
    QLineEdit* box = new QLineEdit(&moved);
    box->setGeometry(1, 2, 5, 4);
    QFont font;
    font.setPixelSize(7);
    box->setFont(font);
    moved.setParent(&frame);
    moved.move(5, 6);
    EXPECT_EQ(moved.QWidget::geometry(), QRect(10, 12, 16, 16));
    EXPECT_EQ(box->geometry(), QRect(2, 4, 10, 8));
    EXPECT_EQ(box->font().pixelSize(), 14);
    frame.SetScale(3);
    EXPECT_EQ(moved.QWidget::geometry(), QRect(15, 18, 24, 24));
    EXPECT_EQ(box->geometry(), QRect(3, 6, 15, 12));
    EXPECT_EQ(box->font().pixelSize(), 21);
}
