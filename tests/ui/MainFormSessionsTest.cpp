#include "MainWindowFixture.h"
#include "flow/GameF.h"
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
#include "platform/KeyState.h"
#include "ui/GameFiles.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
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
// The main window's sessions from their start to their end (names, the
// top-score table), and its replays, old games and the demo.
class MainFormSessions : public MainWindowTest {
protected:
    // Runs until the menu is back, answering as a player would: onName when
    // the name field shows (it answers the field), Enter at every other wait.
    // observe, when given, looks on at every check.
    bool AnswerUntilMenuBack(const std::function<void()>& onName,
                             const std::function<void()>& observe = {}) {
        std::unique_ptr<WhenReady> answer;
        std::function<void()> watch = [&] {
            answer = std::make_unique<WhenReady>(
                [&] {
                    if (observe) observe();
                    return !Main->ShowForm->NameEdit->isHidden() || Waiting();
                },
                [&] {
                    if (!Main->ShowForm->NameEdit->isHidden())
                        onName();
                    else
                        Main->HandleKey(VK_RETURN);
                    watch();
                });
        };
        watch();
        const bool back = RunUntilMenuBack();
        answer.reset();
        return back;
    }
};
} // namespace

TEST_F(MainFormSessions, BothPlayersAreAskedLowerScoreFirstAndTheTableComesOnce) {
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
    const auto name = [&] {
        const QString who = Main->ShowForm->PresentedLines().value(2);
        asked.push_back(who);
        scores.push_back(Main->Session()->GetGame(who.endsWith('1') ? 0 : 1)->Score());
        Main->ShowForm->NameEdit->setText(QStringLiteral("P") + who.right(1));
        Main->HandleKey(VK_RETURN);
    };
    const auto countTables = [&] {
        // The lines stay after the presentation has closed: only an open one counts.
        const bool table = Main->IsShowPanelVisible() &&
                           Main->ShowForm->PresentedLines().value(0) == QStringLiteral("TopScores");
        if (table && !inTable) ++tables;
        inTable = table;
    };
    ASSERT_TRUE(AnswerUntilMenuBack(name, countTables));
    ASSERT_EQ(asked,
              (std::vector<QString>{QStringLiteral("Player 2"), QStringLiteral("Player 1")}));
    EXPECT_LT(scores[0], scores[1]);
    EXPECT_EQ(tables, 1);
    ASSERT_EQ(DM->ScoreList.Count(), 2);
    EXPECT_EQ(DM->ScoreList.Items(0).PlayerName, QStringLiteral("P1"));
    EXPECT_EQ(DM->ScoreList.Items(1).PlayerName, QStringLiteral("P2"));
}

TEST_F(MainFormSessions, AStoppedGameIsNotAskedForAName) {
    EmptyScoreList();
    Main->CheckPlayersItem(2);
    Main->CheckLevelItem(4);
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    Main->Session()->GetGame(1)->Player()->SetScore(9000);
    Main->Session()->GetGame(1)->TheGame().Stop();
    FillWell(0);
    std::vector<QString> asked;
    // Escape for the name, Enter for the "Game Over" wait.
    ASSERT_TRUE(AnswerUntilMenuBack([&] {
        asked.push_back(Main->ShowForm->PresentedLines().value(2));
        Main->HandleKey(VK_ESCAPE);
    }));
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("Player 1")});
    // Escape in the name field stores nothing and shows no table.
    EXPECT_EQ(DM->ScoreList.Count(), 0);
}

TEST_F(MainFormSessions, EscapeInFullScreenCancelsTheNameEntry) {
    EmptyScoreList();
    Main->CheckLevelItem(4);
    Main->Fullscreenesccancels1->trigger();
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    FillWell(0);
    bool cancelled = false, stillFullScreen = false;
    ASSERT_TRUE(AnswerUntilMenuBack([&] {
        Main->ShowForm->NameEdit->setText(QStringLiteral("NO"));
        Main->HandleKey(VK_ESCAPE);
        cancelled = Main->ShowForm->NameEdit->isHidden();
        stillFullScreen = Main->FullScreen();
    }));
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(stillFullScreen);
    EXPECT_EQ(DM->ScoreList.Count(), 0);
    Main->HandleKey(VK_ESCAPE);
    EXPECT_FALSE(Main->FullScreen());
}

TEST_F(MainFormSessions, TheDemoRunsToItsEndAndNeverEntersTheList) {
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

TEST_F(MainFormSessions, EscapeStopsTheGamesWithoutAskingForNames) {
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

TEST_F(MainFormSessions, LoadingAndOldGamesAreShutWhileAnySessionPlays) {
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

TEST_F(MainFormSessions, NewIsShutWhileAGameRunsAndStartsAtOnceAfterwards) {
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

TEST_F(MainFormSessions, NewDuringTheCreditsEndsThemAndThenStarts) {
    auto choose = std::make_unique<WhenReady>([this] { return Main->IsShowPanelVisible(); },
                                              [this] { Main->NewGameItem->trigger(); });
    Main->ActivateChoice(tcCredits);
    EXPECT_TRUE(choose->Done());
    EXPECT_TRUE(Main->IsGameRunning());
    EXPECT_FALSE(Main->IsShowPanelVisible());
    EXPECT_FALSE(Main->MenuPanel()->Visible());
    StopGames();
}

TEST_F(MainFormSessions, ALoadedFileThatIsNoReplayIsRefusedAndTheProgramGoesOn) {
    TestEnvironment::Dialogs().QueueFileName(QStringLiteral("/tmp/notes.txt"));
    Main->OpenMenuItem->trigger();
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("notes.txt")));
    EXPECT_TRUE(
        TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("not a Kolvex replay")));
    EXPECT_FALSE(Application::Terminated());
    EXPECT_FALSE(Main->ReplayItem->isEnabled());
}

TEST_F(MainFormSessions, ReplaysNoGameCouldPlayAreRefusedAndTheProgramGoesOn) {
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

TEST_F(MainFormSessions, SavedReplaysLoadReplayAndContinue) {
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

TEST_F(MainFormSessions, ADamagedDemoInTheCurrentFolderIsReportedAndTheMenuComesBack) {
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

TEST_F(MainFormSessions, TheShippedDemoPlaysWithoutTouchingThePlayersOptions) {
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
