#include "flow/GameF.h"

#include "flow/ActionCollector_KX.h"
#include "flow/ComputerHand_KX.h"
#include "flow/GameF_Geometry.h"
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
#include "gfx/WaitHint.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "model/BrickSupplier_KX.h"
#include "model/Bricks.h"
#include "model/KolvexPlayer.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Recorder_KX.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "platform/Dialogs.h"
#include "sound/Sound_KX.h"

#include <algorithm>

using namespace gameform;

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
    FColourMarked = gfx.ColourMarks();

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

    FWaitHint =
        new TWaitHint(FGamePanel, 150, PanelWidth,
                      MakeFont(QStringLiteral("Times New Roman"), 16, true, false, Qt::red));

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
    FComputerHand.reset();
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

void TGameForm::SetComputerHand(std::unique_ptr<TComputerHand> hand) {
    FComputerHand = std::move(hand);
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

bool TGameForm::LevelFixedAtStart() const {
    if (!Replaying()) return Host()->IsLevelIncreaseDisabled();
    const TReplayer* replayer = Host()->DemoForm()->CurrentReplayer();
    return replayer && replayer->Data() && replayer->Data()->Settings().LevelIncreaseDisabled;
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
        PaintCellPicture(x, y, Gfx().SmallType(cell->Colour, FColourMarked));
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
