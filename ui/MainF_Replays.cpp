// The main window's replay files: replayed, saved, loaded and continued.
#include "ui/MainF.h"

#include "flow/BrickSupplierV_KX.h"
#include "flow/GameF.h"
#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "flow/MouseControl_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/SessionResults_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "model/BrickSupplier_KX.h"
#include "model/KolvexPlayer.h"
#include "persistence/DemoF.h"
#include "persistence/OptionsF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "ui/FocusPause.h"
#include "ui/FrameParts.h"
#include "ui/GameFiles.h"
#include "ui/HelpLinks.h"
#include "ui/KeyHelp_KX.h"
#include "ui/KolvexDM.h"
#include "ui/PlayfieldViewF_KX.h"
#include "ui/ReadMeKeys_KX.h"
#include "ui/RulesF.h"
#include "ui/SessionEnd.h"
#include "ui/ShowF.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

void TMainForm::ReplayItemClick() {
    if (!FDemoForm) return;
    HideMenu();
    if (!FDemoForm->BeginLastGameReplay()) {
        ShowMenu();
        return;
    }
    NewSession();
}

void TMainForm::SaveReplayAsMenuItemClick() {
    if (!FDemoForm) return;
    const QString file = GameFiles::AskReplayToSave();
    TakeKeyboardBack();
    if (file.isEmpty()) return;
    FDemoForm->SaveRecording(file);
}

void TMainForm::OpenMenuItemClick() {
    if (!FDemoForm) return;
    const QString file = GameFiles::AskReplayToOpen(QStringLiteral("Load Replay"));
    TakeKeyboardBack();
    if (file.isEmpty()) return;
    if (GameFiles::IsReplayFile(file)) {
        FDemoForm->LoadLastGame(file);
    } else if (!GameFiles::IsGameFile(file)) {
        GameFiles::TellNotAReplay(file);
        return;
    }
    UpdateMenus();
}

void TMainForm::StartOldGameMenuItemClick() {
    if (!FDemoForm) return;
    const QString file = GameFiles::AskReplayToOpen(QStringLiteral("Start old game"));
    TakeKeyboardBack();
    if (file.isEmpty()) return;
    RequestStart(TStart::OldGame, file);
}

void TMainForm::StartOldGame(const QString& fileName) {
    if (!FDemoForm) return;
    // The file is read before the title menu goes, so a bad one leaves it standing.
    if (!FDemoForm->BeginOldGame(fileName)) return;
    HideMenu();
    NewSession();
}
