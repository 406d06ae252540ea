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
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "platform/OutOfSightFreeze.h"
#include "ui/FocusPause.h"
#include "ui/FrameParts.h"
#include "ui/GameFiles.h"
#include "ui/HelpLinks.h"
#include "ui/KeyHelp_KX.h"
#include "ui/KolvexDM.h"
#include "ui/PlayfieldViewF_KX.h"
#include "ui/RulesF.h"
#include "ui/SessionEnd.h"
#include "ui/ShowF.h"
#include "ui/WindowScale.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace {
const QEvent::Type gameEnded = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type firstShow = static_cast<QEvent::Type>(QEvent::registerEventType());
} // namespace

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
    FSizer = new TWindowSizer(this, FramePanelComponent, OptionsMenu, Fullscreenesccancels1);
    FSizer->Start();
    ArmSkip();
    ClearSkip();
    UpdateMenus();
    QCoreApplication::instance()->installEventFilter(this);
    new TFocusPause(this, [this] {
        if (Settings().PauseOnFocusLoss && IsGameRunning()) FSession->PauseAll();
    });
    new OutOfSightFreeze(this);
}

TMainForm::~TMainForm() {
    QCoreApplication::instance()->removeEventFilter(this);
    // The window loses the focus as it goes: no pause of a session half gone.
    delete findChild<TFocusPause*>(QString(), Qt::FindDirectChildrenOnly);
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
    using namespace FrameParts;
    TGfxPanel* frame = MakeFramePanel(ClientArea(), *FGfx);
    FramePanelComponent = frame;
    LevelMark = MakeLevelMark(frame);
    for (int i = 0; i < 5; ++i)
        LevelLabels[static_cast<size_t>(i)] = MakeLevelLabel(frame, i);
    PlusLabel = MakePlusLabel(frame);
    NextBrickImage = MakeNextBrickImage(frame);
    RowsSpriteComponent = MakeMarker(frame, QStringLiteral("RowsSprite"), 4);
    TimeSpriteComponent = MakeMarker(frame, QStringLiteral("TimeSprite"), 180);

    TitleMenu = std::make_unique<TTitleMenu>(
        frame, KeyHelp::OnMenuPicture(FGfx->MenuImage(), Settings().Keys));
    TitleMenu->MenuPanel->setObjectName(QStringLiteral("MenuPanel"));
    TitleMenu->OnActivate = [this](TTitleChoice choice) { ActivateChoice(choice); };
    TitleMenu->OnFirstShow = [this] { MenuPanelFirstShow(); };
}

TGfxPanel* TMainForm::MenuPanel() const {
    return TitleMenu->MenuPanel;
}

void TMainForm::CreateMenus() {
    BuildMenus(menuBar(), this);
    using Command = void (TMainForm::*)();
    const std::pair<QAction*, Command> commands[] = {
        {NewGameItem, &TMainForm::NewGameItemClick},
        {DemoItem, &TMainForm::DemoItemClick},
        {ReplayItem, &TMainForm::ReplayItemClick},
        {SaveReplayAsMenuItem, &TMainForm::SaveReplayAsMenuItemClick},
        {OpenMenuItem, &TMainForm::OpenMenuItemClick},
        {StartOldGameMenuItem, &TMainForm::StartOldGameMenuItemClick},
        {ShowOptionsItem, &TMainForm::ShowOptionsItemClick},
        {InfoTheRulesMenuItem, &TMainForm::InfoTheRulesMenuItemClick},
        {ShowReadMertffile1, &TMainForm::ShowReadMertffile1Click},
        {WWW1, &TMainForm::WWW1Click},
        {EmailtoBrenmar1, &TMainForm::EmailtoBrenmar1Click},
        {brenmarhomepage1, &TMainForm::brenmarhomepage1Click},
        {CreatePlayfieldMapwindowMenuItem, &TMainForm::CreatePlayfieldMapwindowMenuItemClick},
        {Showgameparamswindow1, &TMainForm::Showgameparamswindow1Click},
        {SaveDemoDataMenuItem, &TMainForm::SaveDemoDataMenuItemClick},
        {Speedy1, &TMainForm::Speedy1Click},
    };
    for (const auto& [item, handler] : commands)
        connect(item, &QAction::triggered, this,
                [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
    connect(ShowTopscoresItem, &QAction::triggered, this,
            [this] { RunGuarded([this] { ActivateChoice(tcTopScores); }); });
    connect(ShowCreditsItem, &QAction::triggered, this,
            [this] { RunGuarded([this] { ActivateChoice(tcCredits); }); });
    connect(Exit1, &QAction::triggered, this, [this] { close(); });
    connect(Fullscreenesccancels1, &QAction::triggered, this, [this] { GoFullScreen(); });
    // A hidden menu's items take no shortcuts: the window carries them as well.
    addActions(
        {CreatePlayfieldMapwindowMenuItem, Showgameparamswindow1, SaveDemoDataMenuItem, Speedy1});
}

// --- Menu state --------------------------------------------------------------

int TMainForm::SelectedPlayers() {
    return CheckedPlayers();
}

uint8_t TMainForm::SelectedGameType() {
    const int i = CheckedGameType();
    if (i < 0) ProjectErrorReporter().ProgramError(QString(), QStringLiteral("7326"));
    return static_cast<uint8_t>(i);
}

int TMainForm::SelectedLevel() {
    return CheckedLevel();
}

void TMainForm::CheckPlayersItem(int players) {
    CheckPlayers(players);
}

void TMainForm::CheckLevelItem(int level) {
    CheckLevel(level);
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
    EnableMenus(
        {IsGameRunning(), FMenuBusy, IsShowPanelVisible(), FDemoForm && FDemoForm->HasLastGame()});
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
    if (FSizer) FSizer->FollowClient();
}

void TMainForm::FrameResized() {
    // The window follows the frame both ways: after a two-player session it
    // goes back to one player's width, with nothing of the other frame left.
    FSizer->Fit();
    // The frame changes as a session takes it: from here on the games run,
    // and the items that would pull the recording from under them are shut.
    UpdateMenus();
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

void TMainForm::FollowColourMarks() {
    FGfx->SetColourMarks(Settings().MarkColours);
    TGfxPanel* menu = MenuPanel();
    menu->SetPicture(KeyHelp::OnMenuPicture(FGfx->MenuImage(), Settings().Keys));
    // A shown title erases its sparkles back to the new picture, not the old.
    if (!menu->BackgroundCopy().isNull()) menu->SaveBackground();
}

void TMainForm::NewSession() {
    delete FSession;
    FSession = nullptr;
    FollowColourMarks();
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
    UpdateMenus();
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
    WriteResults();
    try {
        ShowWinner(FSession, *ShowForm);
        AskForNames(FSession, *ShowForm, replayed);
    } catch (...) {
        ShowMenu();
        throw;
    }
    ShowMenu();
    RunPendingStart();
}

void TMainForm::WriteResults() {
    if (FResultsFile.isEmpty()) return;
    if (!SessionResults::AppendTo(FResultsFile, SessionResults::Collect(FSession)))
        qWarning("kolvex: cannot append the results to %s", qPrintable(FResultsFile));
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

void TMainForm::DemoItemClick() {
    if (!FDemoForm) return;
    HideMenu();
    const QString file = GameFiles::DemoFileName();
    try {
        if (file.isEmpty()) throw EReplayFileError(GameFiles::DemoMissingMessage());
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

void TMainForm::TakeKeyboardBack() {
    // Where no window manager hands the focus back after a dialog, the
    // window takes it itself: the game's keys and shortcuts need it.
    if (isVisible()) activateWindow();
}

void TMainForm::ShowOptionsItemClick() {
    if (FOptionsForm && FOptionsForm->ShowModal()) FollowColourMarks();
    TakeKeyboardBack();
}

void TMainForm::InfoTheRulesMenuItemClick() {
    TRulesForm::ShowRules(this);
    TakeKeyboardBack();
}

void TMainForm::ShowReadMertffile1Click() {
    HelpLinks::OpenReadMe(this, Settings().Keys);
}

void TMainForm::WWW1Click() {
    HelpLinks::OpenWebPage(HelpLinks::KolvexHomePage);
}

void TMainForm::brenmarhomepage1Click() {
    HelpLinks::OpenWebPage(HelpLinks::BrenmarHomePage);
}

void TMainForm::EmailtoBrenmar1Click() {
    HelpLinks::WriteMail();
}

void TMainForm::CreatePlayfieldMapwindowMenuItemClick() {
    if (!FSession || FSession->Count() == 0) return;
    auto* view =
        new TPlayfieldView(FDataModule ? &FDataModule->PlayfieldChangedBroadcaster : nullptr, this);
    view->SetGame(FSession->GetGame(0));
    view->SetColourMarks(*FGfx, FSession->GetGame(0)->ColourMarked());
    view->show();
}

void TMainForm::Showgameparamswindow1Click() {
    if (FGameParams) FGameParams->show();
}

void TMainForm::SaveDemoDataMenuItemClick() {
    if (FDemoForm) FDemoForm->SaveRecording(GameFiles::DemoFile);
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
        FollowColourMarks();
        ShowMenu();
    } catch (const EAbort&) {
        throw;
    } catch (...) {
        ProjectErrorReporter().RuntimeError(QStringLiteral("Failed during init"),
                                            QStringLiteral("TMainForm.FormShow"));
    }
}

bool TMainForm::HandleKey(int virtualKey, int scanCode) {
    if (TWiper::AnyWipeRunning()) {
        RequestSkip();
        return true;
    }
    if (SelectedPlayers() == 1 && FMouseControl) FMouseControl->SetForm(nullptr);
    // Only a session in play takes keys: a finished one must not eat the
    // letters of a name being typed.
    if (FSession && FSession->IsActive() && FSession->KeyDown(scanCode)) return true;
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
        // A name being typed is cancelled first, in full screen too.
        if (ShowForm->NameEntryOpen()) {
            ShowForm->CancelNameEntry();
            return true;
        }
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
        RunGuarded([&] {
            used = HandleKey(KeyState::VirtualKeyOf(key->key()), KeyState::ScanCodeOf(*key));
        });
        if (used) return true;
    }
    return TBrenmarMMForm::eventFilter(watched, event);
}
