#pragma once

#include "gfx/SImage.h"

#include <functional>

enum TAnimMode { amOnce, amCont, amPingPong };
enum TAnimDirection { adUp, adDown };

// The frame sequence of a sprite's horizontal strip of frames. Step is
// called once per panel frame; with Delay d the frame changes every d + 1
// frames, and a negative Delay freezes it. At an end of the strip amOnce
// finishes, amCont wraps round and amPingPong turns (finishing at its second
// end). TouchedEdge and Finished stay set until Reset, so the sprite's edge
// and finish events are raised again at every later step.
class TAnimation {
public:
    int FrameCount() const { return FFrameCount; }
    // Raises OnChange when the value changes.
    void SetFrameCount(int value);
    int CurrentFrame() const { return FCurrentFrame; }
    void SetCurrentFrame(int value) { FCurrentFrame = value; }
    int Delay() const { return FDelay; }
    void SetDelay(int value) { FDelay = value; }
    TAnimMode AnimMode() const { return FAnimMode; }
    void SetAnimMode(TAnimMode value) { FAnimMode = value; }
    TAnimDirection AnimDirection() const { return FAnimDirection; }
    void SetAnimDirection(TAnimDirection value) { FAnimDirection = value; }
    bool TouchedEdge() const { return FTouchedEdge; }
    bool Finished() const { return FFinished; }

    // True when the frame moved or an end was met.
    bool Step();
    // Clears the delay counter and both flags; the frame stays.
    void Reset();

    std::function<void()> OnChange;

private:
    int FFrameCount = 0;
    int FCurrentFrame = -1;
    int FDelay = 0;
    int FDelayCounter = 0;
    TAnimMode FAnimMode = amOnce;
    TAnimDirection FAnimDirection = adUp;
    bool FTouchedEdge = false;
    bool FFinished = false;
};

// An image that moves by its speeds each frame, shows one frame of its
// picture's horizontal strip (width = picture width div FrameCount) and
// steps its animation. Performed by its panel once per composed frame while
// visible; a sprite marked Killed is freed by the panel in its next frame.
// Set FrameCount (at least 1) and a valid CurrentFrame before showing it on
// a ticking panel.
class TSprite : public TBM_CustomImage {
    Q_OBJECT
public:
    explicit TSprite(QWidget* parent);

    bool Killed() const { return FKilled; }
    void SetKilled(bool value);
    int HoriSpeed() const { return FHoriSpeed; }
    void SetHoriSpeed(int value) { FHoriSpeed = value; }
    int VertSpeed() const { return FVertSpeed; }
    void SetVertSpeed(int value) { FVertSpeed = value; }
    // Free for the game's use; the sprite never reads them.
    int UserData1() const { return FUserData1; }
    void SetUserData1(int value) { FUserData1 = value; }
    int UserData2() const { return FUserData2; }
    void SetUserData2(int value) { FUserData2 = value; }
    int UserData3() const { return FUserData3; }
    void SetUserData3(int value) { FUserData3 = value; }
    int UserData4() const { return FUserData4; }
    void SetUserData4(int value) { FUserData4 = value; }
    TAnimation& Animation() { return FAnimation; }
    const TAnimation& Animation() const { return FAnimation; }

    // One frame: move, OnPerform, select the frame, draw, step the
    // animation (drawing again and raising the edge and finish events when
    // it moved). Handlers may move, hide, kill or even free the sprite.
    virtual void Perform();

    NotifyEvent OnPerform;
    NotifyEvent OnAnimTouchedEdge;
    NotifyEvent OnAnimFinished;

private:
    bool FKilled = false;
    int FHoriSpeed = 0;
    int FVertSpeed = 0;
    int FUserData1 = 0;
    int FUserData2 = 0;
    int FUserData3 = 0;
    int FUserData4 = 0;
    TAnimation FAnimation;
};
