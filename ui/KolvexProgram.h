#pragma once

#include <QString>
#include <memory>

class TDemoForm;
class TGameParamsForm;
class TGfxForm;
class TKolvexDM;
class TKolvexSplashForm;
class TMainForm;
class TOptionsForm;

// The start-up and shut-down of the program, in their fixed order: the
// title, the cursors, the settings, the splash, the fonts, the display
// check, the windows, the splash's wait, the message loop, the settings
// saved at the end.
class TKolvexProgram {
public:
    TKolvexProgram();
    ~TKolvexProgram();
    TKolvexProgram(const TKolvexProgram&) = delete;
    TKolvexProgram& operator=(const TKolvexProgram&) = delete;

    // Everything before the message loop. False when the program is to end
    // at once (a display it cannot use, or Escape on the splash).
    bool Start();
    // Where each session's results are appended (none when empty).
    void SetResultsFile(const QString& fileName) { FResultsFile = fileName; }
    // The message loop; returns the exit status.
    int Run();
    // Frees the windows and saves the settings.
    void Finish();

    TMainForm* MainForm() const { return FMainForm.get(); }
    TKolvexDM* DataModule() const { return FDataModule.get(); }
    TDemoForm* DemoForm() const { return FDemoForm.get(); }
    TOptionsForm* OptionsForm() const { return FOptionsForm.get(); }
    TGameParamsForm* GameParams() const { return FGameParams.get(); }
    TKolvexSplashForm* Splash() const { return FSplash.get(); }

private:
    bool DisplayUsable();

    std::unique_ptr<TKolvexSplashForm> FSplash;
    std::unique_ptr<TGfxForm> FGfx;
    std::unique_ptr<TMainForm> FMainForm;
    std::unique_ptr<TDemoForm> FDemoForm;
    std::unique_ptr<TOptionsForm> FOptionsForm;
    std::unique_ptr<TKolvexDM> FDataModule;
    std::unique_ptr<TGameParamsForm> FGameParams;
    QString FResultsFile;
    bool FFinished = false;
};
