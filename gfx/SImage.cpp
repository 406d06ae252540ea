#include "gfx/SImage.h"

#include "gfx/GfxPanel.h"
#include "gfx/RasterOps.h"
#include "gfx/brenmarPaletteMerger.h"
#include "gfx/brenmarUtils.h"

#include <QPainter>
#include <algorithm>
#include <unordered_map>

namespace {
// White where the picture is pure black (it shows what lies under), black elsewhere.
QImage MaskOf(const QImage& picture) {
    QImage mask(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            out[x] = (source[x] & 0x00FFFFFFu) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return mask;
}

// Images showing the same picture (the same pixels, shared) share one mask. A
// picture changed in place has a new cache key, so it never finds a stale mask.
QImage SharedMask(const QImage& picture) {
    static std::unordered_map<qint64, QImage> masks;
    // Masks that no image holds any more go.
    for (auto it = masks.begin(); it != masks.end();)
        it = it->second.isDetached() ? masks.erase(it) : std::next(it);
    QImage& mask = masks[picture.cacheKey()];
    if (mask.isNull()) mask = MaskOf(picture);
    return mask;
}
} // namespace

TBM_CustomImage::TBM_CustomImage(QWidget* parent) : TGraphicControl(parent) {
    SetBounds(Left(), Top(), 105, 105);
}

void TBM_CustomImage::SetPicture(const QImage& picture) {
    FPicture = RasterOps::ToRgb32(picture);
    PictureChanged();
}

void TBM_CustomImage::SetMask(const QImage& mask) {
    FMask = RasterOps::ToRgb32(mask);
    FTransparent = true;
    Invalidate();
}

void TBM_CustomImage::SetTransparent(bool value) {
    if (value == FTransparent) return;
    if (value && FMask.isNull()) CreateMask();
    Invalidate();
    FTransparent = value;
}

void TBM_CustomImage::SetSourceX(int value) {
    if (value == FSourceX) return;
    FSourceX = value;
    PictureChanged();
}

void TBM_CustomImage::SetSourceY(int value) {
    if (value == FSourceY) return;
    FSourceY = value;
    PictureChanged();
}

void TBM_CustomImage::SetAutoSize(bool value) {
    FAutoSize = value;
    PictureChanged();
}

void TBM_CustomImage::SetCenter(bool value) {
    if (value == FCenter) return;
    FCenter = value;
    PictureChanged();
}

void TBM_CustomImage::SetStretch(bool value) {
    if (value == FStretch) return;
    FStretch = value;
    PictureChanged();
}

TGfxPanel* TBM_CustomImage::Panel() const {
    return qobject_cast<TGfxPanel*>(Parent());
}

bool TBM_CustomImage::Composed() const {
    return !FRespondToPaint && Panel();
}

QRect TBM_CustomImage::ImageRect() const {
    if (FStretch) return QRect(0, 0, Width(), Height());
    if (FCenter)
        return QRect((Width() - FPicture.width()) / 2, (Height() - FPicture.height()) / 2,
                     FPicture.width(), FPicture.height());
    return QRect(0, 0, std::min(Width(), FPicture.width()), std::min(Height(), FPicture.height()));
}

QRect TBM_CustomImage::DestRect() const {
    return ImageRect().translated(Left(), Top());
}

QRect TBM_CustomImage::SourceRect() const {
    return QRect(FSourceX, FSourceY, std::min(Width(), FPicture.width()),
                 std::min(Height(), FPicture.height()));
}

void TBM_CustomImage::PictureChanged() {
    if (!FPaletteAdapted) AdaptPalette();
    if (FAutoSize && FPicture.width() > 0 && FPicture.height() > 0)
        SetBounds(Left(), Top(), FPicture.width(), FPicture.height());
    Invalidate();
}

void TBM_CustomImage::AdaptPalette() {
    if (FPicture.isNull() || FPaletteAdapted) return;
    FPaletteAdapted = true;
    AdaptToDisplay(MasterPalette(), FPicture);
}

void TBM_CustomImage::CreateMask() {
    if (FPicture.isNull()) {
        FMask = QImage();
        return;
    }
    FMask = SharedMask(FPicture);
}

void TBM_CustomImage::EnsureMask() {
    // A mask asked for before the picture arrived is derived once there is one.
    if (FTransparent && FMask.isNull() && !FPicture.isNull()) CreateMask();
}

void TBM_CustomImage::Draw() {
    if (!Visible()) return;
    TGfxPanel* panel = Composed() ? Panel() : nullptr;
    if (!panel) {
        FComposedRect = DestRect();
        Invalidate();
        return;
    }
    const QRect dest = DestRect();
    FComposedRect = dest;
    const QRect source = SourceRect();
    if (FTransparent) {
        EnsureMask();
        MaskedDraw(dest, panel->Picture(), FPicture, source, FMask);
    } else {
        RasterOps::Blt(panel->Picture(), dest, FPicture, source, RasterOps::Op::Copy);
    }
    FDrawn = true;
    FLastComposed = dest;
    panel->InvalidatePictureRect(dest);
}

void TBM_CustomImage::Erase() {
    if (!FDrawn) return;
    FDrawn = false;
    TGfxPanel* panel = Panel();
    if (!panel) return;
    RasterOps::Blt(panel->Picture(), FLastComposed, panel->BackgroundCopy(), FLastComposed,
                   RasterOps::Op::Copy);
}

void TBM_CustomImage::Repaint() {
    Erase();
    Draw();
}

void TBM_CustomImage::Loaded() {
    if (FTransparent && FMask.isNull()) CreateMask();
    FPaletteAdapted = true;
}

void TBM_CustomImage::SetVisible(bool value) {
    if (value == Visible()) return;
    if (!value && FDrawn) {
        const QRect erased = FLastComposed;
        Erase();
        if (TGfxPanel* panel = Panel()) {
            panel->InvalidatePictureRect(erased);
            if (panel->Composing()) panel->NoteErasedDuringFrame(erased);
        }
    }
    TGraphicControl::SetVisible(value);
}

void TBM_CustomImage::Paint(QPainter& painter) {
    Erase();
    if (FPicture.isNull()) return;
    const QRect dest = DestRect();
    const QRect source = SourceRect();
    FComposedRect = dest;
    if (FTransparent) {
        EnsureMask();
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(dest, FMask, source);
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        painter.drawImage(dest, FPicture, source);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(dest, FPicture, source);
}
