#include "flow/BrickSupplierV_KX.h"

#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/RasterOps.h"
#include "gfx/Sprite.h"
#include "model/BrickSupplier_KX.h"

#include <algorithm>

TBrickSupplierView::TBrickSupplierView(TSessionCoordinator* owner, TGfxForm& gfx,
                                       TSImage* nextBrickImage)
    : QObject(owner), FCoordinator(owner), FImage(nextBrickImage) {
    for (int k = 0; k < TGfxForm::BrickPictures; ++k) {
        auto sprite = std::make_unique<TSprite>(nullptr);
        const QImage& strip = gfx.BrickType(k);
        sprite->SetPicture(strip);
        sprite->SetTransparent(true);
        sprite->SetBounds(0, 0, strip.height(), strip.height());
        FTemplates[static_cast<size_t>(k)] = std::move(sprite);
    }
}

TBrickSupplierView::~TBrickSupplierView() = default;

void TBrickSupplierView::Refresh() {
    if (!FImage || !FSupplier) return;
    const int players = FCoordinator->Count();
    if (players <= 0) return;
    int width = 0;
    int height = 0;
    for (int k = 0; k < players; ++k) {
        const TSprite& t = *FTemplates[static_cast<size_t>(FSupplier->Peek(k))];
        width += t.Width();
        height = std::max(height, t.Height());
    }
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(0xFF000000u);
    QImage mask(width, height, QImage::Format_RGB32);
    mask.fill(0xFFFFFFFFu);
    int x = 0;
    for (int k = 0; k < players; ++k) {
        const TSprite& t = *FTemplates[static_cast<size_t>(FSupplier->Peek(k))];
        const QRect source(0, 0, t.Width(), t.Height());
        const QRect target(x, 0, t.Width(), t.Height());
        RasterOps::Blt(picture, target, t.Picture(), source, RasterOps::Op::Copy);
        RasterOps::Blt(mask, target, t.Mask(), source, RasterOps::Op::Copy);
        x += t.Width();
    }
    FImage->SetPicture(picture);
    FImage->SetMask(mask);
    FImage->SetBounds(FImage->Left(), FImage->Top(), width, height);
    FImage->SetVisible(true);
}
