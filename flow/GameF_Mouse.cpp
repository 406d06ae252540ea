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
