#pragma once

#include "flow/GameHostInterface.h"
#include "flow/MouseControl_KX.h"
#include "ui/brenmarMMForm.h"

#include <QEvent>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QKeyEvent;
class QMenu;
class TBrickSupplier;
class TBrickSupplierView;
class TLabel;
class TSImage;
class TSessionCoordinator;

// The main window: the frame on which the games are played (with the level
// indicator, the next-brick image and the Time markers), the menus, and the
// start and end of every session.
class TMainForm : public TBrenmarMMForm, public TGameHostInterface {
public:
    explicit TMainForm(TGfxForm* gfx, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The forms created after the main window at start-up.
    void SetDemoForm(TDemoForm* demo) { FDemoForm = demo; }
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

    // --- Menu items a game needs ---
    QMenu* GameMenu = nullptr;
    QMenu* OptionsMenu = nullptr;
    QAction* NewGameItem = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* GametypeItem = nullptr;
    std::array<QAction*, 3> GameTypeItems{};
    QMenu* Startinglevel1 = nullptr;
    std::array<QAction*, 5> LevelItems{};
    QMenu* PlayersMenuItem = nullptr;
    std::array<QAction*, 3> PlayersItems{};
    QAction* DisablelevelincreaseMenuItem = nullptr;
    QAction* MouseControlPossibilityEnabledMenuItem = nullptr;

    // --- Sessions ---
    TSessionCoordinator* Session() const { return FSession; }
    bool IsGameRunning() const;
    int CurrentLevel() const { return FCurrentLevel; }
    // Frees the previous session and starts a new one with the checked level and players.
    void NewSession();
    // A new game as the title screen's start choice begins it: seeded from
    // the clock and recorded.
    void StartNewGame();
    // "&New": while a game runs it is stopped first and the new one begins when it has ended.
    void NewGameItemClick();
    void UpdateMenus();
    // The session has ended: recording or replay ends, the menus come back.
    void HandleGameEnded();
    // The main window's key handler; returns whether the key was used.
    bool HandleKey(int virtualKey);

    // TGameMenuInterface
    int SelectedPlayers() override;
    uint8_t SelectedGameType() override;
    int SelectedLevel() override;
    void CheckPlayersItem(int players) override;
    void CheckLevelItem(int level) override;

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

private:
    void CreateFrame();
    void CreateMenus();
    QAction* AddRadioItem(QMenu* menu, QActionGroup* group, const QString& caption, bool checked);
    static int CheckedIndex(const std::array<QAction*, 3>& items);

    TGfxForm* FGfx;
    TDemoForm* FDemoForm = nullptr;
    QPointer<TMouseControl> FMouseControl;
    TGameParamsForm* FGameParams = nullptr;
    TSessionCoordinator* FSession = nullptr;
    bool FNewGamePending = false;
    bool FFirstShow = true;
    int FCurrentLevel = 0;
};
