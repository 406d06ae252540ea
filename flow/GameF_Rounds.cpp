#include "flow/ActionCollector_KX.h"
#include "flow/GameF.h"
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
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "platform/Dialogs.h"
#include "sound/Sound_KX.h"

#include <algorithm>

using namespace gameform;

namespace {

// The Speed round is completed at these scores, counted from the starting level.
constexpr int32_t SpeedTargets[7] = {1000, 2500, 5000, 7500, 10000, 12000, 14000};

// Seconds the Time game allows for a round, by level.
constexpr int TimeAllowance[8] = {10, 15, 18, 20, 21, 22, 23, 25};
constexpr int TimeTicksPerSecond = 20;
} // namespace

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
    FLevelFixed = LevelFixedAtStart();
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
    if (FLevelFixed) Result = false;
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
    if (!FLevelFixed) FLevel += 1;
}

void TGameForm::TheGameGameOver(QObject*) {
    for (TLabel* label : {FGameOverLabel, FLabel2, FLabel3}) {
        label->SetCaption(QStringLiteral("Game Over"));
        label->SetVisible(true);
    }
    FGamePanel->Update();
    // Nobody sits at the computer's well to go on from its end.
    if (!Replaying() && !IsComputer()) {
        const TWaitHint::During hint(FWaitHint);
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

void TGameForm::HoldTime(bool held) {
    FGamePanel->HoldFrames(held);
    FTimeTicker->SetHeld(held);
}

void TGameForm::TimeTickerTimer() {
    // A paused game's panel stands still, and so does its clock.
    if (FGamePanel->FramesPerSec() == 0) return;
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
