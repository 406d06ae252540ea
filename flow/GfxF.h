#pragma once

#include "persistence/GameBackgroundInterface.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <array>

// The graphics holder: an invisible form that only keeps the game's built-in
// pictures, and the working copy of the game background that the settings
// rebuild (with or without grid lines) and the game windows draw behind
// their playfields.
class TGfxForm : public QObject, public TGameBackgroundInterface {
public:
    static constexpr int CellPictures = 8;
    static constexpr int BrickPictures = 7;

    // Raises EInvalidGraphic naming the picture when a built-in picture is missing.
    explicit TGfxForm(QObject* owner = nullptr);

    // TGameBackgroundInterface
    const QImage& GameBkgImage() const override { return FGameBkgImage; }
    QImage& GameBackground() override { return FGameBackground; }

    const QImage& MenuImage() const { return FMenuImage; }
    const QImage& FrameImage() const { return FFrameImage; }
    // 16 x 16: colours 1 to 7 of the bricks, 8 the clean-mode cell.
    const QImage& SmallType(int colour) const;
    const QImage& GlassImage() const { return FGlassImage; }
    // Eight 16 x 16 frames of a flash side by side.
    const QImage& Zap() const { return FZap; }
    // Four orientation frames side by side: 48 x 48 each, kind 5 64 x 64.
    const QImage& BrickType(int kind) const;
    const QImage& LogoImage() const { return FLogoImage; }

private:
    static QImage Load(const QString& name);

    QImage FGameBkgImage;
    QImage FMenuImage;
    QImage FFrameImage;
    std::array<QImage, CellPictures> FSmallTypes;
    QImage FGlassImage;
    QImage FZap;
    std::array<QImage, BrickPictures> FBrickTypes;
    QImage FLogoImage;
    QImage FGameBackground;
};
