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
#include <span>

using namespace gameform;

namespace {
// Bounce tables of a falling area: the pixels added to its top, frame by frame.
constexpr int T1[8] = {1, 2, 3, 5, 5, -1, 0, 1};
constexpr int T2[22] = {1, 2, 3, 5, 6, 7, 8, -3, -2, -1, 0, 1, 2, 3, -2, -1, 0, 1, 2, -1, 0, 1};
constexpr int T3[33] = {1, 2,  3,  5,  6, 7, 8, 8, 8,  -4, -3, -2, -1, 0,  1, 2, 3,
                        4, -3, -2, -1, 0, 1, 2, 3, -2, -1, 0,  1,  2,  -1, 0, 1};
constexpr int T4[46] = {1,  2,  3, 4, 5, 6, 7,  8,  9,  9,  10, -6, -4, -3, -2, -1,
                        0,  1,  2, 3, 4, 6, -4, -3, -2, -1, 0,  1,  2,  3,  4,  -3,
                        -2, -1, 0, 1, 2, 3, -2, -1, 0,  1,  2,  -1, 0,  1};

// A fall of one to four rows: its bounce table, the frame its impact sounds and the frame it ends.
struct TFallCurve {
    std::span<const int> Steps;
    int SoundFrame;
    int EndFrame;
};
constexpr TFallCurve FallCurves[4] = {{T1, 5, 7}, {T2, 7, 21}, {T3, 9, 32}, {T4, 11, 45}};

int Place(int x, int y) {
    return x * TPlayfield::Rows + y;
}
} // namespace

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
    if (d >= 1 && d <= 4) {
        const TFallCurve& curve = FallCurves[d - 1];
        soundFrame = curve.SoundFrame;
        endFrame = curve.EndFrame;
        offset = f < static_cast<int>(curve.Steps.size()) ? curve.Steps[static_cast<size_t>(f)] : 0;
    } else if (d > 4) {
        // Deeper falls bounce as the four-row fall, holding full speed for the extra rows.
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
    if (f >= endFrame) {
        sprite->SetUserData4(1);
        FFallAnimDone = true;
    } else {
        if (f == soundFrame) PlayAreaImpact();
        sprite->SetTop(sprite->Top() + offset);
    }
    sprite->SetUserData2(f + 1);
}
