#include "ui/MainF.h"

#include "flow/BrickSupplierV_KX.h"
#include "flow/GameF.h"
#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "flow/MouseControl_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
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
#include "platform/Folders.h"
#include "platform/KeyState.h"
#include "resources/Resources_KX.h"
#include "ui/KolvexDM.h"
#include "ui/PlayfieldViewF_KX.h"
#include "ui/RulesF.h"
#include "ui/ShowF.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>

namespace {
const QEvent::Type gameEnded = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type firstShow = static_cast<QEvent::Type>(QEvent::registerEventType());

constexpr int FrameWidth = 192;
constexpr int FrameHeight = 416;
const QString ReplayFilter = QStringLiteral("Kolvex replay data (*.rep)");
const QString DemoFile = QStringLiteral("DemoData.dat");

TSprite* MakeMarker(QWidget* frame, const QString& picture, int left) {
    auto* sprite = new TSprite(frame);
    sprite->setObjectName(picture);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetPicture(LoadResourcePicture(picture));
    sprite->SetTransparent(true);
    sprite->SetBounds(left, 80, 8, 8);
    sprite->Animation().SetFrameCount(4);
    sprite->Animation().SetCurrentFrame(0);
    sprite->Animation().SetDelay(0);
    sprite->Animation().SetAnimMode(amPingPong);
    return sprite;
}
} // namespace

const QString TMainForm::KolvexHomePage = QStringLiteral("kolvex.example.org/");
const QString TMainForm::BrenmarHomePage = QStringLiteral("brenmar.example.org/");
const QString TMainForm::BrenmarMail = QStringLiteral("kolvex@brenmar.example.org");

QEvent::Type TMainForm::GameEndedEvent() {
    return gameEnded;
}

TMainForm::TMainForm(TGfxForm* gfx, QWidget* parent) : TBrenmarMMForm(parent), FGfx(gfx) {
    setObjectName(QStringLiteral("MainForm"));
    CreateFrame();
    CreateMenus();
    QPalette black = ClientArea()->palette();
    black.setColor(QPalette::Window, Qt::black);
    ClientArea()->setPalette(black);
    setWindowTitle(Application::Title());
    ShowForm = new TShowForm(FramePanelComponent, nullptr, this);
    Cursors::Nudge();
    SaveDemoDataMenuItem->setVisible(true);
    SetClientSize(FrameWidth, FrameHeight);
    ArmSkip();
    ClearSkip();
    UpdateMenus();
    QCoreApplication::instance()->installEventFilter(this);
}

TMainForm::~TMainForm() {
    QCoreApplication::instance()->removeEventFilter(this);
    // The games go before the frame their panels sit on.
    delete FSession;
    FSession = nullptr;
}

void TMainForm::SetDataModule(TKolvexDM* dataModule) {
    FDataModule = dataModule;
    FMouseControl = dataModule ? dataModule->MouseControl() : nullptr;
    ShowForm->SetScoreList(dataModule ? &dataModule->ScoreList : nullptr);
}

void TMainForm::CreateFrame() {
    auto* frame = new TGfxPanel(ClientArea());
    FramePanelComponent = frame;
    frame->setObjectName(QStringLiteral("FramePanel"));
    frame->setGeometry(0, 0, FrameWidth, FrameHeight);
    frame->SetFramesPerSec(72);
    frame->Wiper().SetWipeType(wtBlinds);
    frame->Wiper().SetBlockSize(32);
    frame->Wiper().SetFrameCount(16);
    frame->SetColor(Qt::black);
    frame->SetPicture(FGfx->FrameImage());
    frame->setMouseTracking(true);
    frame->OnClick = [](QObject*) { RequestSkip(); };

    LevelMark = new TSImage(frame);
    LevelMark->setObjectName(QStringLiteral("LevelMark"));
    LevelMark->SetPicture(LoadResourcePicture(QStringLiteral("LevelMark")));
    LevelMark->SetTransparent(true);
    LevelMark->SetEnabled(false);
    LevelMark->SetBounds(24, 6, 24, 24);

    for (int i = 0; i < 5; ++i) {
        auto* label = new TLabel(frame);
        label->setObjectName(QStringLiteral("Level%1Label").arg(i));
        label->SetFont(
            MakeFont(QStringLiteral("Courier New"), 24, true, false, QColor(0x20, 0x18, 0x40)));
        label->SetCaption(QString::number(i + 1));
        label->SetLeft(29 + 30 * i);
        label->SetTop(4);
        label->SetEnabled(false);
        LevelLabels[static_cast<size_t>(i)] = label;
    }
    PlusLabel = new TLabel(frame);
    PlusLabel->setObjectName(QStringLiteral("PlusLabel"));
    PlusLabel->SetFont(MakeFont(QStringLiteral("Arial"), 22, true, false, Qt::red));
    PlusLabel->SetCaption(QStringLiteral("+"));
    PlusLabel->SetLeft(172);
    PlusLabel->SetTop(4);
    PlusLabel->SetEnabled(false);
    PlusLabel->SetVisible(false);

    NextBrickImage = new TSImage(frame);
    NextBrickImage->setObjectName(QStringLiteral("NextBrickImage"));
    NextBrickImage->SetTransparent(true);
    NextBrickImage->SetRespondToPaint(true);
    NextBrickImage->SetEnabled(false);
    NextBrickImage->SetBounds(70, 32, 48, 48);
    NextBrickImage->SetVisible(false);

    RowsSpriteComponent = MakeMarker(frame, QStringLiteral("RowsSprite"), 4);
    TimeSpriteComponent = MakeMarker(frame, QStringLiteral("TimeSprite"), 180);

    TitleMenu = std::make_unique<TTitleMenu>(frame, FGfx->MenuImage());
    TitleMenu->MenuPanel->setObjectName(QStringLiteral("MenuPanel"));
    TitleMenu->OnActivate = [this](TTitleChoice choice) { ActivateChoice(choice); };
    TitleMenu->OnFirstShow = [this] { MenuPanelFirstShow(); };
}

TGfxPanel* TMainForm::MenuPanel() const {
    return TitleMenu->MenuPanel;
}

QAction* TMainForm::AddItem(QMenu* menu, const QString& caption, void (TMainForm::*handler)()) {
    QAction* item = menu->addAction(caption);
    connect(item, &QAction::triggered, this,
            [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
    return item;
}

QAction* TMainForm::AddRadioItem(QMenu* menu, QActionGroup* group, const QString& caption,
                                 bool checked) {
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    item->setChecked(checked);
    group->addAction(item);
    return item;
}

void TMainForm::CreateMenus() {
    GameMenu = menuBar()->addMenu(QStringLiteral("&Game"));
    NewGameItem = AddItem(GameMenu, QStringLiteral("&New"), &TMainForm::NewGameItemClick);
    DemoItem = AddItem(GameMenu, QStringLiteral("&Demo"), &TMainForm::DemoItemClick);
    ReplayItem = AddItem(GameMenu, QStringLiteral("&Replay"), &TMainForm::ReplayItemClick);
    ReplayItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    GameMenu->addSeparator();
    SaveGameAsMenuItem = GameMenu->addAction(QStringLiteral("Save Game As..."));
    SaveGameAsMenuItem->setVisible(false);
    SaveReplayAsMenuItem = AddItem(GameMenu, QStringLiteral("Save Replay As..."),
                                   &TMainForm::SaveReplayAsMenuItemClick);
    OpenMenuItem =
        AddItem(GameMenu, QStringLiteral("Load Replay..."), &TMainForm::OpenMenuItemClick);
    StartOldGameMenuItem = AddItem(GameMenu, QStringLiteral("Start old game..."),
                                   &TMainForm::StartOldGameMenuItemClick);
    GameMenu->addSeparator();
    ShowTopscoresItem = GameMenu->addAction(QStringLiteral("Show Topscores"));
    connect(ShowTopscoresItem, &QAction::triggered, this,
            [this] { RunGuarded([this] { ActivateChoice(tcTopScores); }); });
    ShowCreditsItem = GameMenu->addAction(QStringLiteral("Show Credits"));
    connect(ShowCreditsItem, &QAction::triggered, this,
            [this] { RunGuarded([this] { ActivateChoice(tcCredits); }); });
    GameMenu->addSeparator();
    Exit1 = GameMenu->addAction(QStringLiteral("E&xit program"));
    connect(Exit1, &QAction::triggered, this, [this] { close(); });

    OptionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    GametypeItem = OptionsMenu->addMenu(QStringLiteral("&Game type"));
    auto* types = new QActionGroup(this);
    GameTypeItems = {AddRadioItem(GametypeItem, types, QStringLiteral("&Speed"), true),
                     AddRadioItem(GametypeItem, types, QStringLiteral("&Time"), false),
                     AddRadioItem(GametypeItem, types, QStringLiteral("&Clean"), false)};
    // Only Speed is played; the other types are reached through their code paths.
    GametypeItem->menuAction()->setVisible(false);

    Startinglevel1 = OptionsMenu->addMenu(QStringLiteral("Starting &level"));
    auto* levels = new QActionGroup(this);
    for (int i = 0; i < 5; ++i)
        LevelItems[static_cast<size_t>(i)] =
            AddRadioItem(Startinglevel1, levels, QString::number(i + 1), i == 0);

    PlayersMenuItem = OptionsMenu->addMenu(QStringLiteral("Number of &players"));
    auto* players = new QActionGroup(this);
    for (int i = 0; i < 3; ++i)
        PlayersItems[static_cast<size_t>(i)] =
            AddRadioItem(PlayersMenuItem, players, QString::number(i + 1), i == 0);
    // There are keys for two players only.
    PlayersItems[2]->setVisible(false);

    OptionsMenu->addSeparator();
    ShowOptionsItem =
        AddItem(OptionsMenu, QStringLiteral("&Show Options..."), &TMainForm::ShowOptionsItemClick);
    OptionsMenu->addSeparator();
    Fullscreenesccancels1 = OptionsMenu->addAction(QStringLiteral("&Full screen (ESC CANCELS!)"));
    connect(Fullscreenesccancels1, &QAction::triggered, this, [this] { GoFullScreen(); });
    DisablelevelincreaseMenuItem =
        OptionsMenu->addAction(QStringLiteral("&Disable level increase"));
    DisablelevelincreaseMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem =
        OptionsMenu->addAction(QStringLiteral("Mouse control possible"));
    MouseControlPossibilityEnabledMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem->setChecked(false);
    MouseControlPossibilityEnabledMenuItem->setVisible(false);

    HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    InfoTheRulesMenuItem =
        AddItem(HelpMenu, QStringLiteral("The Rules"), &TMainForm::InfoTheRulesMenuItemClick);
    ShowReadMertffile1 = AddItem(HelpMenu, QStringLiteral("Show ReadMe.rtf file"),
                                 &TMainForm::ShowReadMertffile1Click);
    HelpMenu->addSeparator();
    KolvexOnTheInternet1 = HelpMenu->addMenu(QStringLiteral("On the Internet"));
    WWW1 = AddItem(KolvexOnTheInternet1, QStringLiteral("Kolvex Home Page"), &TMainForm::WWW1Click);
    EmailtoBrenmar1 = AddItem(KolvexOnTheInternet1, QStringLiteral("E-mail to Brenmar"),
                              &TMainForm::EmailtoBrenmar1Click);
    KolvexOnTheInternet1->addSeparator();
    brenmarhomepage1 = AddItem(KolvexOnTheInternet1, QStringLiteral("Brenmar Home Page"),
                               &TMainForm::brenmarhomepage1Click);

    CreateTestMenu();
}

void TMainForm::CreateTestMenu() {
    Test1 = menuBar()->addMenu(QStringLiteral("&Test"));
    CreatePlayfieldMapwindowMenuItem = AddItem(Test1, QStringLiteral("Create playfield map window"),
                                               &TMainForm::CreatePlayfieldMapwindowMenuItemClick);
    CreatePlayfieldMapwindowMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M));
    CreateFillMapWindowMenuItem = Test1->addAction(QStringLiteral("Create fill-map window"));
    CreateFallMapWindowMenuItem = Test1->addAction(QStringLiteral("Create fall-map window"));
    Showgameparamswindow1 = AddItem(Test1, QStringLiteral("Show game params window"),
                                    &TMainForm::Showgameparamswindow1Click);
    SaveDemoDataMenuItem =
        AddItem(Test1, QStringLiteral("Save demo data"), &TMainForm::SaveDemoDataMenuItemClick);
    SaveDemoDataMenuItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    Speedy1 = AddItem(Test1, QStringLiteral("Fast"), &TMainForm::Speedy1Click);
    Speedy1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    Test1->menuAction()->setVisible(false);
    // A hidden menu's items take no shortcuts: the window carries them as well.
    addActions({CreatePlayfieldMapwindowMenuItem, SaveDemoDataMenuItem, Speedy1});
}

// --- Menu state --------------------------------------------------------------

int TMainForm::CheckedIndex(const std::array<QAction*, 3>& items) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

int TMainForm::SelectedPlayers() {
    const int i = CheckedIndex(PlayersItems);
    return i < 0 ? -1 : i + 1;
}

uint8_t TMainForm::SelectedGameType() {
    const int i = CheckedIndex(GameTypeItems);
    if (i < 0) ProjectErrorReporter().ProgramError(QString(), QStringLiteral("7326"));
    return static_cast<uint8_t>(i);
}

int TMainForm::SelectedLevel() {
    for (size_t i = 0; i < LevelItems.size(); ++i)
        if (LevelItems[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void TMainForm::CheckPlayersItem(int players) {
    if (players >= 1 && players <= 3)
        PlayersItems[static_cast<size_t>(players - 1)]->setChecked(true);
}

void TMainForm::CheckLevelItem(int level) {
    if (level >= 0 && level <= 4) LevelItems[static_cast<size_t>(level)]->setChecked(true);
}

bool TMainForm::IsMouseControlEnabled() {
    return MouseControlPossibilityEnabledMenuItem->isChecked();
}

bool TMainForm::IsLevelIncreaseDisabled() {
    return DisablelevelincreaseMenuItem->isChecked();
}

bool TMainForm::IsGameRunning() const {
    return FSession && FSession->IsActive();
}

bool TMainForm::IsShowPanelVisible() const {
    return ShowForm->IsShowPanelVisible();
}

void TMainForm::UpdateMenus() {
    const bool running = IsGameRunning();
    const bool idle = !running && !FMenuBusy;
    const bool titleFree = idle && !IsShowPanelVisible();
    NewGameItem->setEnabled(!running);
    ShowOptionsItem->setEnabled(idle);
    GametypeItem->setEnabled(idle);
    ShowCreditsItem->setEnabled(titleFree);
    ShowTopscoresItem->setEnabled(titleFree);
    DemoItem->setEnabled(titleFree);
    ReplayItem->setEnabled(titleFree && FDemoForm && FDemoForm->HasLastGame());
    SaveReplayAsMenuItem->setEnabled(ReplayItem->isEnabled());
    OpenMenuItem->setEnabled(!running);
    StartOldGameMenuItem->setEnabled(!running);
}

// --- The frame and the title menu ----------------------------------------------

void TMainForm::ShowLevel(int level) {
    FCurrentLevel = level;
    // Hidden while it moves: hiding takes it off the picture and the screen
    // at once, where a move would leave the old place to a later repaint.
    LevelMark->SetVisible(false);
    LevelMark->SetLeft(30 * level + 24);
    LevelMark->SetVisible(level < 5);
    PlusLabel->SetVisible(!LevelMark->Visible());
}

void TMainForm::FormResize() {
    const QSize client = ClientSize();
    FramePanelComponent->move(client.width() / 2 - FramePanelComponent->width() / 2,
                              client.height() / 2 - FramePanelComponent->height() / 2);
}

void TMainForm::FrameResized() {
    const QSize client = ClientSize();
    if (client.width() < FramePanelComponent->width())
        SetClientSize(FramePanelComponent->width(), client.height());
    FormResize();
}

void TMainForm::HideMenu() {
    TitleMenu->TintleTimer().SetActive(false);
    FMenuBusy = true;
    Application::ProcessMessages();
    UpdateMenus();
}

void TMainForm::ShowMenu() {
    MenuPanel()->setEnabled(true);
    MenuPanel()->SetVisible(true);
    TitleMenu->TintleTimer().SetActive(true);
    FMenuBusy = false;
    UpdateMenus();
}

void TMainForm::HideMenuPanel() {
    if (!MenuPanel()->Visible()) return;
    MenuPanel()->SetVisible(false);
    MenuPanel()->setEnabled(false);
    TitleMenu->HideHighlights();
}

void TMainForm::MenuPanelFirstShow() {
    FramePanelComponent->OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int, int) {
        if (MenuPanel()->Visible()) TitleMenu->Highlight(tcStart);
    };
    ShowLevel(0);
}

void TMainForm::ActivateChoice(TTitleChoice choice) {
    switch (choice) {
    case tcStart:
        RequestStart(TStart::NewGame);
        break;
    case tcTopScores:
    case tcCredits:
        HideMenu();
        try {
            if (choice == tcTopScores)
                ShowForm->ShowTopScores();
            else
                ShowForm->ShowCredits();
        } catch (...) {
            ShowMenu();
            throw;
        }
        ShowMenu();
        RunPendingStart();
        break;
    }
}

// --- Sessions ----------------------------------------------------------------

void TMainForm::NewSession() {
    delete FSession;
    FSession = nullptr;
    auto* session = new TSessionCoordinator(this, this);
    FSession = session;
    auto* supplier = new TBrickSupplier(session);
    auto* view = new TBrickSupplierView(session, *FGfx, NextBrickImage);
    view->SetSupplier(supplier);
    session->SetSupplier(supplier);
    session->SetNextBrickView(view);
    // The session keeps a copy of the frame's picture to put back at its
    // end; the mark is composed into that picture and would stay behind in
    // the copy. The game shows it again when its first round begins.
    LevelMark->SetVisible(false);
    session->StartSession(SelectedLevel(), SelectedPlayers());
}

void TMainForm::StartNewGame() {
    HideMenu();
    if (FDemoForm)
        FDemoForm->BeginNewGame();
    else
        Randomize();
    NewSession();
}

void TMainForm::RequestStart(TStart start, const QString& fileName) {
    if (IsGameRunning() || FMenuBusy) {
        // The frame is taken: the start follows when the title menu is back.
        FPendingStart = start;
        FPendingFile = fileName;
        if (IsGameRunning())
            FSession->StopAll();
        else if (!FEndingGame)
            RequestAbort();
        return;
    }
    StartNow(start, fileName);
}

void TMainForm::StartNow(TStart start, const QString& fileName) {
    if (start == TStart::NewGame)
        StartNewGame();
    else if (start == TStart::OldGame)
        StartOldGame(fileName);
}

void TMainForm::RunPendingStart() {
    const TStart start = FPendingStart;
    const QString fileName = FPendingFile;
    FPendingStart = TStart::None;
    FPendingFile.clear();
    if (start != TStart::None) StartNow(start, fileName);
}

void TMainForm::NewGameItemClick() {
    RequestStart(TStart::NewGame);
}

void TMainForm::GameEnded() {
    // Posted: the session that calls this is still inside its last game's step.
    QCoreApplication::postEvent(this, new QEvent(gameEnded));
}

void TMainForm::HandleGameEnded() {
    FEndingGame = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FEndingGame};
    NextBrickImage->SetVisible(false);
    const bool replayed = FDemoForm && FDemoForm->IsReplaying();
    if (FDemoForm) FDemoForm->EndOfGame();
    try {
        AskForNames(replayed);
    } catch (...) {
        ShowMenu();
        throw;
    }
    ShowMenu();
    RunPendingStart();
}

void TMainForm::AskForNames(bool replayed) {
    // A replay or the demo is somebody's old game: it never enters the list.
    if (!FSession || replayed) return;
    std::vector<TGameForm*> games;
    for (int i = 0; i < FSession->Count(); ++i) {
        TGameForm* game = FSession->GetGame(i);
        if (!game->TheGame().StopRequested()) games.push_back(game);
    }
    // Lowest score first; players with equal scores are both asked.
    std::stable_sort(games.begin(), games.end(),
                     [](TGameForm* a, TGameForm* b) { return a->Score() < b->Score(); });
    bool entered = false;
    for (TGameForm* game : games) {
        const int index = FSession->Count() >= 2 ? game->GameIndex() : -1;
        if (ShowForm->EnterName(index, game->Score())) entered = true;
        if (Application::Terminated()) return;
    }
    if (!entered) return;
    ShowForm->ShowTopScores();
    WaitSeconds(10000);
}

void TMainForm::ShowRoundMessage(TGameForm* game, uint8_t gameType) {
    TGfxPanel* panel = game ? game->GamePanel() : nullptr;
    if (gameType == gtClean)
        ShowForm->ShowCleaned(panel);
    else
        ShowForm->ShowTimeRound(panel);
}

void TMainForm::WaitForUser(int seconds) {
    WaitSeconds(seconds);
}

// --- Menu commands -------------------------------------------------------------

QString TMainForm::DemoFileName() {
    const QString here = QDir::current().filePath(DemoFile);
    if (QFileInfo::exists(here)) return here;
    const QString beside = Folders::ProgramFolder() + DemoFile;
    if (QFileInfo::exists(beside)) return beside;
    return QString();
}

void TMainForm::DemoItemClick() {
    if (!FDemoForm) return;
    HideMenu();
    const QString file = DemoFileName();
    try {
        if (file.isEmpty())
            throw EReplayFileError(
                QStringLiteral("The demo recording \"%1\" is neither in the current folder nor "
                               "beside the program.")
                    .arg(DemoFile));
        if (!FDemoForm->BeginDemo(file)) {
            ShowMenu();
            return;
        }
    } catch (const Exception& e) {
        // Without its recording there is no demo, but the title menu comes back.
        Dialogs::Current().Message(DialogKind::Information, e.Message(), dbOK);
        ShowMenu();
        return;
    }
    NewSession();
}

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
    const QString file = Dialogs::Current().SaveFileName(
        QStringLiteral("Save Replay As"), ReplayFilter, QString(), QStringLiteral("rep"));
    TakeKeyboardBack();
    if (file.isEmpty()) return;
    FDemoForm->SaveRecording(file);
}

void TMainForm::OpenMenuItemClick() {
    if (!FDemoForm) return;
    const QString file =
        Dialogs::Current().OpenFileName(QStringLiteral("Load Replay"), ReplayFilter, QString());
    TakeKeyboardBack();
    if (file.isEmpty()) return;
    const QString extension = QFileInfo(file).suffix().toLower();
    if (extension == QLatin1String("rep")) {
        FDemoForm->LoadLastGame(file);
    } else if (extension != QLatin1String("kvx")) {
        Dialogs::Current().Message(
            DialogKind::Information,
            QStringLiteral("\"%1\" is not a Kolvex replay.\r\nKolvex replays are files with the "
                           "extension \".rep\".")
                .arg(QFileInfo(file).fileName()),
            dbOK);
        return;
    }
    UpdateMenus();
}

void TMainForm::StartOldGameMenuItemClick() {
    if (!FDemoForm) return;
    const QString file =
        Dialogs::Current().OpenFileName(QStringLiteral("Start old game"), ReplayFilter, QString());
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

void TMainForm::TakeKeyboardBack() {
    // Where no window manager hands the focus back after a dialog, the
    // window takes it itself: the game's keys and shortcuts need it.
    if (isVisible()) activateWindow();
}

void TMainForm::ShowOptionsItemClick() {
    if (FOptionsForm) FOptionsForm->ShowModal();
    TakeKeyboardBack();
}

void TMainForm::InfoTheRulesMenuItemClick() {
    TRulesForm::ShowRules(this);
    TakeKeyboardBack();
}

void TMainForm::ShowReadMertffile1Click() {
    Desktop::OpenAddress(Folders::ProgramFolder() + QStringLiteral("ReadMe.rtf"));
}

void TMainForm::OpenWebPage(const QString& address) {
    if (Desktop::OpenAddress(QStringLiteral("http://") + address)) return;
    ErrorReporter().Inform(QStringLiteral("Unable to start your internet browser. \nThe address "
                                          "containing the information is \"%1\".")
                               .arg(address),
                           QString());
}

void TMainForm::WWW1Click() {
    OpenWebPage(KolvexHomePage);
}

void TMainForm::brenmarhomepage1Click() {
    OpenWebPage(BrenmarHomePage);
}

void TMainForm::EmailtoBrenmar1Click() {
    if (Desktop::OpenAddress(QStringLiteral("mailto:") + BrenmarMail +
                             QStringLiteral("?subject=Kolvex")))
        return;
    ErrorReporter().Inform(QStringLiteral("Unable to start your mail program. The e-mail address "
                                          "is \"%1\".")
                               .arg(BrenmarMail),
                           QString());
}

void TMainForm::CreatePlayfieldMapwindowMenuItemClick() {
    if (!FSession || FSession->Count() == 0) return;
    auto* view =
        new TPlayfieldView(FDataModule ? &FDataModule->PlayfieldChangedBroadcaster : nullptr, this);
    view->SetGame(FSession->GetGame(0));
    view->show();
}

void TMainForm::Showgameparamswindow1Click() {
    if (FGameParams) FGameParams->show();
}

void TMainForm::SaveDemoDataMenuItemClick() {
    if (FDemoForm) FDemoForm->SaveRecording(DemoFile);
}

void TMainForm::Speedy1Click() {
    if (!FSession) return;
    for (int i = 0; i < FSession->Count(); ++i)
        if (TGfxPanel* panel = FSession->GetGame(i)->GamePanel()) panel->SetFramesPerSec(1000);
}

// --- Events ------------------------------------------------------------------

bool TMainForm::event(QEvent* event) {
    if (event->type() == gameEnded) {
        RunGuarded([this] { HandleGameEnded(); });
        return true;
    }
    if (event->type() == firstShow) {
        RunGuarded([this] { FormShow(); });
        return true;
    }
    return TBrenmarMMForm::event(event);
}

void TMainForm::showEvent(QShowEvent* event) {
    TBrenmarMMForm::showEvent(event);
    if (!FFirstShow) return;
    FFirstShow = false;
    QCoreApplication::postEvent(this, new QEvent(firstShow));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Every wait of the program ends, and the main loop with them.
    Application::Terminate();
    TBrenmarMMForm::closeEvent(event);
}

void TMainForm::FormShow() {
    try {
        ApplySettings(FGfx);
        ShowMenu();
    } catch (const EAbort&) {
        throw;
    } catch (...) {
        ProjectErrorReporter().RuntimeError(QStringLiteral("Failed during init"),
                                            QStringLiteral("TMainForm.FormShow"));
    }
}

bool TMainForm::HandleKey(int virtualKey) {
    if (TWiper::AnyWipeRunning()) {
        RequestSkip();
        return true;
    }
    if (SelectedPlayers() == 1 && FMouseControl) FMouseControl->SetForm(nullptr);
    // Only a session in play takes keys: a finished one must not eat the
    // letters of a name being typed.
    if (FSession && FSession->IsActive() && FSession->KeyDown(virtualKey)) return true;
    switch (virtualKey) {
    case VK_RETURN:
    case VK_SPACE:
        if (IsShowPanelVisible()) {
            RequestSkip();
            ShowForm->NameEdit->hide();
        } else if (Waiting()) {
            RequestSkip();
        } else if (!FMenuBusy) {
            ActivateChoice(TitleMenu->Highlighted());
        }
        return true;
    case VK_ESCAPE: {
        if (FullScreen()) {
            BackToWindow();
            return true;
        }
        const bool replaying = FDemoForm && FDemoForm->IsReplaying();
        if (FSession && (FSession->RunningCount() > 0 || replaying))
            FSession->StopAll();
        else if (IsShowPanelVisible())
            RequestAbort();
        return true;
    }
    // The arrows go on to the key state as well: they are the first player's keys.
    case VK_UP:
        if (!FMenuBusy) TitleMenu->MoveUp();
        return false;
    case VK_DOWN:
        if (!FMenuBusy) TitleMenu->MoveDown();
        return false;
    default:
        return false;
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Keys are taken where they reach the window, before the menu bar or a
    // focused child can swallow them; so the window sees every key first,
    // as a form with key preview does.
    if (event->type() == QEvent::KeyPress && watched == static_cast<QObject*>(windowHandle())) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats; the game reads held keys itself.
        if (key->isAutoRepeat()) return false;
        bool used = false;
        RunGuarded([&] { used = HandleKey(KeyState::VirtualKeyOf(key->key())); });
        if (used) return true;
    }
    return TBrenmarMMForm::eventFilter(watched, event);
}
