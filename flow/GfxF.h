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

    // Raises EInvalidGraphic naming the picture when a built-in picture is
    // missing (a marked menu or brick picture: when it is first asked for).
    explicit TGfxForm(QObject* owner = nullptr);

    // TGameBackgroundInterface
    const QImage& GameBkgImage() const override { return FGameBkgImage; }
    QImage& GameBackground() override { return FGameBackground; }

    // The title screen, its small well marked like the cells.
    const QImage& MenuImage() const;
    const QImage& FrameImage() const { return FFrameImage; }

    // Whether the cell and brick pictures below carry the colour marks. Set
    // between sessions: a session keeps the pictures it started with.
    bool ColourMarks() const { return FColourMarks; }
    void SetColourMarks(bool marks) { FColourMarks = marks; }
    // The mark of colour 1 to 7 alone, 16 x 16, pure black where the cell
    // shows through; drawn by the cells whatever ColourMarks says.
    const QImage& ColourMark(int colour) const;

    // 16 x 16: colours 1 to 7 of the bricks, 8 the clean-mode cell; marked
    // as ColourMarks says, or as a session that started earlier asks.
    const QImage& SmallType(int colour) const { return SmallType(colour, FColourMarks); }
    const QImage& SmallType(int colour, bool marked) const;
    const QImage& GlassImage() const { return FGlassImage; }
    // Eight 16 x 16 frames of a flash side by side.
    const QImage& Zap() const { return FZap; }
    // Four orientation frames side by side: 48 x 48 each, kind 5 64 x 64.
    const QImage& BrickType(int kind) const;
    const QImage& LogoImage() const { return FLogoImage; }

private:
    static QImage Load(const QString& name);
    // A marked picture is decoded when it is first shown.
    static const QImage& LoadOnce(QImage& slot, const QString& name);

    QImage FGameBkgImage;
    // Index 0 the plain pictures, 1 the marked ones.
    using CellSet = std::array<QImage, CellPictures>;
    using BrickSet = std::array<QImage, BrickPictures>;

    bool FColourMarks = false;
    mutable std::array<QImage, 2> FMenus;
    QImage FFrameImage;
    std::array<CellSet, 2> FSmallTypes;
    std::array<QImage, CellPictures - 1> FColourMarkImages;
    QImage FGlassImage;
    QImage FZap;
    mutable std::array<BrickSet, 2> FBrickTypes;
    QImage FLogoImage;
    QImage FGameBackground;
};
