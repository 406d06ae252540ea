#include "flow/ActionCollector_KX.h"
#include "flow/ComputerHand_KX.h"
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
const QEvent::Type stepRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

QEvent::Type TGameForm::StepRequestEvent() {
    return stepRequest;
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
        // A replay or the demo plays on without input to its own end; only an
        // old game being continued hands the keys over.
        if (!demo->HasMoreActions() && demo->ContinuesOldGame()) {
            Dialogs::Current().Message(
                DialogKind::Information,
                QStringLiteral("Old game is now replayed, you can now take over."), dbOK);
            demo->StopReplaying();
            // What was pressed while the old game played, or at the message, is not the player's
            // move.
            FCoordinator->ForgetPresses();
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
        if (FComputerHand)
            FComputerHand->Frame();
        else if (FCollector)
            FCollector->PollKeys(BrickLeft() % Cell == 0);
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
