#include "gfx/Wiper.h"

#include "foundation/Random.h"
#include "gfx/RasterOps.h"
#include "gfx/brenmarUtils.h"

#include <algorithm>
#include <cstdint>

namespace {
int runningWipes = 0;

// The order in which blocks are revealed: block t (columns outer, rows inner)
// goes into the list at a random index below t. Inserting one by one would
// cost quadratic time for the splash screen's tens of thousands of 2 x 2
// blocks; placing them from the last to the first in the free slots of a
// Fenwick tree gives the same order in n log n.
std::vector<QPoint> MosaicOrder(int cols, int rows) {
    const size_t total = static_cast<size_t>(cols) * static_cast<size_t>(rows);
    std::vector<uint32_t> index(total);
    for (size_t t = 0; t < total; ++t)
        index[t] = Random(static_cast<uint32_t>(t));

    // free[i] counts the free slots in the Fenwick range ending at i (1-based).
    std::vector<uint32_t> free(total + 1, 0);
    for (size_t i = 1; i <= total; ++i) {
        free[i] += 1;
        const size_t parent = i + (i & (~i + 1));
        if (parent <= total) free[parent] += free[i];
    }
    size_t highBit = 1;
    while (highBit * 2 <= total)
        highBit *= 2;

    std::vector<QPoint> order(total);
    for (size_t t = total; t-- > 0;) {
        // The slot holding the (index[t] + 1)-th free place.
        size_t pos = 0;
        uint32_t remaining = index[t] + 1;
        for (size_t step = highBit; step > 0; step /= 2) {
            const size_t next = pos + step;
            if (next <= total && free[next] < remaining) {
                pos = next;
                remaining -= free[next];
            }
        }
        const size_t slot = pos + 1;
        for (size_t i = slot; i <= total; i += i & (~i + 1))
            free[i] -= 1;
        const int i = static_cast<int>(t / static_cast<size_t>(rows));
        const int j = static_cast<int>(t % static_cast<size_t>(rows));
        order[slot - 1] = QPoint(i, j);
    }
    return order;
}
} // namespace

TWiper::~TWiper() {
    if (FRunning) --runningWipes;
}

void TWiper::SetWipeType(TWipeType value) {
    if (value == FWipeType) return;
    FWipeType = value;
    if (OnChange) OnChange();
}

void TWiper::SetBlockSize(int value) {
    if (value == FBlockSize) return;
    FBlockSize = value;
    if (OnChange) OnChange();
}

void TWiper::SetFrameCount(int value) {
    if (value == FFrameCount) return;
    FFrameCount = value;
    if (OnChange) OnChange();
}

void TWiper::SetTargetCanvas(QImage* canvas, std::function<void(const QRect&)> invalidate) {
    FTargetCanvas = canvas;
    FInvalidate = std::move(invalidate);
}

void TWiper::SetTargetRect(int left, int top, int width, int height) {
    FTargetLeft = left;
    FTargetTop = top;
    FWidth = width;
    FHeight = height;
}

void TWiper::SetSourceOrigin(int left, int top) {
    FSourceLeft = left;
    FSourceTop = top;
}

void TWiper::Start(int X, int Y, const QImage* Graphic) {
    if (!Graphic) return;
    // A restart while running reuses the running count it already holds.
    if (!FRunning) ++runningWipes;
    FStepsDone = 0;
    FOffsetX = X;
    FOffsetY = Y;
    FSource = Graphic;
    if (Graphic->width() < FWidth || FWidth == 0) FWidth = Graphic->width();
    if (Graphic->height() < FHeight || FHeight == 0) FHeight = Graphic->height();
    FBlocks.clear();
    FNextBlock = 0;
    if (FWipeType == wtMosaic)
        FBlocks = MosaicOrder(DivUp(FWidth, Block()), DivUp(FHeight, Block()));
    FZoomBase = QImage();
    if (FWipeType == wtZoomIn && FTargetCanvas)
        FZoomBase = FTargetCanvas->copy(FTargetLeft + X, FTargetTop + Y, FWidth, FHeight)
                        .convertToFormat(QImage::Format_RGB32);
    FRunning = true;
}

void TWiper::Step() {
    if (!FRunning) return;
    FStepDirty = QRect();
    const bool interrupted = Interrupted();
    if (interrupted) {
        CopyRect(QRect(0, 0, FWidth, FHeight));
    } else {
        const int c = FStepsDone;
        switch (FWipeType) {
        case wtNone:
            break;
        case wtRow:
            StepRow(c);
            break;
        case wtMosaic:
            StepMosaic();
            break;
        case wtZoomIn:
            StepZoomIn(c);
            break;
        case wtTriangle:
            StepTriangle(c);
            break;
        case wtMask:
            StepMask(c);
            break;
        case wtBlinds:
            StepBlinds(c, false);
            break;
        case wtFence:
            StepFence(c);
            break;
        case wtPlait:
            StepBlinds(c, true);
            break;
        }
        ++FStepsDone;
    }
    if (FInvalidate && !FStepDirty.isEmpty()) FInvalidate(FStepDirty);
    if (interrupted || FStepsDone >= FFrameCount) Finish();
}

void TWiper::Finish() {
    FBlocks.clear();
    FBlocks.shrink_to_fit();
    FZoomBase = QImage();
    FRunning = false;
    --runningWipes;
}

void TWiper::CopyRect(const QRect& r) {
    const QRect area = r & QRect(0, 0, FWidth, FHeight);
    if (area.isEmpty() || !FTargetCanvas || !FSource) return;
    const QRect target = area.translated(FTargetLeft + FOffsetX, FTargetTop + FOffsetY);
    RasterOps::Blt(*FTargetCanvas, target, *FSource, area.translated(FSourceLeft, FSourceTop),
                   RasterOps::Op::Copy);
    FStepDirty |= target;
}

void TWiper::StepBlinds(int c, bool vertical) {
    const int block = Block();
    const int h = (block / Frames()) / 2;
    const int extent = vertical ? std::max(FWidth, FHeight) : FHeight;
    const int bands = (extent - 1) / block + 1;
    for (int k = 0; k < bands; ++k) {
        const int m = block * k + block / 2;
        CopyRect(RectLTRB(0, m - c * h - h, FWidth, m - c * h));
        CopyRect(RectLTRB(0, m + c * h, FWidth, m + c * h + h));
        if (!vertical) continue;
        CopyRect(RectLTRB(m - c * h - h, 0, m - c * h, FHeight));
        CopyRect(RectLTRB(m + c * h, 0, m + c * h + h, FHeight));
    }
}

void TWiper::StepMosaic() {
    const int block = Block();
    const size_t total = FBlocks.size();
    const size_t per = (total + static_cast<size_t>(Frames()) - 1) / static_cast<size_t>(Frames());
    for (size_t n = 0; n < per && FNextBlock < total; ++n) {
        const QPoint at = FBlocks[FNextBlock++];
        CopyRect(QRect(block * at.x(), block * at.y(), block, block));
    }
}

void TWiper::StepRow(int c) {
    const int block = Block();
    const int h = block / Frames();
    const int bands = DivUp(FWidth, block);
    for (int k = 0; k < bands; ++k)
        CopyRect(QRect(block * k + c * h, 0, h, FHeight));
}

void TWiper::StepFence(int c) {
    // At least one pixel per picket, and enough bands to reach the right
    // edge: the rounding of the picket width may leave BlockSize bands short of it.
    const int s = std::max(1, DivUp(FWidth, 2 * Frames()) / Block());
    const int b = 2 * Frames() * s;
    const int bands = std::max(FBlockSize, DivUp(FWidth, b));
    for (int k = 0; k < bands; ++k) {
        CopyRect(QRect(b * k + 2 * c * s, 0, s, FHeight));
        CopyRect(RectLTRB(b * k + b - s - 2 * c * s, 0, b * k + b - 2 * c * s, FHeight));
    }
}

void TWiper::StepZoomIn(int c) {
    if (!FTargetCanvas || !FSource) return;
    const int frames = Frames();
    int w = FWidth;
    int h = FHeight;
    if (c + 1 < frames) {
        w = static_cast<int>(static_cast<double>(c + 1) * FWidth / frames);
        h = static_cast<int>(static_cast<double>(c + 1) * FHeight / frames);
    }
    QImage frame = FZoomBase.isNull() ? QImage(FWidth, FHeight, QImage::Format_RGB32) : FZoomBase;
    if (FZoomBase.isNull()) frame.fill(Qt::black);
    const QRect dest((FWidth - w) / 2, (FHeight - h) / 2, w, h);
    const QRect source(FSourceLeft, FSourceTop, FWidth, FHeight);
    if (FMaskPicture)
        MaskedDraw(dest, frame, *FSource, source, RasterOps::ToRgb32(*FMaskPicture));
    else
        RasterOps::Blt(frame, dest, *FSource, source, RasterOps::Op::Copy);
    const QRect target(FTargetLeft + FOffsetX, FTargetTop + FOffsetY, FWidth, FHeight);
    RasterOps::Blt(*FTargetCanvas, target, frame, frame.rect(), RasterOps::Op::Copy);
    FStepDirty |= target;
}

void TWiper::StepTriangle(int c) {
    const int64_t frames = Frames();
    const int64_t span = static_cast<int64_t>(FWidth) + FHeight;
    const int64_t before = c * span / frames;
    const int64_t after = (c + 1) * span / frames;
    // Step c reveals the pixels with before <= x + y < after.
    for (int y = 0; y < FHeight; ++y) {
        const int64_t x0 = std::clamp<int64_t>(before - y, 0, FWidth);
        const int64_t x1 = std::clamp<int64_t>(after - y, 0, FWidth);
        if (x1 > x0) CopyRect(QRect(static_cast<int>(x0), y, static_cast<int>(x1 - x0), 1));
    }
}

void TWiper::StepMask(int c) {
    const int frames = Frames();
    const int y0 = static_cast<int>(static_cast<int64_t>(c) * FHeight / frames);
    const int y1 = static_cast<int>(static_cast<int64_t>(c + 1) * FHeight / frames);
    const QRect band(0, y0, FWidth, y1 - y0);
    if (!FMaskPicture || !FTargetCanvas || !FSource) {
        CopyRect(band);
        return;
    }
    const QRect target = band.translated(FTargetLeft + FOffsetX, FTargetTop + FOffsetY);
    MaskedDraw(target, *FTargetCanvas, *FSource, band.translated(FSourceLeft, FSourceTop),
               RasterOps::ToRgb32(*FMaskPicture));
    FStepDirty |= target;
}

void TWiper::WaitWhileRunning() {
    ProcessMessagesUntil([this] { return !FRunning; });
}

bool TWiper::AnyWipeRunning() {
    return runningWipes != 0;
}

void TWiper::WaitForWipes() {
    ProcessMessagesUntil([] { return runningWipes == 0; });
}
