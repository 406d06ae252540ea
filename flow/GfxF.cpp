#include "flow/GfxF.h"

#include "gfx/RasterOps.h"
#include "gfx/brenmarUtils.h"
#include "platform/Exception.h"
#include "resources/Resources_KX.h"

TGfxForm::TGfxForm(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("GfxForm"));
    FGameBkgImage = Load(QStringLiteral("GameBkgJPEGImage"));
    FMenuImage = Load(QStringLiteral("MenuImage"));
    FFrameImage = Load(QStringLiteral("FrameImage"));
    for (int i = 0; i < CellPictures; ++i)
        FSmallTypes[static_cast<size_t>(i)] = Load(QStringLiteral("SmallType%1").arg(i + 1));
    FGlassImage = Load(QStringLiteral("GlassImage"));
    FZap = Load(QStringLiteral("Zap"));
    for (int k = 0; k < BrickPictures; ++k)
        FBrickTypes[static_cast<size_t>(k)] = Load(QStringLiteral("BrickType%1").arg(k));
    FLogoImage = Load(QStringLiteral("LogoImage"));
    // A copy of its own: the settings draw grid lines into it.
    FGameBackground = FGameBkgImage.copy();
}

const QImage& TGfxForm::SmallType(int colour) const {
    if (colour < 1 || colour > CellPictures) throw ERangeError();
    return FSmallTypes[static_cast<size_t>(colour - 1)];
}

const QImage& TGfxForm::BrickType(int kind) const {
    if (kind < 0 || kind >= BrickPictures) throw ERangeError();
    return FBrickTypes[static_cast<size_t>(kind)];
}

QImage TGfxForm::Load(const QString& name) {
    const QImage picture = LoadResourcePicture(name);
    if (picture.isNull())
        throw EInvalidGraphic(QStringLiteral("The built-in picture \"%1\" is missing").arg(name));
    return RasterOps::ToRgb32(picture).copy();
}
