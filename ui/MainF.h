#pragma once

#include "flow/GameHostInterface.h"
#include "flow/MouseControl_KX.h"
#include "ui/MainMenus.h"
#include "ui/TitleMenu_KX.h"
#include "ui/brenmarMMForm.h"

#include <QEvent>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QKeyEvent;
class QMenu;
class TBrickSupplier;
class TBrickSupplierView;
class TKolvexDM;
class TLabel;
class TOptionsForm;
class TSImage;
class TSessionCoordinator;
class TShowForm;
class TWindowSizer;

// The main window: the title screen (the frame with its three-choice menu
// and tinsel), the menus, the frame on which the games are played (with the
// level indicator, the next-brick image and the Time markers), and the start
// and end of every session, replay and demo.
class TMainForm : public TBrenmarMMForm, public TGameHostInterface, public TMainMenus {
public:
    explicit TMainForm(TGfxForm* gfx, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The forms created after the main window at start-up.
    void SetDemoForm(TDemoForm* demo) { FDemoForm = demo; }
    // Each session's results are appended to this file when it ends.
    void SetResultsFile(const QString& fileName) { FResultsFile = fileName; }
    void SetOptionsForm(TOptionsForm* options) { FOptionsForm = options; }
    // The data module: score list, playfield-changed broadcaster, mouse control.
    void SetDataModule(TKolvexDM* dataModule);
    void SetMouseControl(TMouseControl* control) { FMouseControl = control; }
    void SetGameParams(TGameParamsForm* params) { FGameParams = params; }

    // --- Components of the frame ---
    TGfxPanel* FramePanelComponent = nullptr;
    TSImage* LevelMark = nullptr;
    std::array<TLabel*, 5> LevelLabels{};
    TLabel* PlusLabel = nullptr;
    TSImage* NextBrickImage = nullptr;
    TSprite* RowsSpriteComponent = nullptr;
    TSprite* TimeSpriteComponent = nullptr;
    std::unique_ptr<TTitleMenu> TitleMenu;
    TShowForm* ShowForm = nullptr;
    TGfxPanel* MenuPanel() const;
    // The window's scale and its "Window size" items.
    TWindowSizer* WindowSizer() const { return FSizer; }

    // --- Title screen ---
    bool MenuBusy() const { return FMenuBusy; }
    void HideMenu();
    void ShowMenu();
    bool IsShowPanelVisible() const;
    // What a click on the highlighted image (or Enter) does.
    void ActivateChoice(TTitleChoice choice);

    // --- Sessions ---
    TSessionCoordinator* Session() const { return FSession; }
    bool IsGameRunning() const;
    int CurrentLevel() const { return FCurrentLevel; }
    // Frees the previous session and starts a new one with the checked level and players.
    void NewSession();
    // The pictures take the "Mark the colours" setting: the next session's
    // cells and bricks, and the title screen's small well at once.
    void FollowColourMarks();
    // A new game as the title screen's start choice begins it: seeded from
    // the clock and recorded.
    void StartNewGame();
    void UpdateMenus();
    // The session has ended: recording or replay ends, the best players are
    // asked for their names, the title menu comes back.
    void HandleGameEnded();
    void WriteResults();
    // The main window's key handler; returns whether the key was used.
    // The key by its meaning on this layout and by its place (the game's keys).
    bool HandleKey(int virtualKey, int scanCode = 0);

    // --- Menu commands ---
    void NewGameItemClick();
    void DemoItemClick();
    void ReplayItemClick();
    void SaveReplayAsMenuItemClick();
    void OpenMenuItemClick();
    void StartOldGameMenuItemClick();
    void ShowOptionsItemClick();
    void InfoTheRulesMenuItemClick();
    void ShowReadMertffile1Click();
    void WWW1Click();
    void EmailtoBrenmar1Click();
    void brenmarhomepage1Click();
    void CreatePlayfieldMapwindowMenuItemClick();
    void Showgameparamswindow1Click();
    void SaveDemoDataMenuItemClick();
    void Speedy1Click();

    // TGameMenuInterface
    int SelectedPlayers() override;
    uint8_t SelectedGameType() override;
    int SelectedLevel() override;
    void CheckPlayersItem(int players) override;
    void CheckLevelItem(int level) override;
    // The person keeps the first well and its arrow keys; the computer plays the second.
    uint8_t SelectedComputerWells() override { return AgainstComputer() ? 0b10 : 0; }
    uint8_t SelectedComputerStrength() override { return uint8_t(CheckedStrength()); }
    void CheckAgainstComputerItem() override { CheckAgainstComputer(); }

    // TGameHostInterface
    TGfxPanel* FramePanel() override { return FramePanelComponent; }
    TSprite* RowsSprite() override { return RowsSpriteComponent; }
    TSprite* TimeSprite() override { return TimeSpriteComponent; }
    void ShowLevel(int level) override;
    bool IsMouseControlEnabled() override;
    bool IsLevelIncreaseDisabled() override;
    void FrameResized() override;
    void HideMenuPanel() override;
    void GameEnded() override;
    void ShowRoundMessage(TGameForm* game, uint8_t gameType) override;
    void WaitForUser(int seconds) override;
    TGfxForm* GfxForm() override { return FGfx; }
    TDemoForm* DemoForm() override { return FDemoForm; }
    TMouseControl* MouseControl() override { return FMouseControl; }
    TGameParamsForm* GameParams() override { return FGameParams; }

    // The notice the last game of a session posts.
    static QEvent::Type GameEndedEvent();

protected:
    void FormResize() override;
    void FormShow();
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A start that has to wait until the game or the presentation that has
    // the frame is over.
    enum class TStart { None, NewGame, OldGame };

    void CreateFrame();
    void CreateMenus();
    void MenuPanelFirstShow();

    void RequestStart(TStart start, const QString& fileName = QString());
    void StartNow(TStart start, const QString& fileName);
    void RunPendingStart();
    void StartOldGame(const QString& fileName);
    void TakeKeyboardBack();

    TGfxForm* FGfx;
    TDemoForm* FDemoForm = nullptr;
    TOptionsForm* FOptionsForm = nullptr;
    QPointer<TKolvexDM> FDataModule;
    QPointer<TMouseControl> FMouseControl;
    TGameParamsForm* FGameParams = nullptr;
    TSessionCoordinator* FSession = nullptr;
    TWindowSizer* FSizer = nullptr;
    // Until the window is first shown the title menu is not up.
    bool FMenuBusy = true;
    bool FEndingGame = false;
    QString FResultsFile;
    TStart FPendingStart = TStart::None;
    QString FPendingFile;
    bool FFirstShow = true;
    int FCurrentLevel = 0;
};
