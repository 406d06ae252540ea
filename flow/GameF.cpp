#include "flow/GameF.h"

#include "flow/ActionCollector_KX.h"
#include "flow/GameHostInterface.h"
#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "flow/MouseControl_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/RasterOps.h"
#include "gfx/Sprite.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "model/BrickSupplier_KX.h"
#include "model/Bricks.h"
#include "model/KolvexPlayer.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "platform/Dialogs.h"
#include "sound/Sound_KX.h"

#include <algorithm>

namespace {
constexpr int Cell = TGameForm::CellSize;

// The quotient by 16 rounded down and up, also for negative pixel values.
int FloorCell(int pixels) {
    return pixels >= 0 ? pixels / Cell : -((-pixels + Cell - 1) / Cell);
}
int CeilCell(int pixels) {
    return pixels >= 0 ? (pixels + Cell - 1) / Cell : -((-pixels) / Cell);
}

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

// Bounce tables of a falling area: the pixels added to its top, frame by frame.
constexpr int T1[8] = {1, 2, 3, 5, 5, -1, 0, 1};
constexpr int T2[22] = {1, 2, 3, 5, 6, 7, 8, -3, -2, -1, 0, 1, 2, 3, -2, -1, 0, 1, 2, -1, 0, 1};
constexpr int T3[33] = {1, 2,  3,  5,  6, 7, 8, 8, 8,  -4, -3, -2, -1, 0,  1, 2, 3,
                        4, -3, -2, -1, 0, 1, 2, 3, -2, -1, 0,  1,  2,  -1, 0, 1};
constexpr int T4[46] = {1,  2,  3, 4, 5, 6, 7,  8,  9,  9,  10, -6, -4, -3, -2, -1,
                        0,  1,  2, 3, 4, 6, -4, -3, -2, -1, 0,  1,  2,  3,  4,  -3,
                        -2, -1, 0, 1, 2, 3, -2, -1, 0,  1,  2,  -1, 0,  1};

// The Speed round is completed at these scores, counted from the starting level.
constexpr int32_t SpeedTargets[7] = {1000, 2500, 5000, 7500, 10000, 12000, 14000};

// Seconds the Time game allows for a round, by level.
constexpr int TimeAllowance[8] = {10, 15, 18, 20, 21, 22, 23, 25};
constexpr int TimeTicksPerSecond = 20;

// The frame panel's coordinates of the well, where the Time markers move.
constexpr int WellTop = 80;
constexpr int WellBottom = 400;

const QEvent::Type stepRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

int Place(int x, int y) {
    return x * TPlayfield::Rows + y;
}
} // namespace

QEvent::Type TGameForm::StepRequestEvent() {
    return stepRequest;
}

// --- Creation ----------------------------------------------------------------

TGameForm::TGameForm(TSessionCoordinator* coordinator, int gameIndex)
    : FCoordinator(coordinator), FGameIndex(gameIndex) {
    setObjectName(QStringLiteral("GameForm%1").arg(gameIndex));
    CreateComponents();

    // The first player's panel is the rightmost, each further one 192 pixels to its left.
    const int players = std::max(1, Host()->SelectedPlayers());
    FGamePanel->move(16 + (players - FGameIndex - 1) * (PanelWidth + 32), 80);
}

void TGameForm::CreateComponents() {
    TGfxForm& gfx = Gfx();

    FTheGame = std::make_unique<TbmGameController>();
    FTheGame->OnInitGame = [this](QObject* s) { TheGameInitGame(s); };
    FTheGame->OnInitRound = [this](QObject* s) { TheGameInitRound(s); };
    FTheGame->OnInitTry = [this](QObject* s) { TheGameInitTry(s); };
    FTheGame->OnPerform = [this](QObject* s) { TheGamePerform(s); };
    FTheGame->OnTestGameOver = [this](QObject* s, bool& r) { TheGameTestGameOver(s, r); };
    FTheGame->OnGameOver = [this](QObject* s) { TheGameGameOver(s); };
    FTheGame->OnGameFinished = [this](QObject* s) { TheGameGameFinished(s); };
    FTheGame->AfterRound = [this](QObject* s) { TheGameAfterRound(s); };
    FTheGame->OnRoundCompleted = [this](QObject* s) { TheGameRoundCompleted(s); };

    FTimeTicker = std::make_unique<ClockTimer>([this] { TimeTickerTimer(); });
    FTimeTicker->SetInterval(50);

    // The playfield panel lives on the main window's frame panel.
    FGamePanel = new TGfxPanel(Host()->FramePanel());
    FGamePanel->setObjectName(QStringLiteral("GamePanel"));
    FGamePanel->Wiper().SetWipeType(wtPlait);
    FGamePanel->Wiper().SetBlockSize(40);
    FGamePanel->Wiper().SetFrameCount(20);
    FGamePanel->SetColor(Qt::black);
    FGamePanel->SetVisible(false);
    FGamePanel->setGeometry(16, 80, PanelWidth, PanelHeight);
    FGamePanel->OnShow = [this](QObject* s) { GamePanelShow(s); };
    FGamePanel->OnMouseDown = [this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                     int y) { GamePanelMouseDown(s, b, m, x, y); };
    FGamePanel->OnMouseMove = [this](QObject* s, Qt::KeyboardModifiers m, int x, int y) {
        GamePanelMouseMove(s, m, x, y);
    };
    FGamePanel->SetPicture(gfx.GameBackground());

    // Templates of the cell animations.
    FZapSprite1 = std::make_unique<TSprite>(nullptr);
    FZapSprite1->SetPicture(gfx.Zap());
    FZapSprite1->SetTransparent(true);
    FTeleportSprite = std::make_unique<TSprite>(nullptr);
    FTeleportSprite->SetPicture(gfx.Zap());
    FTeleportSprite->SetTransparent(true);

    FFallSprite = new TSprite(FGamePanel);
    FFallSprite->SetVisible(false);
    FFallSprite->SetEnabled(false);

    FPlayfield = new TPlayfield(this, this);
    FPlayer = new TKolvexPlayer(this, this);
    FStartLevel = 0;
    SetGameType(gtSpeed);

    FBricks = new TBricks(this);
    for (int k = 0; k < TBricks::Count; ++k) {
        const QImage& strip = gfx.BrickType(k);
        const int size = strip.height();
        auto* sprite = new TSprite(FGamePanel);
        sprite->setObjectName(QStringLiteral("SpriteBrickType%1").arg(k));
        sprite->SetVisible(false);
        sprite->SetPicture(strip);
        sprite->SetTransparent(true);
        sprite->SetBounds(0, 0, size, size);
        sprite->Animation().SetFrameCount(4);
        sprite->Animation().SetDelay(-1);
        sprite->Animation().SetCurrentFrame(0);
        sprite->OnMouseDown = [this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                                     int y) { SpriteBrickMouseDown(s, b, m, x, y); };
        sprite->OnMouseMove = [this](QObject* s, Qt::KeyboardModifiers m, int x, int y) {
            SpriteBrickMouseMove(s, m, x, y);
        };
        FSpriteBrickType[static_cast<size_t>(k)] = sprite;
        FBricks->Brick(k)->SetSprite(sprite);
    }

    FBricksImage = QImage(PanelWidth, PanelHeight, QImage::Format_RGB32);
    FBricksImage.fill(Black);
    FMaskImage = QImage(PanelWidth, PanelHeight, QImage::Format_RGB32);
    FMaskImage.fill(White);

    // "Game Over" (or "Paused") as one shadowed text: highlight, shadow, then the red face on top.
    CreateLabel(FGameOverLabel, 1, 105, Qt::white);
    CreateLabel(FLabel2, 3, 107, Qt::black);
    CreateLabel(FLabel3, 2, 106, Qt::red);

    FScoreLabel = new TLabel(FGamePanel);
    FScoreLabel->setObjectName(QStringLiteral("ScoreLabel"));
    FScoreLabel->SetFont(MakeFont(QStringLiteral("Arial"), 13, true, true, Qt::white));
    FScoreLabel->SetBounds(0, 0, PanelWidth, 16);
    FScoreLabel->SetEnabled(false);
    FScoreLabel->SetVisible(false);

    UpdateCursors();
}

void TGameForm::CreateLabel(TLabel*& label, int left, int top, const QColor& color) {
    label = new TLabel(FGamePanel);
    label->SetFont(MakeFont(QStringLiteral("Times New Roman"), 32, true, false, color));
    label->SetAutoSize(false);
    label->SetAlignment(taCenter);
    label->SetBounds(left, top, PanelWidth - 4, 40);
    label->SetCaption(QStringLiteral("Game Over"));
    // Clicks go through to the panel beneath.
    label->SetEnabled(false);
    label->SetVisible(false);
}

TGameForm::~TGameForm() {
    if (FTimeTicker) FTimeTicker->SetActive(false);
    for (TSprite* sprite : FSpriteBrickType)
        if (FGamePanel && sprite) sprite->OnPerform = nullptr;
    // The panel takes its sprites and labels with it.
    delete FGamePanel.data();
}

// --- Access ------------------------------------------------------------------

TGameHostInterface* TGameForm::Host() const {
    return FCoordinator->Host();
}

TGfxForm& TGameForm::Gfx() const {
    return *Host()->GfxForm();
}

QWidget* TGameForm::GamePanelWidget() const {
    return FGamePanel.data();
}

TGfxPanel* TGameForm::GamePanel() const {
    return FGamePanel.data();
}

int32_t TGameForm::Score() const {
    return FPlayer->Score();
}

bool TGameForm::Replaying() const {
    TDemoForm* demo = Host()->DemoForm();
    return demo && demo->IsReplaying();
}

bool TGameForm::MouseControlPossible() const {
    return Host()->MouseControl() && Host()->IsMouseControlEnabled();
}

bool TGameForm::IsMouseForm() const {
    TMouseControl* control = Host()->MouseControl();
    return control && control->Form() == this;
}

int TGameForm::PlayerCount() const {
    return FCoordinator->Count();
}

TSprite* TGameForm::BrickSprite() const {
    return FCurrentBrick ? FCurrentBrick->Sprite() : nullptr;
}

int TGameForm::BrickLeft() const {
    return BrickSprite() ? BrickSprite()->Left() : 0;
}

int TGameForm::BrickTop() const {
    return BrickSprite() ? BrickSprite()->Top() : 0;
}

void TGameForm::SetBrickPos(int left, int top) {
    TSprite* sprite = BrickSprite();
    sprite->SetBounds(left, top, sprite->Width(), sprite->Height());
}

bool TGameForm::ZapLine() const {
    TGameParamsForm* params = Host()->GameParams();
    return params ? params->ZapLines() : true;
}

bool TGameForm::RaiseBobbles() const {
    TGameParamsForm* params = Host()->GameParams();
    return params ? params->RaiseBobbles() : false;
}

TCellTeleporter* TGameForm::Teleporter() const {
    return FCoordinator;
}

// --- Operations for the session ------------------------------------------------

void TGameForm::SetGameType(uint8_t type) {
    switch (type) {
    case gtSpeed:
        FGameType = gtSpeed;
        FTheGame->OnTestRoundCompleted = [this](QObject* s, bool& r) {
            TheGameTestTryCompletedWhenSpeed(s, r);
        };
        break;
    case gtTime:
        FGameType = gtTime;
        FTheGame->OnTestRoundCompleted = [this](QObject* s, bool& r) {
            TheGameTestTryCompletedWhenTime(s, r);
        };
        break;
    case gtClean:
        FGameType = gtClean;
        FTheGame->OnTestRoundCompleted = [this](QObject* s, bool& r) {
            TheGameTestTryCompletedWhenCleaning(s, r);
        };
        break;
    default:
        break;
    }
}

void TGameForm::ShowScore(int32_t score) {
    FScoreLabel->SetCaption(QString::number(score));
    FScoreLabel->SetVisible(true);
}

void TGameForm::ShowPaused(bool on) {
    for (TLabel* label : {FGameOverLabel, FLabel2, FLabel3})
        label->SetCaption(QStringLiteral("Paused"));
    for (TLabel* label : {FGameOverLabel, FLabel2, FLabel3}) {
        label->SetVisible(on);
        Application::ProcessMessages();
    }
}

bool TGameForm::IsPaused() const {
    return FGameOverLabel->Visible() && FGameOverLabel->Caption() == QLatin1String("Paused");
}

// --- Cells -------------------------------------------------------------------

void TGameForm::PaintCellPicture(int x, int y, const QImage& picture) {
    const QRect target(Cell * x, Cell * y, Cell, Cell);
    const QRect source(0, 0, Cell, Cell);
    RasterOps::Blt(FGamePanel->Picture(), target, picture, source, RasterOps::Op::Copy);
    if (!FGamePanel->BackgroundCopy().isNull())
        RasterOps::Blt(FGamePanel->BackgroundCopy(), target, picture, source, RasterOps::Op::Copy);
    RasterOps::Blt(FBricksImage, target, picture, source, RasterOps::Op::Copy);
    RasterOps::Fill(FMaskImage, target, Black);
    FGamePanel->InvalidatePictureRect(target);
}

void TGameForm::DrawCell(int x, int y) {
    const TCell* cell = FPlayfield->GetCell(x, y);
    if (!cell) return;
    if (cell->IsBobble()) {
        PaintCellPicture(x, y, Gfx().GlassImage());
    } else if (cell->Flags & TCell::cfClean) {
        // A clean-mode cell keeps its own look wherever it is drawn again.
        PaintCellPicture(x, y, Gfx().SmallType(8));
    } else if (cell->Colour >= 1 && cell->Colour <= 7) {
        PaintCellPicture(x, y, Gfx().SmallType(cell->Colour));
    }
}

void TGameForm::EraseCell(int x, int y) {
    const QRect target(Cell * x, Cell * y, Cell, Cell);
    const QImage& clean = Gfx().GameBackground();
    if (!FGamePanel->BackgroundCopy().isNull())
        RasterOps::Blt(FGamePanel->BackgroundCopy(), target, clean, target, RasterOps::Op::Copy);
    // The composed picture too, so no part of the cell outlives a sprite
    // that does not cover it exactly.
    RasterOps::Blt(FGamePanel->Picture(), target, clean, target, RasterOps::Op::Copy);
    FGamePanel->InvalidatePictureRect(target);
    RasterOps::Fill(FBricksImage, target, Black);
    RasterOps::Fill(FMaskImage, target, White);
}

void TGameForm::RedrawMarkedCells(int32_t mark) {
    for (int x = 0; x < TPlayfield::Columns; ++x)
        for (int y = 0; y < TPlayfield::Rows; ++y) {
            const TCell* cell = FPlayfield->GetCell(x, y);
            if (cell && cell->Mark == mark) DrawCell(x, y);
        }
}

// --- Collision tests ---------------------------------------------------------

bool TGameForm::BrickCollides(int column, int row, int orientation) const {
    const TBrick& brick = *FCurrentBrick;
    for (int j = 0; j < brick.Height(); ++j)
        for (int i = 0; i < brick.Width(); ++i) {
            if (!brick.HasCellAt(i, j, orientation)) continue;
            const int x = column + i;
            const int y = row + j;
            if (x < 0 || x >= TPlayfield::Columns || y >= TPlayfield::Rows) return true;
            if (FPlayfield->IsOccupied(x, y)) return true;
        }
    return false;
}

bool TGameForm::CanFall() const {
    const int o = FCurrentBrick->Orientation();
    const int row = CeilCell(BrickTop() + FFallPixels + 1);
    return !BrickCollides(FloorCell(BrickLeft()), row, o) &&
           !BrickCollides(CeilCell(BrickLeft()), row, o);
}

bool TGameForm::CanMoveLeft() const {
    const int shown = BrickSprite()->Animation().CurrentFrame();
    const int column = BrickLeft() / Cell - 1;
    return !BrickCollides(column, BrickTop() / Cell, shown) &&
           !BrickCollides(column, CeilCell(BrickTop()), FCurrentBrick->Orientation());
}

bool TGameForm::CanMoveRight() const {
    const int o = FCurrentBrick->Orientation();
    return !BrickCollides(CeilCell(BrickLeft()), BrickTop() / Cell, o) &&
           !BrickCollides(BrickLeft() / Cell + 1, CeilCell(BrickTop()), o);
}

bool TGameForm::CanStepLeft() const {
    const int o = FCurrentBrick->Orientation();
    const int column = FloorCell(BrickLeft() - 1);
    return !BrickCollides(column, FloorCell(BrickTop()), o) &&
           !BrickCollides(column, CeilCell(BrickTop()), o);
}

bool TGameForm::CanStepRight() const {
    const int o = FCurrentBrick->Orientation();
    const int column = CeilCell(BrickLeft() + 1);
    return !BrickCollides(column, FloorCell(BrickTop()), o) &&
           !BrickCollides(column, CeilCell(BrickTop()), o);
}

bool TGameForm::CanTurnTo(int orientation) const {
    for (const int column : {FloorCell(BrickLeft()), CeilCell(BrickLeft())})
        for (const int row : {FloorCell(BrickTop()), CeilCell(BrickTop())})
            if (BrickCollides(column, row, orientation)) return false;
    return true;
}

bool TGameForm::BrickOverlaps(const TSimplePlayfield& playfield, int left, int top,
                              int orientation) const {
    if (!FCurrentBrick) return false;
    const TBrick& brick = *FCurrentBrick;
    for (const int column : {FloorCell(left), CeilCell(left)})
        for (const int row : {FloorCell(top), CeilCell(top)})
            for (int j = 0; j < brick.Height(); ++j)
                for (int i = 0; i < brick.Width(); ++i)
                    if (brick.HasCellAt(i, j, orientation) &&
                        playfield.IsOccupied(column + i, row + j))
                        return true;
    return false;
}

bool TGameForm::BrickOverlapsCell(int x, int y) const {
    if (!FCurrentBrick) return false;
    const TBrick& brick = *FCurrentBrick;
    const int o = brick.Orientation();
    for (const int column : {FloorCell(BrickLeft()), CeilCell(BrickLeft())})
        for (const int row : {FloorCell(BrickTop()), CeilCell(BrickTop())})
            if (brick.HasCellAt(x - column, y - row, o)) return true;
    return false;
}

// --- Levels, targets, rounds -------------------------------------------------

void TGameForm::SetLevelSpeeds(int level) {
    static constexpr int fall[9] = {2, 3, 5, 8, 10, 12, 14, 16, 18};
    static constexpr int horizontal[9] = {2, 2, 4, 4, 8, 8, 8, 8, 8};
    const int i = std::clamp(level, 0, 8);
    FFallSpeed = fall[i];
    FHorizontalSpeed = horizontal[i];
    switch (Settings().Speed) {
    case 0:
        FHorizontalSpeed = std::max(4, std::min(16, FHorizontalSpeed));
        break;
    case 1:
        FHorizontalSpeed = std::min(16, 2 * FHorizontalSpeed);
        FFallSpeed *= 2;
        break;
    case 2:
        FHorizontalSpeed = std::min(16, 4 * FHorizontalSpeed);
        FFallSpeed *= 4;
        break;
    default:
        break;
    }
}

void TGameForm::SetTimeTargets(int level) {
    FRowsTarget = level >= 0 && level <= 7 ? level + 1 : std::min(12, level + 1);
}

void TGameForm::SetRowsDone(int rows) {
    FRowsDone = rows;
    if (FRowsTarget <= 0) return;
    if (TSprite* marker = Host()->RowsSprite())
        marker->SetTop(std::max(WellTop, WellBottom - ((rows + 1) * (WellBottom - WellTop)) /
                                                          (FRowsTarget + 1)));
}

int TGameForm::TimeAllowanceTicks(int level) {
    const int seconds = level >= 0 && level <= 7 ? TimeAllowance[level] : 25;
    return seconds * TimeTicksPerSecond;
}

void TGameForm::ResetPlayfield() {
    FBricksImage.fill(Black);
    FMaskImage.fill(White);
    FPlayfield->Clear();
    FGamePanel->SetFramesPerSec(TSessionCoordinator::GameFrameRate);
    FGamePanel->SetPicture(Gfx().GameBackground());
    FGamePanel->SaveBackground();
}

void TGameForm::FillCleanRows() {
    const QImage& picture = Gfx().SmallType(8);
    for (int i = 0; i <= 2 * FLevel + 1 && i < TPlayfield::Rows; ++i) {
        const int row = TPlayfield::Rows - 1 - i;
        const int count = std::max(1, static_cast<int>(Random(5)));
        for (int n = 0; n < count; ++n) {
            const int column = static_cast<int>(Random(10));
            FPlayfield->AddCell(column, row, TCell::cfClean, 1);
            PaintCellPicture(column, row, picture);
        }
    }
}

void TGameForm::NewBrick() {
    TBrickSupplier* supplier = FCoordinator->Supplier();
    ErrorReporter().Require(supplier != nullptr, QString(), QStringLiteral("TGameForm.NewBrick"));
    const int kind = supplier ? supplier->NextBrick() : 0;
    FCurrentBrick = FBricks->Brick(kind);
    FBrickSerial += 1;
    if (MouseControlPossible() && PlayerCount() == 1) Host()->MouseControl()->SetForm(nullptr);
    FMoveColumns = 0;
    FRestFrames = 0;
    TSprite* sprite = BrickSprite();
    sprite->OnPerform = [this](QObject* s) { SpriteBrickPerform(s); };
    FDropping = false;
    sprite->Animation().SetCurrentFrame(0);
    FCurrentBrick->SetOrientation(0);
    // Centred on a column boundary, its top cells in row 0.
    const int h = sprite->Width() / 2 / Cell * Cell;
    int firstRow = 0;
    for (int j = 0; j < FCurrentBrick->Height(); ++j) {
        bool any = false;
        for (int i = 0; i < FCurrentBrick->Width(); ++i)
            any = any || FCurrentBrick->HasCellAt(i, j, 0);
        if (any) {
            firstRow = j;
            break;
        }
    }
    SetBrickPos(80 - h, -Cell * firstRow);
    FHalfStepParity = false;
}

void TGameForm::PutBrick(int kind, int left, int top, int orientation) {
    if (TSprite* old = BrickSprite()) {
        old->OnPerform = nullptr;
        old->SetVisible(false);
    }
    FCurrentBrick = FBricks->Brick(kind);
    FMoveColumns = 0;
    FRestFrames = 0;
    FDropping = false;
    FHalfStepParity = false;
    FCurrentBrick->SetOrientation(orientation);
    TSprite* sprite = BrickSprite();
    sprite->Animation().SetCurrentFrame(FCurrentBrick->Orientation());
    sprite->OnPerform = [this](QObject* s) { SpriteBrickPerform(s); };
    SetBrickPos(left, top);
    sprite->SetVisible(true);
}

// --- Controller handlers -------------------------------------------------------

void TGameForm::TheGameInitGame(QObject*) {
    for (TLabel* label : {FGameOverLabel, FLabel2, FLabel3}) {
        label->SetVisible(false);
        label->SetCaption(QStringLiteral("Game Over"));
    }
    NewBrick();
    FPlayer->SetScore(0);
    FStartLevel = FLevel;
}

void TGameForm::TheGameInitRound(QObject*) {
    Host()->ShowLevel(FLevel);
    const bool reset = FGameType != gtSpeed || FLevel == FStartLevel;
    if (reset) ResetPlayfield();
    SetLevelSpeeds(FLevel);
    switch (FGameType) {
    case gtSpeed:
        break;
    case gtTime:
        SetTimeTargets(FLevel);
        SetRowsDone(0);
        FTimeTicks = 0;
        if (TSprite* rows = Host()->RowsSprite()) rows->SetVisible(true);
        if (TSprite* time = Host()->TimeSprite()) {
            time->SetTop(WellBottom);
            time->SetVisible(true);
        }
        break;
    case gtClean:
        FillCleanRows();
        break;
    }
    if (reset) {
        FGamePanel->SetVisible(false);
        FGamePanel->SetVisible(true);
    }
    if (FGameType == gtTime) FTimeTicker->SetActive(true);
}

void TGameForm::TheGameInitTry(QObject*) {
    ClearActions();
}

void TGameForm::TheGamePerform(QObject*) {
    if (FRestFrames >= RestFramesToLand && FMoveColumns == 0) {
        if (FTheGame->Running()) BrickLanded();
        return;
    }
    TSprite* sprite = BrickSprite();
    if (!sprite->Visible() &&
        !BrickCollides(BrickLeft() / Cell, BrickTop() / Cell, FCurrentBrick->Orientation()))
        sprite->SetVisible(true);
}

void TGameForm::TheGameTestGameOver(QObject*, bool& Result) {
    Result = BrickCollides(BrickLeft() / Cell, BrickTop() / Cell, FCurrentBrick->Orientation());
    if (FGameType == gtTime)
        if (TSprite* time = Host()->TimeSprite()) Result = Result || time->Top() <= WellTop;
}

void TGameForm::TheGameTestTryCompletedWhenSpeed(QObject*, bool& Result) {
    const int d = FLevel - FStartLevel;
    Result = d >= 0 && d < 7 && FPlayer->Score() >= SpeedTargets[d];
    if (Host()->IsLevelIncreaseDisabled() && !Replaying()) Result = false;
}

void TGameForm::TheGameTestTryCompletedWhenTime(QObject*, bool& Result) {
    Result = FRowsDone >= FRowsTarget;
}

void TGameForm::TheGameTestTryCompletedWhenCleaning(QObject*, bool& Result) {
    Result = FPlayfield->NoCleanCellsLeft();
}

void TGameForm::TheGameAfterRound(QObject*) {
    if (FGameType == gtTime) FTimeTicker->SetActive(false);
    if (FGameType == gtTime || FGameType == gtClean) ClearActions();
}

void TGameForm::TheGameRoundCompleted(QObject*) {
    switch (FGameType) {
    case gtSpeed:
        SetGameType(gtSpeed);
        break;
    case gtTime:
    case gtClean:
        Host()->ShowRoundMessage(this, FGameType);
        break;
    }
    if (!(Host()->IsLevelIncreaseDisabled() && !Replaying())) FLevel += 1;
}

void TGameForm::TheGameGameOver(QObject*) {
    for (TLabel* label : {FGameOverLabel, FLabel2, FLabel3}) {
        label->SetCaption(QStringLiteral("Game Over"));
        label->SetVisible(true);
    }
    FGamePanel->Update();
    if (!Replaying()) {
        Host()->WaitForUser(10000);
        ClearSkip();
    }
}

void TGameForm::TheGameGameFinished(QObject*) {
    if (TSprite* sprite = BrickSprite()) sprite->OnPerform = nullptr;
    if (TDemoForm* demo = Host()->DemoForm()) {
        // Only a stopped game records its stop. A game over replays by itself,
        // and a stop matched by position alone would end the replay early
        // wherever an earlier brick passes the place where the last one stood.
        if (FTheGame->StopRequested() && demo->IsRecording()) RecordLiveAction(*demo, acStop);
        ConsumeReplayedStop();
    }
    FTimeTicker->SetActive(false);
    if (TSprite* rows = Host()->RowsSprite()) rows->SetVisible(false);
    if (TSprite* time = Host()->TimeSprite()) time->SetVisible(false);
    FCoordinator->GameFinished();
}

void TGameForm::ConsumeReplayedStop() {
    // A replayed game that ends by itself (game over) never reaches its
    // recorded stop in a brick frame; left in place, that stop would hold
    // back every action of the other players recorded after it.
    TDemoForm* demo = Host()->DemoForm();
    if (!demo || !demo->IsReplaying()) return;
    TReplayer* replayer = demo->CurrentReplayer();
    if (replayer && replayer->Matches(FGameIndex, BrickLeft(), BrickTop()) &&
        replayer->Current().ActionCode == acStop)
        replayer->Advance();
}

void TGameForm::TimeTickerTimer() {
    FTimeTicks += 1;
    // The time marker climbs from the bottom of the well to its top over the level's allowance.
    if (TSprite* time = Host()->TimeSprite()) {
        const int allowance = TimeAllowanceTicks(FLevel);
        const int climbed = static_cast<int>(static_cast<int64_t>(std::min(FTimeTicks, allowance)) *
                                             (WellBottom - WellTop) / allowance);
        time->SetTop(WellBottom - climbed);
    }
}

void TGameForm::GamePanelShow(QObject*) {
    ClearSkip();
}

// --- The brick frame ---------------------------------------------------------

int32_t TGameForm::StampTop() const {
    return BrickTop() + std::min(FRestFrames, MaxStampedRest) * RestStamp;
}

int32_t TGameForm::MarkedLeft() const {
    return BrickLeft() + (1 + FBrickSerial % MaxBrickMark) * BrickMark;
}

bool TGameForm::TakeReplayedAction(TDemoForm& demo, TGameAction& action) {
    if (demo.TakeReplayedAction(FGameIndex, BrickLeft(), StampTop(), action)) return true;
    if (demo.TakeReplayedAction(FGameIndex, MarkedLeft(), StampTop(), action)) return true;
    // Recordings that stamp a resting brick with its plain top.
    return FRestFrames > 0 && demo.TakeReplayedAction(FGameIndex, BrickLeft(), BrickTop(), action);
}

bool TGameForm::MatchesReplayedStop() const {
    TDemoForm* demo = Host()->DemoForm();
    TReplayer* replayer = demo ? demo->CurrentReplayer() : nullptr;
    if (!replayer || !replayer->HasMore() || replayer->Current().ActionCode != acStop) return false;
    return replayer->Matches(FGameIndex, MarkedLeft(), StampTop()) ||
           replayer->Matches(FGameIndex, BrickLeft(), StampTop());
}

void TGameForm::RecordLiveAction(TDemoForm& demo, uint8_t code) {
    // An action whose place this game has passed since its last action would
    // be applied there by a replay, too early (or to an earlier brick): it
    // carries the brick's number so that only this brick matches it.
    bool passed = code == acStop;
    for (const QPoint& place : FPassedSinceAction)
        passed = passed || (place.x() == BrickLeft() && place.y() == BrickTop());
    demo.RecordAction(FGameIndex, passed ? MarkedLeft() : BrickLeft(), StampTop(), code);
    FPassedSinceAction.clear();
}

void TGameForm::PostStepRequest() {
    Application::PostEvent(this, new QEvent(stepRequest));
}

bool TGameForm::event(QEvent* event) {
    if (event->type() != stepRequest) return QObject::event(event);
    if (Application::Terminated() || !FTheGame->Running()) return true;
    StepGame();
    return true;
}

void TGameForm::StepGame() {
    // A stopped game recorded its stop when it finished, in the step after a
    // frame's move or at the end of a landing: the replay stops it before
    // the same step.
    if (Replaying() && MatchesReplayedStop()) {
        Host()->DemoForm()->CurrentReplayer()->Advance();
        FTheGame->Stop();
    }
    FTheGame->Step();
}

void TGameForm::SpriteBrickPerform(QObject*) {
    if (!FTheGame->Running()) return;
    TDemoForm* demo = Host()->DemoForm();
    if (demo && demo->IsReplaying()) {
        if (!demo->HasMoreActions()) {
            Dialogs::Current().Message(
                DialogKind::Information,
                QStringLiteral("Old game is now replayed, you can now take over."), dbOK);
            demo->StopReplaying();
        }
        TGameAction action;
        while (TakeReplayedAction(*demo, action)) {
            if (action.ActionCode == acStop) {
                FTheGame->Stop();
                PostStepRequest();
                return;
            }
            ApplyAction(action.ActionCode);
        }
    } else {
        if (FCollector) FCollector->PollKeys(BrickLeft() % Cell == 0);
        FCoordinator->ForwardActions();
        if (IsMouseForm()) SteerByMouse();
        const std::vector<uint8_t> actions = FActions;
        FActions.clear();
        const bool recording = demo && demo->IsRecording();
        for (const uint8_t code : actions) {
            if (recording) RecordLiveAction(*demo, code);
            ApplyAction(code);
            if (code == acStop) return;
        }
        if (recording) FPassedSinceAction.emplace_back(BrickLeft(), BrickTop());
    }
    if (BrickSprite()->Visible()) MoveBrick();
    if (FTheGame->Running()) PostStepRequest();
    UpdateCursors();
}

void TGameForm::ApplyAction(uint8_t code) {
    switch (code) {
    case acMoveLeft:
        if (CanMoveLeft()) FMoveColumns = FMoveColumns == 1 ? -1 : FMoveColumns - 1;
        break;
    case acMoveRight:
        if (CanMoveRight()) FMoveColumns = FMoveColumns == -1 ? 1 : FMoveColumns + 1;
        break;
    case acTurn:
        FlipBrick();
        break;
    case acDrop:
        FDropping = true;
        SetBrickPos(BrickLeft(), CeilCell(BrickTop()) * Cell);
        break;
    case acStop:
        FTheGame->Stop();
        break;
    default:
        break;
    }
}

void TGameForm::FlipBrick() {
    const int step = Settings().RotationDirectionClockwise ? 1 : -1;
    const int turned = (FCurrentBrick->Orientation() + step + 4) % 4;
    if (!CanTurnTo(turned)) {
        PlayFlipBlocked();
        return;
    }
    FCurrentBrick->SetOrientation(turned);
    BrickSprite()->Animation().SetCurrentFrame(turned);
    ProjectErrorReporter().Check(FCurrentBrick->Orientation() >= 0, QString(),
                                 QStringLiteral("TGameForm.FlipBrick"));
    PlayFlip();
}

void TGameForm::MoveBrick() {
    if (FMoveColumns < 0) {
        for (int i = 0; i < FHorizontalSpeed; ++i)
            if (CanStepLeft()) SetBrickPos(BrickLeft() - 1, BrickTop());
        if (BrickLeft() % Cell == 0) FMoveColumns = CanMoveLeft() ? FMoveColumns + 1 : 0;
    } else if (FMoveColumns > 0) {
        for (int i = 0; i < FHorizontalSpeed; ++i)
            if (CanStepRight()) SetBrickPos(BrickLeft() + 1, BrickTop());
        if (BrickLeft() % Cell == 0) FMoveColumns = CanMoveRight() ? FMoveColumns - 1 : 0;
    }

    int a = FFallSpeed;
    if (FDropping) {
        static constexpr int dropBoost[3] = {32, 64, 128};
        const int speed = Settings().Speed;
        a += dropBoost[speed >= 0 && speed <= 2 ? speed : 0];
    }
    FFallPixels = 0;
    for (int i = 0; i < a / 2; ++i)
        if (CanFall()) {
            FFallPixels += 1;
            FRestFrames = 0;
        }
    if (a % 2 == 1 && CanFall()) {
        if (!FHalfStepParity) FFallPixels += 1;
        FHalfStepParity = !FHalfStepParity;
        FRestFrames = 0;
    }
    SetBrickPos(BrickLeft(), BrickTop() + FFallPixels);
    FFallPixels = 0;

    if (!CanFall()) {
        if (FRestFrames == 0) PlayBrickStops();
        FRestFrames += 1;
    }
}

void TGameForm::BrickLanded() {
    if (!FTheGame->Running()) return;
    TSprite* sprite = BrickSprite();
    sprite->SetVisible(false);
    sprite->OnPerform = nullptr;
    PlayBrickFixed();
    const int column = BrickLeft() / Cell;
    const int row = BrickTop() / Cell;
    for (int j = 0; j < FCurrentBrick->Height(); ++j)
        for (int i = 0; i < FCurrentBrick->Width(); ++i) {
            const TCell* cell = FCurrentBrick->CurrentCellAt(i, j);
            if (!cell) continue;
            const int x = column + i;
            const int y = row + j;
            FPlayfield->AddCellInside(x, y, cell->Flags, cell->Colour);
            if (!TPlayfield::IsOutside(x, y)) DrawCell(x, y);
        }
    FPlayer->ScoreBrickLanded();
    FPlayfield->ResolveLanding();
    FPlayer->ScoreLandingResult(FPlayfield->LinesRemoved(), FPlayfield->CellsZapped());
    if (FGameType == gtTime) SetRowsDone(FRowsDone + FPlayfield->LinesRemoved());
    NewBrick();
    ClearActions();
    if (FTheGame->Running()) StepGame();
}

// --- Mouse -------------------------------------------------------------------

bool TGameForm::CursorOverBrickCell() const {
    TSprite* sprite = BrickSprite();
    if (!sprite || !FCurrentBrick) return false;
    const int dx = FMouseX - sprite->Left();
    const int dy = FMouseY - sprite->Top();
    if (dx < 0 || dy < 0 || dx >= sprite->Width() || dy >= sprite->Height()) return false;
    return FCurrentBrick->HasCurrentCellAt(dx / Cell, dy / Cell);
}

void TGameForm::SteerByMouse() {
    // The pointer over the brick's own cells holds it where it is.
    if (CursorOverBrickCell() || FMoveColumns != 0) return;
    int first = 0;
    for (int i = 0; i < FCurrentBrick->Width(); ++i) {
        bool any = false;
        for (int j = 0; j < FCurrentBrick->Height(); ++j)
            any = any || FCurrentBrick->HasCurrentCellAt(i, j);
        if (any) {
            first = i;
            break;
        }
    }
    const int edge = BrickLeft() + Cell * first;
    if (FMouseX < edge)
        QueueAction(acMoveLeft);
    else if (FMouseX > edge + Cell)
        QueueAction(acMoveRight);
}

void TGameForm::SpriteBrickMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int X,
                                     int Y) {
    if (TWiper::AnyWipeRunning() || !MouseControlPossible() || Replaying()) {
        RequestSkip();
        return;
    }
    Host()->MouseControl()->SetForm(this);
    const bool onCell = X >= 0 && Y >= 0 && FCurrentBrick->HasCurrentCellAt(X / Cell, Y / Cell);
    QueueAction(onCell ? acDrop : acTurn);
}

void TGameForm::GamePanelMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (TWiper::AnyWipeRunning() || !MouseControlPossible() || !FTheGame->Running() ||
        Replaying()) {
        RequestSkip();
        return;
    }
    Host()->MouseControl()->SetForm(this);
    QueueAction(acTurn);
}

void TGameForm::GamePanelMouseMove(QObject*, Qt::KeyboardModifiers, int X, int Y) {
    const int oldX = FMouseX;
    const int oldY = FMouseY;
    FMouseX = X;
    FMouseY = Y;
    const bool moved = std::abs(X - oldX) >= 2 || std::abs(Y - oldY) >= 2;
    if (PlayerCount() == 1 && MouseControlPossible() && moved)
        Host()->MouseControl()->SetForm(this);
    UpdateCursors();
}

void TGameForm::SpriteBrickMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y) {
    auto* sprite = static_cast<TSprite*>(Sender);
    GamePanelMouseMove(Sender, Shift, X + sprite->Left(), Y + sprite->Top());
}

void TGameForm::UpdateCursors() {
    TSprite* sprite = BrickSprite();
    try {
        const bool steered = IsMouseForm();
        bool changed = false;
        const int panelCursor = steered ? crFlip : crArrowD;
        if (panelCursor != FPanelCursor) {
            FPanelCursor = panelCursor;
            FGamePanel->setCursor(Cursors::Get(panelCursor));
            changed = true;
        }
        if (sprite) {
            int wanted = crArrowD;
            if (!Replaying() && steered && sprite->Visible())
                wanted = CursorOverBrickCell() ? crHammer : crFlip;
            if (wanted != sprite->Cursor()) {
                sprite->SetCursor(wanted);
                changed = true;
            }
        }
        if (changed) Cursors::Nudge();
    } catch (...) {
        if (sprite) sprite->SetCursor(crArrowD);
    }
}

// --- Animations ----------------------------------------------------------------

TSprite* TGameForm::NewCellSprite(int x, int y, const QImage& picture, const QImage& mask,
                                  int frames) {
    auto* sprite = new TSprite(FGamePanel);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetPicture(picture);
    sprite->SetMask(mask);
    sprite->SetRespondToPaint(false);
    sprite->SetBounds(Cell * x, Cell * y, Cell, Cell);
    sprite->Animation().SetFrameCount(frames);
    sprite->Animation().SetCurrentFrame(0);
    return sprite;
}

void TGameForm::StartZap(int x, int y) {
    TSprite* sprite = NewCellSprite(x, y, FZapSprite1->Picture(), FZapSprite1->Mask(), 8);
    sprite->Animation().SetDelay(1);
    sprite->Animation().SetAnimMode(amOnce);
    sprite->Animation().SetAnimDirection(adUp);
    sprite->SetTag(x * 1000 + y);
    sprite->SetUserData1(FArrivals[static_cast<size_t>(Place(x, y))]);
    sprite->OnPerform = [this](QObject* s) { ZapSpritePerform(s); };
    sprite->OnAnimFinished = [this](QObject* s) { ZapSpriteAnimFinished(s); };
    sprite->SetVisible(true);
}

void TGameForm::ZapSpritePerform(QObject* Sender) {
    auto* sprite = static_cast<TSprite*>(Sender);
    if (sprite->Animation().CurrentFrame() == 2)
        EraseCell(sprite->Tag() / 1000, sprite->Tag() % 1000);
}

void TGameForm::ZapSpriteAnimFinished(QObject* Sender) {
    auto* sprite = static_cast<TSprite*>(Sender);
    if (sprite->Killed()) return;
    sprite->SetKilled(true);
    const int x = sprite->Tag() / 1000;
    const int y = sprite->Tag() % 1000;
    // A cell teleported here while the zap ran is not the zapped one.
    if (!TPlayfield::IsOutside(x, y) &&
        FArrivals[static_cast<size_t>(Place(x, y))] == sprite->UserData1() &&
        FPlayfield->IsOccupied(x, y))
        FPlayfield->SetCell(x, y, nullptr);
    FPendingZaps -= 1;
}

void TGameForm::StartGlass(int x, int y) {
    FPlayfield->SetCell(x, y, nullptr);
    EraseCell(x, y);
    auto* sprite = new TSprite(FGamePanel);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetPicture(Gfx().GlassImage());
    sprite->SetTransparent(true);
    sprite->SetRespondToPaint(false);
    sprite->SetBounds(Cell * x, Cell * y, Cell, Cell);
    sprite->Animation().SetFrameCount(1);
    sprite->Animation().SetCurrentFrame(0);
    sprite->Animation().SetDelay(-1);
    sprite->OnPerform = [this](QObject* s) { GlassRise(s); };
    sprite->SetVisible(true);
}

void TGameForm::GlassRise(QObject* Sender) {
    auto* sprite = static_cast<TSprite*>(Sender);
    if (sprite->Top() <= -sprite->Height()) {
        sprite->SetKilled(true);
        return;
    }
    sprite->SetTop(sprite->Top() - 2);
    sprite->SetLeft(sprite->Left() + static_cast<int>(Random(3)) - 1);
}

void TGameForm::StartTeleportIn(int x, int y, uint8_t colour) {
    if (!TPlayfield::IsOutside(x, y)) FArrivals[static_cast<size_t>(Place(x, y))] += 1;
    TSprite* sprite = NewCellSprite(x, y, FTeleportSprite->Picture(), FTeleportSprite->Mask(), 8);
    sprite->Animation().SetDelay(1);
    sprite->Animation().SetAnimMode(amOnce);
    sprite->Animation().SetAnimDirection(adUp);
    sprite->SetTag(colour * 1000000 + x * 1000 + y);
    sprite->OnPerform = [this](QObject* s) { TeleportSpritePerform(s); };
    sprite->OnAnimFinished = [this](QObject* s) { TeleportSpriteAnimFinished(s); };
    sprite->SetVisible(true);
}

void TGameForm::TeleportSpritePerform(QObject* Sender) {
    auto* sprite = static_cast<TSprite*>(Sender);
    if (sprite->Animation().CurrentFrame() != 3) return;
    const int x = (sprite->Tag() / 1000) % 1000;
    const int y = sprite->Tag() % 1000;
    if (FPlayfield->IsOccupied(x, y)) DrawCell(x, y);
}

void TGameForm::TeleportSpriteAnimFinished(QObject* Sender) {
    static_cast<TSprite*>(Sender)->SetKilled(true);
}

void TGameForm::AnimateAreaFall(int left, int top, int width, int height, int32_t mark,
                                int distance) {
    const QRect area(Cell * left, Cell * top, Cell * width, Cell * height);
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(Black);
    QImage mask(area.size(), QImage::Format_RGB32);
    mask.fill(White);
    const QImage& clean = Gfx().GameBackground();
    for (int x = left; x < left + width; ++x)
        for (int y = top; y < top + height; ++y) {
            const TCell* cell = FPlayfield->GetCell(x, y);
            if (!cell || cell->Mark >= 0) continue;
            const QRect place(Cell * x, Cell * y, Cell, Cell);
            RasterOps::Blt(FGamePanel->Picture(), place, clean, place, RasterOps::Op::Copy);
            if (!FGamePanel->BackgroundCopy().isNull())
                RasterOps::Blt(FGamePanel->BackgroundCopy(), place, clean, place,
                               RasterOps::Op::Copy);
            FGamePanel->InvalidatePictureRect(place);
            const QRect inside = place.translated(-area.topLeft());
            RasterOps::Blt(picture, inside, FBricksImage, place, RasterOps::Op::Copy);
            RasterOps::Blt(mask, inside, FMaskImage, place, RasterOps::Op::Copy);
            // This area's cells are drawn in again where they land; a cell of
            // another falling area keeps its picture for its own fall.
            if (cell->Mark == mark) {
                RasterOps::Fill(FBricksImage, place, Black);
                RasterOps::Fill(FMaskImage, place, White);
            }
        }

    auto* sprite = new TSprite(FGamePanel);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetRespondToPaint(false);
    sprite->SetPicture(picture);
    sprite->SetMask(mask);
    sprite->SetBounds(area.x(), area.y(), area.width(), area.height());
    sprite->Animation().SetFrameCount(1);
    sprite->Animation().SetCurrentFrame(0);
    sprite->Animation().SetDelay(-1);
    sprite->SetUserData2(0);
    sprite->SetUserData3(distance);
    sprite->OnPerform = [this](QObject* s) { FallSpritePerform(s); };
    sprite->SetLeft(area.x() - 1200);
    sprite->SetVisible(true);
    sprite->SetLeft(area.x());

    FFallAnimDone = false;
    const QPointer<TSprite> guard(sprite);
    ProcessMessagesUntil([this] { return FFallAnimDone; });

    FPlayfield->MoveArea(mark, distance);
    RedrawMarkedCells(mark);
    if (guard) {
        // Hidden and freed at the next frame rather than kept: a long game
        // would otherwise pile up hidden sprites that every frame walks past.
        guard->SetVisible(false);
        guard->SetKilled(true);
    }
    TGfxPanel::WaitForFrame();
}

void TGameForm::FallSpritePerform(QObject* Sender) {
    auto* sprite = static_cast<TSprite*>(Sender);
    // UserData4 marks a finished fall: its handler is spent (it cannot
    // detach itself while it runs).
    if (sprite->UserData4() != 0) return;
    const int f = sprite->UserData2();
    const int d = sprite->UserData3();
    int soundFrame = 0;
    int endFrame = 0;
    int offset = 0;
    switch (d) {
    case 1:
        soundFrame = 5;
        endFrame = 7;
        offset = f < 8 ? T1[f] : 0;
        break;
    case 2:
        soundFrame = 7;
        endFrame = 21;
        offset = f < 22 ? T2[f] : 0;
        break;
    case 3:
        soundFrame = 9;
        endFrame = 32;
        offset = f < 33 ? T3[f] : 0;
        break;
    case 4:
        soundFrame = 11;
        endFrame = 45;
        offset = f < 46 ? T4[f] : 0;
        break;
    default:
        if (d <= 0) break;
        {
            const int k = d - 4;
            soundFrame = k + 11;
            endFrame = k + 45;
            if (f <= 10)
                offset = T4[f];
            else if (f <= k + 10)
                offset = 16;
            else if (f - k < 46)
                offset = T4[f - k];
        }
        break;
    }
    if (f >= endFrame) {
        sprite->SetUserData4(1);
        FFallAnimDone = true;
    } else {
        if (f == soundFrame) PlayAreaImpact();
        sprite->SetTop(sprite->Top() + offset);
    }
    sprite->SetUserData2(f + 1);
}
