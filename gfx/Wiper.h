#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>
#include <vector>

enum TWipeType {
    wtNone,
    wtRow,
    wtMosaic,
    wtZoomIn,
    wtTriangle,
    wtMask,
    wtBlinds,
    wtFence,
    wtPlait,
};

// Reveals a picture on a target image piece by piece, one pattern step per
// frame tick, over FrameCount steps. The graphics panel starts it from its
// first paint after being shown and steps it from its frame ticks; a user
// interrupt (Interrupted) copies the rest at once and ends the wipe.
//
// Patterns: wtBlinds opens horizontal strips from the middle of each
// BlockSize band, wtPlait does so horizontally and vertically at once,
// wtMosaic reveals BlockSize blocks in random order, wtRow sweeps a strip
// rightwards through each band, wtFence closes pickets from both edges of
// BlockSize bands, wtZoomIn grows the picture from the centre, wtTriangle
// sweeps a diagonal edge from the top-left corner to the bottom-right one,
// and wtMask reveals bands from the top, each combined through the mask
// picture (AND) with the picture (OR) when one is set.
class TWiper {
public:
    TWiper() = default;
    ~TWiper();
    TWiper(const TWiper&) = delete;
    TWiper& operator=(const TWiper&) = delete;

    TWipeType WipeType() const { return FWipeType; }
    void SetWipeType(TWipeType value);
    int BlockSize() const { return FBlockSize; }
    void SetBlockSize(int value);
    int FrameCount() const { return FFrameCount; }
    void SetFrameCount(int value);
    // Raised when one of the three properties changes.
    std::function<void()> OnChange;

    // Where the wipe draws: an image (not owned) and the repaint request for
    // the rectangles drawn into it.
    void SetTargetCanvas(QImage* canvas, std::function<void(const QRect&)> invalidate);
    void SetTargetRect(int left, int top, int width, int height);
    QRect TargetRect() const { return QRect(FTargetLeft, FTargetTop, FWidth, FHeight); }
    // Origin of the revealed area inside the picture; 0, 0 unless set.
    void SetSourceOrigin(int left, int top);
    // The picture wtMask and wtZoomIn combine by AND before the picture (not owned; none by
    // default).
    void SetMaskPicture(const QImage* mask) { FMaskPicture = mask; }

    // Begins revealing Graphic (not owned; it must live while the wipe runs),
    // offset by (X, Y) on the target. A picture smaller than the target
    // rectangle limits the wiped area to its size.
    void Start(int X, int Y, const QImage* Graphic);
    // One frame of the wipe.
    void Step();
    bool Running() const { return FRunning; }
    int StepsDone() const { return FStepsDone; }

    // Handles window messages until this wipe has ended.
    void WaitWhileRunning();
    // Whether any wiper is running, and a wait until none is.
    static bool AnyWipeRunning();
    static void WaitForWipes();

private:
    // Copies a rectangle of the wiped area (area coordinates) from the picture onto the target.
    void CopyRect(const QRect& r);
    void Finish();
    void StepBlinds(int c, bool vertical);
    void StepMosaic();
    void StepRow(int c);
    void StepFence(int c);
    void StepZoomIn(int c);
    void StepTriangle(int c);
    void StepMask(int c);
    // Frame count and block size as the patterns use them, never below 1.
    int Frames() const { return FFrameCount > 0 ? FFrameCount : 1; }
    int Block() const { return FBlockSize > 0 ? FBlockSize : 1; }

    int FOffsetX = 0;
    int FOffsetY = 0;
    const QImage* FSource = nullptr;
    int FStepsDone = 0;
    bool FRunning = false;
    TWipeType FWipeType = wtNone;
    int FBlockSize = 16;
    int FFrameCount = 8;
    QImage* FTargetCanvas = nullptr;
    std::function<void(const QRect&)> FInvalidate;
    int FSourceLeft = 0;
    int FSourceTop = 0;
    int FTargetLeft = 0;
    int FTargetTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    const QImage* FMaskPicture = nullptr;

    // The rectangle drawn during the current step (target coordinates).
    QRect FStepDirty;
    // wtMosaic: the blocks in reveal order and the next one to reveal.
    std::vector<QPoint> FBlocks;
    size_t FNextBlock = 0;
    // wtZoomIn: what the target showed in the wiped area when the wipe began.
    QImage FZoomBase;
};
