#include "gfx/WaitHint.h"

#include "MainWindowFixture.h"
#include "model/KolvexPlayer.h"
#include "ui/ShowF.h"

#include <QAction>
#include <QLineEdit>
#include <algorithm>

using namespace UiTest;

namespace {
// What the screen says at one moment of a session.
struct Moment {
    bool Waiting = false;
    bool GameHint = false;
    bool TableHint = false;
    bool FrameHint = false;
    bool TableOpen = false;
    bool TableShown = false; // the table has been up and gone
    bool operator==(const Moment&) const = default;
};

// On screen: shown, on a widget that is shown (a hidden well shows nothing).
bool OnScreen(const TWaitHint* hint) {
    return hint && hint->Visible() && hint->Parent() && hint->Parent()->isVisible();
}

// Plays the user: every 10 ms of program time it notes what the screen
// says, and it goes on from every wait (Enter) and name entry (a name).
class Attendant {
public:
    explicit Attendant(TMainForm& main) : FMain(main), FTimer([this] { Tick(); }) {
        FTimer.SetInterval(10);
        FTimer.SetActive(true);
    }
    std::vector<Moment> Waits; // the moment each wait was ended
    bool HintWithoutWait = false;

private:
    void Tick() {
        TSessionCoordinator* session = FMain.Session();
        Moment now;
        now.Waiting = Waiting();
        for (int i = 0; session && i < session->Count(); ++i)
            now.GameHint = now.GameHint || OnScreen(session->GetGame(i)->WaitHint());
        now.TableHint = OnScreen(FMain.ShowForm->WaitHint());
        now.FrameHint = OnScreen(FMain.ShowForm->FrameWaitHint());
        now.TableOpen = FMain.IsShowPanelVisible() &&
                        FMain.ShowForm->PresentedLines().value(0) == QStringLiteral("TopScores");
        FTableSeen = FTableSeen || now.TableOpen;
        now.TableShown = FTableSeen && !now.TableOpen;
        const bool hint = now.GameHint || now.TableHint || now.FrameHint;
        if (hint && !now.Waiting) HintWithoutWait = true;
        if (!FMain.ShowForm->NameEdit->isHidden()) {
            FMain.ShowForm->NameEdit->setText(QStringLiteral("ME"));
            FMain.HandleKey(VK_RETURN);
        } else if (now.Waiting) {
            Waits.push_back(now);
            FMain.HandleKey(VK_RETURN);
        }
    }
    TMainForm& FMain;
    ClockTimer FTimer;
    bool FTableSeen = false;
};

class PressEnterHint : public MainWindowTest {};
} // namespace

// "Press Enter" stands under "Game Over", under the top-score table and on
// the bare frame after it while the game waits for the player; a replay of the
// same game never waits and never shows it, and plays the very same game.
TEST_F(PressEnterHint, ShowsWhileALiveGameWaitsAndNeverInItsReplay) {
    EmptyScoreList();
    Main->StartNewGame();
    ASSERT_TRUE(Settle());
    Main->Session()->GetGame(0)->Player()->SetScore(500);
    FillWell(0);
    auto live = std::make_unique<Attendant>(*Main);
    ASSERT_TRUE(RunUntilMenuBack());
    const int32_t score = Main->Session() ? Main->Session()->GetGame(0)->Score() : -1;
    const Moment gameOver{true, true, false, false, false, false};
    const Moment table{true, false, true, false, true, false};
    const Moment afterTable{true, false, false, true, false, true};
    for (const Moment& expected : {gameOver, table, afterTable})
        EXPECT_NE(std::find(live->Waits.begin(), live->Waits.end(), expected), live->Waits.end())
            << "game " << expected.GameHint << ", table " << expected.TableHint;
    EXPECT_FALSE(live->HintWithoutWait);
    live.reset();

    auto replay = std::make_unique<Attendant>(*Main);
    Main->ReplayItem->trigger();
    ASSERT_TRUE(RunUntilMenuBack());
    for (const Moment& seen : replay->Waits)
        EXPECT_FALSE(seen.GameHint || seen.TableHint);
    EXPECT_FALSE(replay->HintWithoutWait);
    ASSERT_TRUE(Main->Session());
    EXPECT_EQ(Main->Session()->GetGame(0)->Score(), score);
}
