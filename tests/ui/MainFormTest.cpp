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

TEST_F(MainFormTest, BothPlayersAreAskedLowerScoreFirstAndTheTableComesOnce) {
    EmptyScoreList();
    Main->CheckPlayersItem(2);
    Main->CheckLevelItem(4);
    Main->StartNewGame();
    ASSERT_EQ(Main->Session()->Count(), 2);
    ASSERT_TRUE(Settle());
    // The first player starts far ahead; the second ends with the lower score.
    Main->Session()->GetGame(0)->Player()->SetScore(5000);
    FillWell(0);
    FillWell(1);
    std::vector<QString> asked;
    std::vector<int32_t> scores;
    int tables = 0;
    bool inTable = false;
    std::function<void()> watch;
    std::unique_ptr<WhenReady> watcher;
    watch = [&] {
        watcher = std::make_unique<WhenReady>(
            [&] {
                // The lines stay after the presentation has closed: only an open one counts.
                const bool table =
                    Main->IsShowPanelVisible() &&
                    Main->ShowForm->PresentedLines().value(0) == QStringLiteral("TopScores");
                if (table && !inTable) ++tables;
                inTable = table;
                return !Main->ShowForm->NameEdit->isHidden() || Waiting();
            },
            [&] {
                if (!Main->ShowForm->NameEdit->isHidden()) {
                    const QString who = Main->ShowForm->PresentedLines().value(2);
                    asked.push_back(who);
                    scores.push_back(Main->Session()->GetGame(who.endsWith('1') ? 0 : 1)->Score());
                    Main->ShowForm->NameEdit->setText(QStringLiteral("P") + who.right(1));
                    Main->HandleKey(VK_RETURN);
                } else {
                    Main->HandleKey(VK_RETURN);
                }
                watch();
            });
    };
    watch();
    ASSERT_TRUE(RunUntilMenuBack());
    watcher.reset();
    ASSERT_EQ(asked,
              (std::vector<QString>{QStringLiteral("Player 2"), QStringLiteral("Player 1")}));
    EXPECT_LT(scores[0], scores[1]);
    EXPECT_EQ(tables, 1);
    ASSERT_EQ(DM->ScoreList.Count(), 2);
    EXPECT_EQ(DM->ScoreList.Items(0).PlayerName, QStringLiteral("P1"));
    EXPECT_EQ(DM->ScoreList.Items(1).PlayerName, QStringLiteral("P2"));
}

TEST_F(MainFormTest, AStoppedGameIsNotAskedForAName) {
    EmptyScoreList();
    Main->CheckPlayersItem(2);
    Main->CheckLevelItem(4);
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    Main->Session()->GetGame(1)->Player()->SetScore(9000);
    Main->Session()->GetGame(1)->TheGame().Stop();
    FillWell(0);
    std::vector<QString> asked;
    std::unique_ptr<WhenReady> answer;
    std::function<void()> watch = [&] {
        answer = std::make_unique<WhenReady>(
            [this] { return !Main->ShowForm->NameEdit->isHidden() || Waiting(); },
            [&] {
                // Escape for the name, Enter for the "Game Over" wait.
                if (!Main->ShowForm->NameEdit->isHidden()) {
                    asked.push_back(Main->ShowForm->PresentedLines().value(2));
                    Main->HandleKey(VK_ESCAPE);
                } else {
                    Main->HandleKey(VK_RETURN);
                }
                watch();
            });
    };
    watch();
    ASSERT_TRUE(RunUntilMenuBack());
    answer.reset();
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("Player 1")});
    // Escape in the name field stores nothing and shows no table.
    EXPECT_EQ(DM->ScoreList.Count(), 0);
}

TEST_F(MainFormTest, EscapeInFullScreenCancelsTheNameEntry) {
    EmptyScoreList();
    Main->CheckLevelItem(4);
    Main->Fullscreenesccancels1->trigger();
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    FillWell(0);
    bool cancelled = false, stillFullScreen = false;
    std::unique_ptr<WhenReady> answer;
    std::function<void()> watch = [&] {
        answer = std::make_unique<WhenReady>(
            [this] { return !Main->ShowForm->NameEdit->isHidden() || Waiting(); },
            [&] {
                if (!Main->ShowForm->NameEdit->isHidden()) {
                    Main->ShowForm->NameEdit->setText(QStringLiteral("NO"));
                    Main->HandleKey(VK_ESCAPE);
                    cancelled = Main->ShowForm->NameEdit->isHidden();
                    stillFullScreen = Main->FullScreen();
                } else {
                    Main->HandleKey(VK_RETURN);
                }
                watch();
            });
    };
    watch();
    ASSERT_TRUE(RunUntilMenuBack());
    answer.reset();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(stillFullScreen);
    EXPECT_EQ(DM->ScoreList.Count(), 0);
    Main->HandleKey(VK_ESCAPE);
    EXPECT_FALSE(Main->FullScreen());
}

TEST_F(MainFormTest, TheDemoRunsToItsEndAndNeverEntersTheList) {
    const QString file = GameFiles::DemoFileName();
    if (file.isEmpty()) GTEST_SKIP() << "no DemoData.dat beside the test program";
    EmptyScoreList();
    int asked = 0;
    std::unique_ptr<WhenReady> answer;
    std::function<void()> watch = [&] {
        answer = std::make_unique<WhenReady>(
            [this] { return !Main->ShowForm->NameEdit->isHidden() || Waiting(); },
            [&] {
                if (!Main->ShowForm->NameEdit->isHidden()) ++asked;
                Main->HandleKey(VK_RETURN);
                watch();
            });
    };
    watch();
    Main->DemoItem->trigger();
    ASSERT_TRUE(Main->IsGameRunning());
    TSessionCoordinator* demo = Main->Session();
    ASSERT_TRUE(RunUntilMenuBack());
    answer.reset();
    // The computer player's game ended by itself, with a score that would
    // have had the first place of an empty list.
    EXPECT_GT(demo->GetGame(0)->Score(), 1000);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(DM->ScoreList.Count(), 0);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
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

TEST_F(MainFormTest, EscapeStopsTheGamesWithoutAskingForNames) {
    EmptyScoreList();
    Main->StartNewGame();
    Main->Session()->GetGame(0)->Player()->SetScore(700);
    EXPECT_TRUE(Main->MenuBusy());
    EXPECT_FALSE(Main->MenuPanel()->Visible());
    StopGames();
    EXPECT_TRUE(Main->ShowForm->PresentedLines().isEmpty());
    EXPECT_EQ(DM->ScoreList.Count(), 0);
    EXPECT_TRUE(Main->MenuPanel()->Visible());
    EXPECT_FALSE(Main->NextBrickImage->Visible());
    EXPECT_FALSE(Demo->IsRecording());
}

TEST_F(MainFormTest, LoadingAndOldGamesAreShutWhileAnySessionPlays) {
    const QString file = FreshFolder(QStringLiteral("shut")) + QStringLiteral("/game.rep");
    const std::vector<std::pair<const char*, std::function<void()>>> starts = {
        {"new game", [this] { Main->NewGameItem->trigger(); }},
        {"replay", [this] { Main->ReplayItem->trigger(); }},
        {"old game",
         [&] {
             TestEnvironment::Dialogs().QueueFileName(file);
             Main->SaveReplayAsMenuItem->trigger();
             TestEnvironment::Dialogs().QueueFileName(file);
             Main->StartOldGameMenuItem->trigger();
         }},
    };
    for (const auto& [name, start] : starts) {
        start();
        ASSERT_TRUE(Main->IsGameRunning()) << name;
        EXPECT_FALSE(Main->OpenMenuItem->isEnabled()) << name;
        EXPECT_FALSE(Main->StartOldGameMenuItem->isEnabled()) << name;
        StopGames();
        EXPECT_TRUE(Main->OpenMenuItem->isEnabled()) << name;
        EXPECT_TRUE(Main->StartOldGameMenuItem->isEnabled()) << name;
    }
}

TEST_F(MainFormTest, NewIsShutWhileAGameRunsAndStartsAtOnceAfterwards) {
    Main->NewGameItemClick();
    TSessionCoordinator* first = Main->Session();
    ASSERT_TRUE(Main->IsGameRunning());
    EXPECT_FALSE(Main->NewGameItem->isEnabled());
    Main->NewGameItem->trigger();
    EXPECT_EQ(Main->Session(), first);
    EXPECT_TRUE(Demo->IsRecording());
    StopGames();
    // And with no game running it starts at once, also after earlier games.
    TSessionCoordinator* second = Main->Session();
    Main->NewGameItem->trigger();
    EXPECT_NE(Main->Session(), second);
    EXPECT_TRUE(Main->IsGameRunning());
    StopGames();
}

TEST_F(MainFormTest, NewDuringTheCreditsEndsThemAndThenStarts) {
    auto choose = std::make_unique<WhenReady>([this] { return Main->IsShowPanelVisible(); },
                                              [this] { Main->NewGameItem->trigger(); });
    Main->ActivateChoice(tcCredits);
    EXPECT_TRUE(choose->Done());
    EXPECT_TRUE(Main->IsGameRunning());
    EXPECT_FALSE(Main->IsShowPanelVisible());
    EXPECT_FALSE(Main->MenuPanel()->Visible());
    StopGames();
}

TEST_F(MainFormTest, ALoadedFileThatIsNoReplayIsRefusedAndTheProgramGoesOn) {
    TestEnvironment::Dialogs().QueueFileName(QStringLiteral("/tmp/notes.txt"));
    Main->OpenMenuItem->trigger();
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("notes.txt")));
    EXPECT_TRUE(
        TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("not a Kolvex replay")));
    EXPECT_FALSE(Application::Terminated());
    EXPECT_FALSE(Main->ReplayItem->isEnabled());
}

TEST_F(MainFormTest, ReplaysNoGameCouldPlayAreRefusedAndTheProgramGoesOn) {
    const QByteArray header = QByteArray::fromHex("01000000"
                                                  "00"
                                                  "00000000"
                                                  "01"
                                                  "00"
                                                  "e8030000");
    const QByteArray action = QByteArray::fromHex("01000000"
                                                  "40000000"
                                                  "00000000"
                                                  "02");
    const QString folder = FreshFolder(QStringLiteral("impossible"));
    const std::vector<std::pair<QString, QByteArray>> files = {
        {folder + QStringLiteral("/three.rep"),
         QByteArray::fromHex("03") + header.mid(1) + QByteArray::fromHex("00000000")},
        {folder + QStringLiteral("/stranger.rep"),
         header + QByteArray::fromHex("01000000") + action},
    };
    for (const auto& [file, bytes] : files) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        for (QAction* item : {Main->OpenMenuItem, Main->StartOldGameMenuItem}) {
            TestEnvironment::Dialogs().ClearLog();
            TestEnvironment::Dialogs().QueueFileName(file);
            item->trigger();
            ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u) << file.toStdString();
            EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains("cannot be replayed"));
            EXPECT_FALSE(Application::Terminated());
            EXPECT_FALSE(Main->IsGameRunning());
        }
    }
}

TEST_F(MainFormTest, SavedReplaysLoadReplayAndContinue) {
    Main->StartNewGame();
    // A few moves of the first player, then the game is stopped.
    KeyState::SetDown(ScanCode::Left, true);
    RunUntil([this] { return Main->Session()->GetGame(0)->BrickLeft() < 48; }, 200000);
    KeyState::SetDown(ScanCode::Left, false);
    StopGames();
    ASSERT_TRUE(Demo->HasLastGame());

    // A name typed without an extension gets ".rep", saving and opening.
    const QString typed = FreshFolder(QStringLiteral("replays")) + QStringLiteral("/game");
    const QString file = typed + QStringLiteral(".rep");
    TestEnvironment::Dialogs().QueueFileName(typed);
    Main->SaveReplayAsMenuItem->trigger();
    ASSERT_TRUE(QFileInfo(file).size() > 19);

    TestEnvironment::Dialogs().QueueFileName(typed);
    Main->OpenMenuItem->trigger();
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
    EXPECT_TRUE(Main->ReplayItem->isEnabled());

    QTest::keyClick(Main.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(Main->IsGameRunning());
    EXPECT_TRUE(Demo->IsReplaying());
    StopGames();

    TestEnvironment::Dialogs().QueueFileName(file);
    Main->StartOldGameMenuItem->trigger();
    EXPECT_TRUE(Main->IsGameRunning());
    EXPECT_TRUE(Demo->IsReplaying());
    EXPECT_TRUE(Demo->IsRecording());
    StopGames();
}

TEST_F(MainFormTest, ADamagedDemoInTheCurrentFolderIsReportedAndTheMenuComesBack) {
    const QString folder = FreshFolder(QStringLiteral("demo"));
    QFile damaged(folder + QStringLiteral("/DemoData.dat"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("KVX", 3);
    damaged.close();
    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder);
    EXPECT_EQ(GameFiles::DemoFileName(), QDir(folder).filePath(QStringLiteral("DemoData.dat")));
    Main->DemoItem->trigger();
    QDir::setCurrent(saved);
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("DemoData.dat")));
    EXPECT_FALSE(Main->MenuBusy());
    EXPECT_FALSE(Main->IsGameRunning());
    EXPECT_TRUE(Main->MenuPanel()->Visible());
    EXPECT_TRUE(Main->DemoItem->isEnabled());
}

TEST_F(MainFormTest, TheShippedDemoPlaysWithoutTouchingThePlayersOptions) {
    const QString saved = QDir::currentPath();
    QDir::setCurrent(FreshFolder(QStringLiteral("nodemo")));
    const QString file = GameFiles::DemoFileName();
    QDir::setCurrent(saved);
    if (file.isEmpty()) GTEST_SKIP() << "no DemoData.dat beside the test program";
    Settings().RotationDirectionClockwise = false;
    Settings().Speed = 2;
    QDir::setCurrent(QFileInfo(file).absolutePath());
    Main->DemoItem->trigger();
    QDir::setCurrent(saved);
    ASSERT_TRUE(Main->IsGameRunning());
    EXPECT_TRUE(Demo->IsReplaying());
    EXPECT_TRUE(Settings().RotationDirectionClockwise);
    // Faster, then stopped by Escape.
    QTest::keyClick(Main.get(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Main->Session()->GetGame(0)->GamePanel()->FramesPerSec(), 1000);
    StopGames();
    EXPECT_TRUE(Main->ShowForm->PresentedLines().isEmpty());
    EXPECT_FALSE(Settings().RotationDirectionClockwise);
    EXPECT_EQ(Settings().Speed, 2);
    Settings().RotationDirectionClockwise = true;
    Settings().Speed = 0;
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

} // namespace

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
