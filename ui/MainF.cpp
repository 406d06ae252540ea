#include "ui/MainF.h"

#include "flow/BrickSupplierV_KX.h"
#include "flow/GfxF.h"
#include "flow/MouseControl_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "model/BrickSupplier_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/KeyState.h"
#include "resources/Resources_KX.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace {
const QEvent::Type gameEnded = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type firstShow = static_cast<QEvent::Type>(QEvent::registerEventType());

constexpr int FrameWidth = 192;
constexpr int FrameHeight = 416;

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
    SetClientSize(FrameWidth, FrameHeight);
    ArmSkip();
    ClearSkip();
    UpdateMenus();
    QCoreApplication::instance()->installEventFilter(this);
}

TMainForm::~TMainForm() {
    // The games go before the frame their panels sit on.
    delete FSession;
    FSession = nullptr;
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
    NewGameItem = GameMenu->addAction(QStringLiteral("&New"));
    connect(NewGameItem, &QAction::triggered, this,
            [this] { RunGuarded([this] { NewGameItemClick(); }); });
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
    DisablelevelincreaseMenuItem =
        OptionsMenu->addAction(QStringLiteral("&Disable level increase"));
    DisablelevelincreaseMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem =
        OptionsMenu->addAction(QStringLiteral("Mouse control possible"));
    MouseControlPossibilityEnabledMenuItem->setCheckable(true);
    MouseControlPossibilityEnabledMenuItem->setChecked(false);
    MouseControlPossibilityEnabledMenuItem->setVisible(false);
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

void TMainForm::UpdateMenus() {
    const bool running = IsGameRunning();
    NewGameItem->setEnabled(!running);
    GametypeItem->setEnabled(!running);
}

// --- The frame ---------------------------------------------------------------

void TMainForm::ShowLevel(int level) {
    FCurrentLevel = level;
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

void TMainForm::HideMenuPanel() {}

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
    UpdateMenus();
    session->StartSession(SelectedLevel(), SelectedPlayers());
    UpdateMenus();
}

void TMainForm::StartNewGame() {
    if (FDemoForm)
        FDemoForm->BeginNewGame();
    else
        Randomize();
    NewSession();
}

void TMainForm::NewGameItemClick() {
    if (IsGameRunning()) {
        FNewGamePending = true;
        FSession->StopAll();
        return;
    }
    StartNewGame();
}

void TMainForm::GameEnded() {
    // Posted: the session that calls this is still inside its last game's step.
    QCoreApplication::postEvent(this, new QEvent(gameEnded));
}

void TMainForm::HandleGameEnded() {
    NextBrickImage->SetVisible(false);
    if (FDemoForm) FDemoForm->EndOfGame();
    UpdateMenus();
    if (FNewGamePending) {
        FNewGamePending = false;
        StartNewGame();
    }
}

void TMainForm::ShowRoundMessage(TGameForm*, uint8_t) {
    ClearSkip();
    WaitSeconds(3);
}

void TMainForm::WaitForUser(int seconds) {
    WaitSeconds(seconds);
}

// --- Events ------------------------------------------------------------------

bool TMainForm::event(QEvent* event) {
    if (event->type() == gameEnded) {
        HandleGameEnded();
        return true;
    }
    if (event->type() == firstShow) {
        FormShow();
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

void TMainForm::FormShow() {
    try {
        ApplySettings(FGfx);
        ShowLevel(0);
        UpdateMenus();
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
    if (FSession && FSession->KeyDown(virtualKey)) return true;
    switch (virtualKey) {
    case VK_RETURN:
    case VK_SPACE:
        if (Waiting()) RequestSkip();
        return true;
    case VK_ESCAPE: {
        if (FullScreen()) {
            BackToWindow();
            return true;
        }
        const bool replaying = FDemoForm && FDemoForm->IsReplaying();
        if (FSession && (FSession->RunningCount() > 0 || replaying)) FSession->StopAll();
        return true;
    }
    default:
        return false;
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Keys are taken where they reach the window, before the menu bar or a
    // focused child can swallow them.
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
