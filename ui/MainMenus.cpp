#include "ui/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "persistence/Settings_KX.h"

namespace {
QAction* AddRadioItem(QMenu* menu, QActionGroup* group, const QString& caption, bool checked) {
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    item->setChecked(checked);
    group->addAction(item);
    return item;
}

template <size_t N> int CheckedIndex(const std::array<QAction*, N>& items) {
    for (size_t i = 0; i < N; ++i)
        if (items[i]->isChecked()) return static_cast<int>(i);
    return -1;
}
} // namespace

void TMainMenus::BuildMenus(QMenuBar* bar, QObject* owner) {
    BuildGameMenu(bar);
    BuildOptionsMenu(bar, owner);
    BuildHelpMenu(bar);
    BuildTestMenu(bar);
}

void TMainMenus::BuildGameMenu(QMenuBar* bar) {
    GameMenu = bar->addMenu(QStringLiteral("&Game"));
    NewGameItem = GameMenu->addAction(QStringLiteral("&New"));
    DemoItem = GameMenu->addAction(QStringLiteral("&Demo"));
    ReplayItem = GameMenu->addAction(QStringLiteral("&Replay"));
    ReplayItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    GameMenu->addSeparator();
    SaveGameAsMenuItem = GameMenu->addAction(QStringLiteral("Save Game As..."));
    SaveGameAsMenuItem->setVisible(false);
    SaveReplayAsMenuItem = GameMenu->addAction(QStringLiteral("Save Replay As..."));
    OpenMenuItem = GameMenu->addAction(QStringLiteral("Load Replay..."));
    StartOldGameMenuItem = GameMenu->addAction(QStringLiteral("Start old game..."));
    GameMenu->addSeparator();
    ShowTopscoresItem = GameMenu->addAction(QStringLiteral("Show Topscores"));
    ShowCreditsItem = GameMenu->addAction(QStringLiteral("Show Credits"));
    GameMenu->addSeparator();
    Exit1 = GameMenu->addAction(QStringLiteral("E&xit program"));
}

void TMainMenus::BuildOptionsMenu(QMenuBar* bar, QObject* owner) {
    OptionsMenu = bar->addMenu(QStringLiteral("&Options"));
    GametypeItem = OptionsMenu->addMenu(QStringLiteral("&Game type"));
    auto* types = new QActionGroup(owner);
    GameTypeItems = {AddRadioItem(GametypeItem, types, QStringLiteral("&Speed"), true),
                     AddRadioItem(GametypeItem, types, QStringLiteral("&Time"), false),
                     AddRadioItem(GametypeItem, types, QStringLiteral("&Clean"), false)};
    // Only Speed is played; the other types are reached through their code paths.
    GametypeItem->menuAction()->setVisible(false);

    Startinglevel1 = OptionsMenu->addMenu(QStringLiteral("Starting &level"));
    auto* levels = new QActionGroup(owner);
    for (int i = 0; i < 5; ++i)
        LevelItems[static_cast<size_t>(i)] =
            AddRadioItem(Startinglevel1, levels, QString::number(i + 1), i == 0);

    PlayersMenuItem = OptionsMenu->addMenu(QStringLiteral("Number of &players"));
    auto* players = new QActionGroup(owner);
    for (int i = 0; i < 3; ++i)
        PlayersItems[static_cast<size_t>(i)] =
            AddRadioItem(PlayersMenuItem, players, QString::number(i + 1), i == 0);
    // There are keys for two players only.
    PlayersItems[2]->setVisible(false);
    AgainstComputerItem = AddRadioItem(PlayersMenuItem, players,
                                       QStringLiteral("1 against the &computer"), false);

    ComputerStrengthMenu = OptionsMenu->addMenu(QStringLiteral("&Computer strength"));
    auto* strengths = new QActionGroup(owner);
    const QString names[3] = {QStringLiteral("&Easy"), QStringLiteral("&Normal"),
                              QStringLiteral("&Hard")};
    for (int i = 0; i < 3; ++i) {
        QAction* item = AddRadioItem(ComputerStrengthMenu, strengths, names[i],
                                     Settings().ComputerStrength == i + 1);
        QObject::connect(item, &QAction::triggered, owner,
                         [i] { Settings().ComputerStrength = i + 1; });
        StrengthItems[static_cast<size_t>(i)] = item;
    }

    OptionsMenu->addSeparator();
    ShowOptionsItem = OptionsMenu->addAction(QStringLiteral("&Show Options..."));
    OptionsMenu->addSeparator();
    Fullscreenesccancels1 = OptionsMenu->addAction(QStringLiteral("&Full screen (ESC CANCELS!)"));
    DisablelevelincreaseMenuItem =
        OptionsMenu->addAction(QStringLiteral("&Disable level increase"));
    DisablelevelincreaseMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem =
        OptionsMenu->addAction(QStringLiteral("Mouse control possible"));
    MouseControlPossibilityEnabledMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem->setChecked(false);
    MouseControlPossibilityEnabledMenuItem->setVisible(false);
    PauseOnFocusLossItem =
        OptionsMenu->addAction(QStringLiteral("Pause when the window loses focus"));
    PauseOnFocusLossItem->setCheckable(true);
    PauseOnFocusLossItem->setChecked(Settings().PauseOnFocusLoss);
    QObject::connect(PauseOnFocusLossItem, &QAction::toggled, owner,
                     [](bool on) { Settings().PauseOnFocusLoss = on; });
}

void TMainMenus::BuildHelpMenu(QMenuBar* bar) {
    HelpMenu = bar->addMenu(QStringLiteral("&Help"));
    InfoTheRulesMenuItem = HelpMenu->addAction(QStringLiteral("The Rules"));
    ShowReadMertffile1 = HelpMenu->addAction(QStringLiteral("Show ReadMe.rtf file"));
    HelpMenu->addSeparator();
    KolvexOnTheInternet1 = HelpMenu->addMenu(QStringLiteral("On the Internet"));
    WWW1 = KolvexOnTheInternet1->addAction(QStringLiteral("Kolvex Home Page"));
    EmailtoBrenmar1 = KolvexOnTheInternet1->addAction(QStringLiteral("E-mail to Brenmar"));
    KolvexOnTheInternet1->addSeparator();
    brenmarhomepage1 = KolvexOnTheInternet1->addAction(QStringLiteral("Brenmar Home Page"));
}

void TMainMenus::BuildTestMenu(QMenuBar* bar) {
    Test1 = bar->addMenu(QStringLiteral("&Test"));
    CreatePlayfieldMapwindowMenuItem =
        Test1->addAction(QStringLiteral("Create playfield map window"));
    CreatePlayfieldMapwindowMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M));
    CreateFillMapWindowMenuItem = Test1->addAction(QStringLiteral("Create fill-map window"));
    CreateFallMapWindowMenuItem = Test1->addAction(QStringLiteral("Create fall-map window"));
    Showgameparamswindow1 = Test1->addAction(QStringLiteral("Show game params window"));
    Showgameparamswindow1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    SaveDemoDataMenuItem = Test1->addAction(QStringLiteral("Save demo data"));
    SaveDemoDataMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    Speedy1 = Test1->addAction(QStringLiteral("Fast"));
    Speedy1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    Test1->menuAction()->setVisible(false);
}

void TMainMenus::EnableMenus(const TMenuState& state) {
    const bool idle = !state.Running && !state.MenuBusy;
    const bool titleFree = idle && !state.ShowPanelVisible;
    NewGameItem->setEnabled(!state.Running);
    ShowOptionsItem->setEnabled(idle);
    GametypeItem->setEnabled(idle);
    ShowCreditsItem->setEnabled(titleFree);
    ShowTopscoresItem->setEnabled(titleFree);
    DemoItem->setEnabled(titleFree);
    ReplayItem->setEnabled(titleFree && state.HasLastGame);
    SaveReplayAsMenuItem->setEnabled(ReplayItem->isEnabled());
    OpenMenuItem->setEnabled(!state.Running);
    StartOldGameMenuItem->setEnabled(!state.Running);
}

int TMainMenus::CheckedPlayers() const {
    if (AgainstComputer()) return 2;
    const int i = CheckedIndex(PlayersItems);
    return i < 0 ? -1 : i + 1;
}

bool TMainMenus::AgainstComputer() const {
    return AgainstComputerItem->isChecked();
}

void TMainMenus::CheckAgainstComputer() {
    AgainstComputerItem->setChecked(true);
}

int TMainMenus::CheckedStrength() const {
    const int i = CheckedIndex(StrengthItems);
    return i < 0 ? 2 : i + 1;
}

int TMainMenus::CheckedGameType() const {
    return CheckedIndex(GameTypeItems);
}

int TMainMenus::CheckedLevel() const {
    return CheckedIndex(LevelItems);
}

void TMainMenus::CheckPlayers(int players) {
    if (players >= 1 && players <= 3)
        PlayersItems[static_cast<size_t>(players - 1)]->setChecked(true);
}

void TMainMenus::CheckLevel(int level) {
    if (level >= 0 && level <= 4) LevelItems[static_cast<size_t>(level)]->setChecked(true);
}
