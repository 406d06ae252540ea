#include "MainWindowFixture.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/brenmarUtils.h"
#include "model/KolvexPlayer.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/ShowF.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {
// "1 against the computer" in the main window, as the player starts it.
class AgainstComputerTest : public MainWindowTest {
protected:
    void SetUp() override {
        FSavedStrength = Settings().ComputerStrength;
        MainWindowTest::SetUp();
        EmptyScoreList();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        Settings().ComputerStrength = FSavedStrength;
    }
    int FSavedStrength = 2;
};
} // namespace

TEST_F(AgainstComputerTest, TheStrengthItemsFollowTheSettingsAndTheMenuSeatsTheComputer) {
    EXPECT_TRUE(Main->StrengthItems[1]->isChecked()) << "Normal by default";
    Main->StrengthItems[2]->trigger();
    EXPECT_EQ(Settings().ComputerStrength, 3);
    EXPECT_EQ(Main->SelectedComputerWells(), 0);
    Main->AgainstComputerItem->trigger();
    EXPECT_EQ(Main->SelectedPlayers(), 2);
    EXPECT_EQ(Main->SelectedComputerWells(), 0b10);
    EXPECT_EQ(Main->SelectedComputerStrength(), 3);
    Main->CheckPlayersItem(1);
    EXPECT_EQ(Main->SelectedComputerWells(), 0);
}

TEST_F(AgainstComputerTest, OnlyThePersonsScoreIsOfferedAndTheWinnerIsShown) {
    Main->CheckAgainstComputerItem();
    Main->CheckLevelItem(4);
    Main->StartNewGame();
    TSessionCoordinator* session = Main->Session();
    ASSERT_EQ(session->Count(), 2);
    ASSERT_FALSE(session->GetGame(0)->IsComputer());
    ASSERT_TRUE(session->GetGame(1)->IsComputer());
    ASSERT_TRUE(RunUntil([&] {
        return !TWiper::AnyWipeRunning() && !session->GetGame(0)->GamePanel()->ShowPending();
    }));
    // The person ends at once, far behind; the computer, ahead, ends its own game.
    session->GetGame(0)->Player()->SetScore(300);
    session->GetGame(1)->Player()->SetScore(4000);
    TPlayfield* field = session->GetGame(0)->Playfield();
    for (int y = 4; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            if (x != (y % 10)) field->AddCell(x, y, TCell::cfBrick, 1 + (x + y) % 7);
    QStringList winner;
    int asked = 0;
    std::function<void()> watch;
    std::unique_ptr<WhenReady> watcher;
    watch = [&] {
        watcher = std::make_unique<WhenReady>(
            [&] { return !Main->ShowForm->NameEdit->isHidden() || Waiting(); },
            [&] {
                const QStringList lines = Main->ShowForm->PresentedLines();
                if (!Main->ShowForm->NameEdit->isHidden()) {
                    ++asked;
                    EXPECT_FALSE(lines.contains(QStringLiteral("Player 1")));
                    Main->ShowForm->NameEdit->setText(QStringLiteral("Me"));
                } else if (Main->IsShowPanelVisible() && lines.value(0) == "Oh no...") {
                    winner = lines;
                }
                Main->HandleKey(VK_RETURN);
                watch();
            });
    };
    watch();
    ASSERT_TRUE(RunUntil([this] { return !Main->MenuBusy() && !Main->IsGameRunning(); }, 2000000));
    watcher.reset();
    ASSERT_FALSE(winner.isEmpty()) << "the end shows who won";
    EXPECT_TRUE(winner.contains(QStringLiteral("The computer")));
    // The person's last brick falls where the new game's random bricks put it:
    // what it scores varies, but never reaches the computer's.
    const int32_t person = session->GetGame(0)->Score();
    EXPECT_LT(person, session->GetGame(1)->Score());
    EXPECT_TRUE(winner.contains(QStringLiteral("You: %1").arg(person)))
        << winner.join('|').toStdString();
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(DM->ScoreList.Count(), 1);
    EXPECT_EQ(DM->ScoreList.Items(0).PlayerName, QStringLiteral("Me"));
    EXPECT_EQ(DM->ScoreList.Items(0).Score, person);
}
