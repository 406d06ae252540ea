#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "gfx/brenmarPaletteMerger.h"
#include "gfx/brenmarUtils.h"
#include "persistence/DemoF.h"
#include "persistence/OptionsF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/KeyState.h"
#include "resources/Resources_KX.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"

#include <memory>

int main(int argc, char** argv) {
    KolvexApplication app(argc, argv);
    Application::SetTitle(QStringLiteral("Kolvex"));
    KeyState::InstallFilter();
    InstallResources();
    if (IsPaletteDisplay()) MergePalette(ProgramDir(0) + QStringLiteral("MasterP.bmp"));
    LoadSettings();

    int status = 0;
    RunGuarded([&] {
        auto gfx = std::make_unique<TGfxForm>();
        auto mainForm = std::make_unique<TMainForm>(gfx.get());
        auto demo = std::make_unique<TDemoForm>(mainForm.get(), gfx.get());
        mainForm->SetDemoForm(demo.get());
        auto options = std::make_unique<TOptionsForm>(gfx.get());
        auto dataModule = std::make_unique<TKolvexDM>();
        mainForm->SetMouseControl(dataModule->MouseControl());
        auto params = std::make_unique<TGameParamsForm>();
        mainForm->SetGameParams(params.get());

        mainForm->show();
        status = app.exec();
        // The session goes before the forms its games use.
        mainForm.reset();
        demo->RestorePlayerSettings();
    });
    SaveSettings();
    return status;
}
