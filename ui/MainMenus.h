#pragma once

#include <QString>
#include <array>
#include <cstdint>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

// What the main window's menus depend on when they are enabled.
struct TMenuState {
    bool Running = false;          // a session is in play
    bool MenuBusy = false;         // the title menu is not up (a show, a wait, a start)
    bool ShowPanelVisible = false; // the credits, the score table or a name entry
    bool HasLastGame = false;      // there is a game to replay
};

// The main window's menu tree: its items, the radio choices of the Options
// menu, and the table that enables the items for the program's state. The
// window connects the items to its commands.
class TMainMenus {
public:
    QMenu* GameMenu = nullptr;
    QAction* NewGameItem = nullptr;
    QAction* DemoItem = nullptr;
    QAction* ReplayItem = nullptr;
    QAction* SaveGameAsMenuItem = nullptr;
    QAction* SaveReplayAsMenuItem = nullptr;
    QAction* OpenMenuItem = nullptr;
    QAction* StartOldGameMenuItem = nullptr;
    QAction* ShowTopscoresItem = nullptr;
    QAction* ShowCreditsItem = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* OptionsMenu = nullptr;
    QMenu* GametypeItem = nullptr;
    std::array<QAction*, 3> GameTypeItems{};
    QMenu* Startinglevel1 = nullptr;
    std::array<QAction*, 5> LevelItems{};
    QMenu* PlayersMenuItem = nullptr;
    std::array<QAction*, 3> PlayersItems{};
    QAction* AgainstComputerItem = nullptr;
    QMenu* ComputerStrengthMenu = nullptr;
    // Easy, Normal, Hard; the checked one is kept in the settings.
    std::array<QAction*, 3> StrengthItems{};
    QAction* ShowOptionsItem = nullptr;
    QAction* Fullscreenesccancels1 = nullptr;
    QAction* DisablelevelincreaseMenuItem = nullptr;
    QAction* MouseControlPossibilityEnabledMenuItem = nullptr;
    // Checked: a running session pauses when the main window loses the focus.
    QAction* PauseOnFocusLossItem = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* InfoTheRulesMenuItem = nullptr;
    QAction* ShowReadMertffile1 = nullptr;
    QMenu* KolvexOnTheInternet1 = nullptr;
    QAction* WWW1 = nullptr;
    QAction* EmailtoBrenmar1 = nullptr;
    QAction* brenmarhomepage1 = nullptr;
    QMenu* Test1 = nullptr;
    QAction* CreatePlayfieldMapwindowMenuItem = nullptr;
    QAction* CreateFillMapWindowMenuItem = nullptr;
    QAction* CreateFallMapWindowMenuItem = nullptr;
    QAction* Showgameparamswindow1 = nullptr;
    QAction* SaveDemoDataMenuItem = nullptr;
    QAction* Speedy1 = nullptr;

    // Builds the tree into the bar; the radio groups belong to owner.
    void BuildMenus(QMenuBar* bar, QObject* owner);
    void EnableMenus(const TMenuState& state);

    // 1 to 3 (2 for "1 against the computer"), or -1 when no item is checked.
    int CheckedPlayers() const;
    bool AgainstComputer() const;
    void CheckAgainstComputer();
    // 1 Easy, 2 Normal, 3 Hard.
    int CheckedStrength() const;
    // 0 to 2, or -1 when no item is checked.
    int CheckedGameType() const;
    // 0 to 4, or -1 when no item is checked.
    int CheckedLevel() const;
    // Values without an item are ignored.
    void CheckPlayers(int players);
    void CheckLevel(int level);

private:
    void BuildGameMenu(QMenuBar* bar);
    void BuildOptionsMenu(QMenuBar* bar, QObject* owner);
    void BuildHelpMenu(QMenuBar* bar);
    void BuildTestMenu(QMenuBar* bar);
};
