#include "flow/GfxF.h"

#include "gfx/RasterOps.h"
#include "gfx/brenmarUtils.h"
#include "platform/Exception.h"
#include "resources/Resources_KX.h"

namespace {
// The pixels where the marked cell differs from the plain one.
QImage MarkOnly(const QImage& plain, const QImage& marked) {
    QImage mark(plain.size(), QImage::Format_RGB32);
    mark.fill(Qt::black);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != marked.pixel(x, y)) mark.setPixel(x, y, marked.pixel(x, y));
    return mark;
}
} // namespace

TGfxForm::TGfxForm(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("GfxForm"));
    FGameBkgImage = Load(QStringLiteral("GameBkgJPEGImage"));
    FMenus[0] = Load(QStringLiteral("MenuImage"));
    FFrameImage = Load(QStringLiteral("FrameImage"));
    for (int i = 0; i < CellPictures; ++i) {
        const QString name = QStringLiteral("SmallType%1").arg(i + 1);
        const auto at = static_cast<size_t>(i);
        FSmallTypes[0][at] = Load(name);
        // The clean-mode cell looks the same either way.
        FSmallTypes[1][at] =
            i + 1 == CellPictures ? FSmallTypes[0][at] : Load(QStringLiteral("Marked") + name);
        if (i + 1 < CellPictures)
            FColourMarkImages[at] = MarkOnly(FSmallTypes[0][at], FSmallTypes[1][at]);
    }
    FGlassImage = Load(QStringLiteral("GlassImage"));
    FZap = Load(QStringLiteral("Zap"));
    for (int k = 0; k < BrickPictures; ++k) {
        const QString name = QStringLiteral("BrickType%1").arg(k);
        FBrickTypes[0][static_cast<size_t>(k)] = Load(name);
    }
    FLogoImage = Load(QStringLiteral("LogoImage"));
    // A copy of its own: the settings draw grid lines into it.
    FGameBackground = FGameBkgImage.copy();
}

const QImage& TGfxForm::ColourMark(int colour) const {
    if (colour < 1 || colour >= CellPictures) throw ERangeError();
    return FColourMarkImages[static_cast<size_t>(colour - 1)];
}

const QImage& TGfxForm::SmallType(int colour, bool marked) const {
    if (colour < 1 || colour > CellPictures) throw ERangeError();
    return FSmallTypes[marked ? 1 : 0][static_cast<size_t>(colour - 1)];
}

const QImage& TGfxForm::MenuImage() const {
    if (!FColourMarks) return FMenus[0];
    return LoadOnce(FMenus[1], QStringLiteral("MarkedMenuImage"));
}

const QImage& TGfxForm::BrickType(int kind) const {
    if (kind < 0 || kind >= BrickPictures) throw ERangeError();
    const auto at = static_cast<size_t>(kind);
    if (!FColourMarks) return FBrickTypes[0][at];
    return LoadOnce(FBrickTypes[1][at], QStringLiteral("MarkedBrickType%1").arg(kind));
}

const QImage& TGfxForm::LoadOnce(QImage& slot, const QString& name) {
    if (slot.isNull()) slot = Load(name);
    return slot;
}

QImage TGfxForm::Load(const QString& name) {
    const QImage picture = LoadResourcePicture(name);
    if (picture.isNull())
        throw EInvalidGraphic(QStringLiteral("The built-in picture \"%1\" is missing").arg(name));
    return RasterOps::ToRgb32(picture).copy();
}
