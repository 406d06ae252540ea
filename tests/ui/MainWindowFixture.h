#pragma once

#include "UiTestSupport.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/TitleMenu_KX.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

namespace UiTest {

// A new empty folder in the tests' scratch folder.
inline QString FreshFolder(const QString& name) {
    static int n = 0;
    const QString folder =
        TestEnvironment::ScratchFolder() + QStringLiteral("/%1%2").arg(name).arg(++n);
    QDir().mkpath(folder);
    return folder;
}

// The main window as the program puts it together (graphics, demo, data
// module), shown and settled on its title, with a score list of its own.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        KeyState::ReleaseAll();
        ClearBoth();
        FSavedPath = Settings().ScoreListPath;
        Settings().ScoreListPath = FreshFolder(QStringLiteral("scores"));
        Gfx = std::make_unique<TGfxForm>();
        Main = std::make_unique<TMainForm>(Gfx.get());
        Demo = std::make_unique<TDemoForm>(Main.get(), Gfx.get());
        Main->SetDemoForm(Demo.get());
        DM = std::make_unique<TKolvexDM>();
        Main->SetDataModule(DM.get());
        Main->show();
        ASSERT_TRUE(RunUntil([this] {
            return !Main->MenuBusy() && Main->TitleMenu->TintleTimer().Active() &&
                   !Main->MenuPanel()->ShowPending() && !TWiper::AnyWipeRunning();
        }));
    }
    void TearDown() override {
        Main.reset();
        Demo->RestorePlayerSettings();
        DM.reset();
        Demo.reset();
        Gfx.reset();
        Settings().ScoreListPath = FSavedPath;
        KeyState::ReleaseAll();
        ClearBoth();
        Application::ResetTerminated();
    }

    // A score list with no entries yet: every positive score has a place.
    // An empty file is a missing one and gets the default entries, so the
    // list is kept from filling them in.
    void EmptyScoreList() { DM->ScoreList.OnNoFile = nullptr; }
    // The games' panels have shown themselves: a key now reaches the game,
    // not the wipe.
    bool Settle() {
        return RunUntil([this] {
            if (TWiper::AnyWipeRunning() || !Main->Session()) return false;
            for (int i = 0; i < Main->Session()->Count(); ++i)
                if (Main->Session()->GetGame(i)->GamePanel()->ShowPending()) return false;
            return true;
        });
    }
    void StopGames() {
        ASSERT_TRUE(Settle());
        Main->HandleKey(VK_ESCAPE);
        ASSERT_TRUE(RunUntilMenuBack());
    }
    // Fills the well up to near the top, so that the game is over at its next brick.
    void FillWell(int game) {
        TPlayfield* field = Main->Session()->GetGame(game)->Playfield();
        for (int y = 4; y < 20; ++y)
            for (int x = 0; x < 10; ++x)
                if (x != (y % 10)) field->AddCell(x, y, TCell::cfBrick, 1 + (x + y) % 7);
    }
    bool RunUntilMenuBack() {
        return RunUntil([this] { return !Main->MenuBusy() && !Main->IsGameRunning(); }, 2000000);
    }

    std::unique_ptr<TGfxForm> Gfx;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TDemoForm> Demo;
    std::unique_ptr<TKolvexDM> DM;
    QString FSavedPath;
};

} // namespace UiTest
