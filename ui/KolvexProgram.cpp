#include "ui/KolvexProgram.h"

#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "gfx/GfxPanel.h"
#include "gfx/brenmarPaletteMerger.h"
#include "gfx/brenmarUtils.h"
#include "persistence/DemoF.h"
#include "persistence/OptionsF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Gamepads.h"
#include "platform/KeyState.h"
#include "platform/StartupLog.h"
#include "resources/Resources_KX.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/SplashF_KX.h"

#include <QCoreApplication>
#include <QEventLoop>

TKolvexProgram::TKolvexProgram() = default;

TKolvexProgram::~TKolvexProgram() {
    Finish();
}

bool TKolvexProgram::DisplayUsable() {
    const QString from =
        QStringLiteral("from ") + Application::Title() + QStringLiteral("\r\n\r\n");
    if (!HasAtLeast256Colors()) {
        Dialogs::Current().Message(
            DialogKind::Error,
            from + QStringLiteral("Sorry, but this program demands a 256 color display as a "
                                  "minimum.\r\nIf possible, change the display mode to preferable "
                                  "truecolor mode (16 or 24 bits) or 256 color mode.\r\n\r\n"),
            dbOK);
        return false;
    }
    if (!IsPaletteDisplay()) return true;
    return Dialogs::Current().Message(
               DialogKind::Confirmation,
               from + QStringLiteral("This program was made for truecolor display.\r\nIt can "
                                     "however be runned in 256 color mode, but with a loss\r\nin "
                                     "picture quality.\r\nIf possible, change the display mode to "
                                     "truecolor mode (16 or 24 bits).\r\n\r\nContinue in 256 "
                                     "color mode?\r\n"),
               dbYes | dbNo) == dbYes;
}

bool TKolvexProgram::Start() {
    Application::SetTitle(QStringLiteral("Kolvex"));
    KeyState::InstallFilter();
    // Pads are read while a game runs; without SDL joystick support there are none.
    Gamepads::SetEnabled(true);
    // The splash comes first; what only the main window needs waits until it is up.
    InstallCursorsAndIcon();
    StartupLog::Mark("cursors and icon");
    if (IsPaletteDisplay()) MergePalette(ProgramDir(0) + QStringLiteral("MasterP.bmp"));
    LoadSettings();
    StartupLog::Mark("settings");

    FSplash = std::make_unique<TKolvexSplashForm>();
    StartupLog::Mark("splash made");
    FSplash->show();
    FSplash->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    StartupLog::Mark("splash shown");
    InstallFonts();
    StartupLog::Mark("fonts");

    if (!DisplayUsable()) return false;

    FGfx = std::make_unique<TGfxForm>();
    FMainForm = std::make_unique<TMainForm>(FGfx.get());
    FMainForm->SetResultsFile(FResultsFile);
    FDemoForm = std::make_unique<TDemoForm>(FMainForm.get(), FGfx.get());
    FMainForm->SetDemoForm(FDemoForm.get());
    FOptionsForm = std::make_unique<TOptionsForm>(FGfx.get());
    FMainForm->SetOptionsForm(FOptionsForm.get());
    FDataModule = std::make_unique<TKolvexDM>();
    FMainForm->SetDataModule(FDataModule.get());
    FGameParams = std::make_unique<TGameParamsForm>();
    // A test window left open must not keep the program alive.
    FGameParams->setAttribute(Qt::WA_QuitOnClose, false);
    FMainForm->SetGameParams(FGameParams.get());
    StartupLog::Mark("windows made");

    FSplash->WaitAndClose();
    FSplash.reset();
    if (Application::Terminated()) return false;
    FMainForm->show();
    // The splash had the keyboard; the main window takes it over.
    FMainForm->raise();
    FMainForm->activateWindow();
    StartupLog::Mark("main window shown");
    return true;
}

int TKolvexProgram::Run() {
    if (Application::Terminated()) return 0;
    return QCoreApplication::exec();
}

void TKolvexProgram::Finish() {
    if (FFinished) return;
    FFinished = true;
    // The session goes first, before the forms its games use; a replay still
    // in force gives the player's own settings back before they are saved.
    FSplash.reset();
    FMainForm.reset();
    if (FDemoForm) FDemoForm->RestorePlayerSettings();
    FGameParams.reset();
    FDataModule.reset();
    FOptionsForm.reset();
    FDemoForm.reset();
    FGfx.reset();
    SaveSettings();
}
