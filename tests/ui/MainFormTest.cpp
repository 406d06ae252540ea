#include "MainWindowFixture.h"
#include "flow/GameF.h"
#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "gfx/brenmarUtils.h"
#include "model/KolvexPlayer.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/Desktop.h"
#include "platform/KeyState.h"
#include "ui/GameFiles.h"
#include "ui/HelpLinks.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/ReadMeWindow_KX.h"
#include "ui/ShowF.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {

class MainFormTest : public MainWindowTest {
protected:
    struct MenuState {
        bool New, Options, GameType, Credits, TopScores, Demo, Replay, SaveReplay, Load, OldGame;
        bool operator==(const MenuState&) const = default;
    };
    MenuState Menus() const {
        return {Main->NewGameItem->isEnabled(),       Main->ShowOptionsItem->isEnabled(),
                Main->GametypeItem->isEnabled(),      Main->ShowCreditsItem->isEnabled(),
                Main->ShowTopscoresItem->isEnabled(), Main->DemoItem->isEnabled(),
                Main->ReplayItem->isEnabled(),        Main->SaveReplayAsMenuItem->isEnabled(),
                Main->OpenMenuItem->isEnabled(),      Main->StartOldGameMenuItem->isEnabled()};
    }
};
} // namespace

TEST_F(MainFormTest, TheMenusFollowTheStateOfTheProgram) {
    // The title menu, before any game.
    EXPECT_EQ(Menus(), (MenuState{true, true, true, true, true, true, false, false, true, true}));

    // A game running.
    Main->StartNewGame();
    ASSERT_TRUE(Main->IsGameRunning());
    Main->UpdateMenus();
    EXPECT_EQ(Menus(),
              (MenuState{false, false, false, false, false, false, false, false, false, false}));
    StopGames();
    // Back at the title: the game just played can be replayed and saved.
    EXPECT_EQ(Menus(), (MenuState{true, true, true, true, true, true, true, true, true, true}));

    // Something else holds the frame.
    Main->HideMenu();
    EXPECT_EQ(Menus(),
              (MenuState{true, false, false, false, false, false, false, false, true, true}));
    Main->ShowMenu();

    // The show screen is up.
    Main->ShowForm->OpenPresentation(QStringLiteral("Test"));
    Main->UpdateMenus();
    EXPECT_EQ(Menus(),
              (MenuState{true, true, true, false, false, false, false, false, true, true}));
    Main->ShowForm->ClosePresentation();
    Main->UpdateMenus();
    EXPECT_TRUE(Main->DemoItem->isEnabled());
}

TEST_F(MainFormTest, TheHiddenItemsAreHiddenAndTheRestAreThere) {
    EXPECT_FALSE(Main->SaveGameAsMenuItem->isVisible());
    EXPECT_FALSE(Main->GametypeItem->menuAction()->isVisible());
    EXPECT_FALSE(Main->PlayersItems[2]->isVisible());
    EXPECT_FALSE(Main->MouseControlPossibilityEnabledMenuItem->isVisible());
    EXPECT_FALSE(Main->Test1->menuAction()->isVisible());
    EXPECT_TRUE(Main->SaveDemoDataMenuItem->isVisible());
    EXPECT_EQ(Main->ReplayItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(Main->Speedy1->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    EXPECT_EQ(Main->SelectedPlayers(), 1);
    EXPECT_EQ(Main->SelectedLevel(), 0);
    EXPECT_EQ(Main->SelectedGameType(), 0);
    Main->CheckLevelItem(3);
    Main->CheckPlayersItem(2);
    Main->CheckLevelItem(7);
    EXPECT_EQ(Main->SelectedLevel(), 3);
    EXPECT_EQ(Main->SelectedPlayers(), 2);
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Kolvex"));
    EXPECT_EQ(Main->ClientSize(), QSize(192, 416));
}

TEST_F(MainFormTest, UpAndDownMoveTheHighlightOnlyOnTheTitle) {
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcStart);
    Main->HandleKey(VK_UP);
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcCredits);
    Main->HandleKey(VK_DOWN);
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcStart);
    Main->HandleKey(VK_DOWN);
    Main->HandleKey(VK_DOWN);
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcCredits);
    Main->HandleKey(VK_DOWN);
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcStart);
    Main->HideMenu();
    Main->HandleKey(VK_UP);
    EXPECT_EQ(Main->TitleMenu->Highlighted(), tcStart);
    Main->ShowMenu();
}

TEST_F(MainFormTest, TheLevelMarkMovesAndGivesWayToThePlusAtFive) {
    Main->ShowLevel(2);
    EXPECT_EQ(Main->LevelMark->Left(), 84);
    EXPECT_TRUE(Main->LevelMark->Visible());
    EXPECT_FALSE(Main->PlusLabel->Visible());
    Main->ShowLevel(5);
    EXPECT_FALSE(Main->LevelMark->Visible());
    EXPECT_TRUE(Main->PlusLabel->Visible());
    Main->ShowLevel(0);
    EXPECT_EQ(Main->LevelMark->Left(), 24);
    EXPECT_FALSE(Main->PlusLabel->Visible());
}

TEST_F(MainFormTest, TheLevelMarkLeavesNothingBehindWhenAGameIsOver) {
    const QRect first(24, 6, 24, 24);
    const auto marked = [&](const QImage& picture) {
        for (int y = first.top(); y <= first.bottom(); ++y)
            for (int x = first.left(); x <= first.right(); ++x)
                if ((picture.pixel(x, y) & 0xFFFFFF) != (Gfx->FrameImage().pixel(x, y) & 0xFFFFFF))
                    return true;
        return false;
    };
    ASSERT_TRUE(RunUntil([&] { return marked(Main->FramePanel()->Picture()); }));
    Main->CheckLevelItem(4);
    Main->StartNewGame();
    StopGames();
    for (int i = 0; i < 20; ++i)
        Application::ProcessMessages();
    EXPECT_EQ(Main->LevelMark->Left(), 144);
    EXPECT_TRUE(Main->LevelMark->Visible());
    EXPECT_FALSE(marked(Main->FramePanel()->Picture()));
}

TEST_F(MainFormTest, EnterTakesTheLitChoiceAndEscapeEndsThePresentation) {
    Main->HandleKey(VK_DOWN);
    auto escape = std::make_unique<WhenReady>([this] { return Main->IsShowPanelVisible(); },
                                              [this] { Main->HandleKey(VK_ESCAPE); });
    Main->HandleKey(VK_RETURN);
    EXPECT_TRUE(escape->Done());
    EXPECT_EQ(Main->ShowForm->PresentedLines().value(0), QStringLiteral("TopScores"));
    EXPECT_FALSE(Main->MenuBusy());
    EXPECT_FALSE(Main->IsShowPanelVisible());
    EXPECT_TRUE(Main->MenuPanel()->Visible());
}

TEST_F(MainFormTest, TheWindowFollowsTheSessionBackToOnePlayersWidth) {
    Main->CheckPlayersItem(2);
    Main->StartNewGame();
    EXPECT_EQ(Main->ClientSize(), QSize(384, 416));
    StopGames();
    EXPECT_EQ(Main->ClientSize(), QSize(192, 416));
    EXPECT_EQ(Main->FramePanel()->geometry(), QRect(0, 0, 192, 416));
    Main->CheckPlayersItem(1);
}

TEST_F(MainFormTest, CtrlAltPShowsTheGameParamsWindow) {
    TGameParamsForm params;
    Main->SetGameParams(&params);
    QTest::keyClick(Main.get(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(params.isVisible());
    Main->SetGameParams(nullptr);
}

TEST_F(MainFormTest, FullScreenAndBackWithEscape) {
    Main->Fullscreenesccancels1->trigger();
    ASSERT_TRUE(RunUntil([] { return !TWiper::AnyWipeRunning(); }));
    EXPECT_TRUE(Main->FullScreen());
    const QSize client = Main->ClientSize();
    EXPECT_EQ(Main->FramePanel()->pos(),
              QPoint(client.width() / 2 - 96, client.height() / 2 - 208));
    Main->HandleKey(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([] { return !TWiper::AnyWipeRunning(); }));
    EXPECT_FALSE(Main->FullScreen());
    EXPECT_EQ(Main->ClientSize(), QSize(192, 416));
    EXPECT_EQ(Main->FramePanel()->pos(), QPoint(0, 0));
}

TEST_F(MainFormTest, TheInternetItemsOpenTheirAddressesOrSayWhy) {
    std::vector<QString> opened;
    bool works = true;
    Desktop::SetOpener([&](const QString& address) {
        opened.push_back(address);
        return works;
    });
    Main->WWW1->trigger();
    Main->EmailtoBrenmar1->trigger();
    Main->brenmarhomepage1->trigger();
    Main->ShowReadMertffile1->trigger();
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0], QStringLiteral("http://") + HelpLinks::KolvexHomePage);
    EXPECT_EQ(opened[1], QStringLiteral("mailto:") + HelpLinks::BrenmarMail +
                             QStringLiteral("?subject=Kolvex"));
    EXPECT_EQ(opened[2], QStringLiteral("http://") + HelpLinks::BrenmarHomePage);
    EXPECT_TRUE(opened[3].endsWith(QStringLiteral("/ReadMe.rtf")));
    EXPECT_EQ(Main->findChild<TReadMeWindow*>(), nullptr);

    works = false;
    Main->WWW1->trigger();
    Main->EmailtoBrenmar1->trigger();
    Main->ShowReadMertffile1->trigger();
    Main->ShowReadMertffile1->trigger();
    Desktop::SetOpener({});
    // Nothing opens RTF files: the read-me comes up in the program's own window, once.
    ASSERT_EQ(Main->findChildren<TReadMeWindow*>().size(), 1);
    EXPECT_TRUE(Main->findChild<TReadMeWindow*>()->isVisible());
    EXPECT_TRUE(Main->findChild<TReadMeWindow*>()->Text().contains(QStringLiteral("Replays")));
    const auto& log = TestEnvironment::Dialogs().Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].Text, QStringLiteral("Unable to start your internet browser. \nThe address "
                                          "containing the information is \"") +
                               HelpLinks::KolvexHomePage + QStringLiteral("\".\r\n"));
    EXPECT_EQ(log[1].Text, QStringLiteral("Unable to start your mail program. The e-mail address "
                                          "is \"") +
                               HelpLinks::BrenmarMail + QStringLiteral("\".\r\n"));
}

// Losing the focus pauses every game of a running session, as P does, and
// only P lets them go on; the option turns this off.
TEST_F(MainFormTest, LosingTheFocusPausesTheSessionUnlessTheOptionIsOff) {
    for (const bool option : {true, false}) {
        Main->PauseOnFocusLossItem->setChecked(option);
        Main->CheckPlayersItem(2);
        Main->NewGameItem->trigger();
        ASSERT_TRUE(Settle());
        for (int lost = 0; lost < 2; ++lost) {
            QEvent deactivate(QEvent::WindowDeactivate);
            QApplication::sendEvent(Main.get(), &deactivate);
        }
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(Main->Session()->GetGame(i)->IsPaused(), option) << option << " game " << i;
        if (option) Main->Session()->TogglePause();
        StopGames();
    }
    Main->PauseOnFocusLossItem->setChecked(true);
    Main->CheckPlayersItem(1);
}
