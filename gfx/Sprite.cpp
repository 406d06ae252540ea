#include "gfx/Sprite.h"

#include <QPointer>

void TAnimation::SetFrameCount(int value) {
    if (value == FFrameCount) return;
    FFrameCount = value;
    if (OnChange) OnChange();
}

bool TAnimation::Step() {
    if (FDelay < 0) return false;
    if (FDelayCounter < FDelay) {
        ++FDelayCounter;
        return false;
    }
    FDelayCounter = 0;
    const bool up = FAnimDirection == adUp;
    const bool atEnd = up ? FCurrentFrame == FFrameCount - 1 : FCurrentFrame == 0;
    if (!atEnd) {
        FCurrentFrame += up ? 1 : -1;
        return true;
    }
    switch (FAnimMode) {
    case amCont:
        FCurrentFrame = up ? 0 : FFrameCount - 1;
        break;
    case amPingPong:
        FAnimDirection = up ? adDown : adUp;
        FCurrentFrame += up ? -1 : 1;
        if (FTouchedEdge) FFinished = true;
        break;
    case amOnce:
        FFinished = true;
        break;
    }
    FTouchedEdge = true;
    return true;
}

void TAnimation::Reset() {
    FDelayCounter = 0;
    FTouchedEdge = false;
    FFinished = false;
}

TSprite::TSprite(QWidget* parent) : TBM_CustomImage(parent) {
    SetBounds(Left(), Top(), 32, 32);
}

void TSprite::SetKilled(bool value) {
    FKilled = value;
    // Its panel frees it in its next frame, so that frame matters.
    if (value && Host()) Host()->NoteControlsChanged();
}

void TSprite::Perform() {
    const QPointer<TSprite> self(this);
    SetLeft(Left() + FHoriSpeed);
    SetTop(Top() + FVertSpeed);
    if (OnPerform) {
        OnPerform(this);
        if (!self) return;
    }
    // Without a frame count the whole picture is one frame, rather than a
    // division by zero in the middle of a frame tick.
    const int frames = FAnimation.FrameCount();
    const int frameWidth = frames > 0 ? Picture().width() / frames : Picture().width();
    SetSourceX(frameWidth * FAnimation.CurrentFrame());
    if (!RespondToPaint()) Draw();
    if (!FAnimation.Step()) return;
    Draw();
    if (FAnimation.TouchedEdge() && OnAnimTouchedEdge) {
        OnAnimTouchedEdge(this);
        if (!self) return;
    }
    if (FAnimation.Finished() && OnAnimFinished) OnAnimFinished(this);
}
