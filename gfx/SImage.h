#pragma once

#include "gfx/GraphicControl.h"

#include <QImage>
#include <QRect>

class TGfxPanel;

// The common base of still images and sprites: a graphic control that shows
// part of a picture, optionally through a mask (white = transparent,
// black = opaque; the picture must be black where the mask is white).
//
// Shown in one of two ways. Composed (on a TGfxPanel, RespondToPaint False):
// the panel's frame composition draws it into the panel's picture and erases
// it by restoring the panel's background copy; it never paints itself.
// Self-painting (any other parent, or RespondToPaint True): it is drawn on
// the window whenever its area is repainted.
class TBM_CustomImage : public TGraphicControl {
    Q_OBJECT
public:
    explicit TBM_CustomImage(QWidget* parent);

    const QImage& Picture() const { return FPicture; }
    // Copies the picture (as Format_RGB32).
    void SetPicture(const QImage& picture);
    const QImage& Mask() const { return FMask; }
    // Copies the mask as given and makes the image Transparent.
    void SetMask(const QImage& mask);
    bool Transparent() const { return FTransparent; }
    // Turning it on without a mask derives one from the picture (CreateMask).
    void SetTransparent(bool value);
    bool RespondToPaint() const { return FRespondToPaint; }
    void SetRespondToPaint(bool value) { FRespondToPaint = value; }
    // Offset into the picture of the part shown.
    int SourceX() const { return FSourceX; }
    void SetSourceX(int value);
    int SourceY() const { return FSourceY; }
    void SetSourceY(int value);
    // AutoSize sizes the control to its picture.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);

    // The parent when it is a graphics panel.
    TGfxPanel* Panel() const;
    // Whether the panel's composition draws this image.
    bool Composed() const;
    // Whether the image is currently drawn into its panel's picture.
    bool Drawn() const { return FDrawn; }
    // Where it was last drawn (panel coordinates when composed).
    QRect ComposedRect() const { return FComposedRect; }
    // Where the picture appears inside the control (control coordinates).
    QRect ImageRect() const;

    virtual void PictureChanged();
    virtual void AdaptPalette();
    // Derives the mask: black picture pixels become white (transparent), all others black.
    virtual void CreateMask();
    // Composed: draws into the panel's picture and marks the rectangle for
    // repaint. Self-painting: asks the window to repaint the control.
    virtual void Draw();
    // Composed: restores the background under the last drawn rectangle.
    virtual void Erase();
    void Repaint();
    // What a form does after building the image: a Transparent image
    // without a mask gets one, and later pictures are not adapted again.
    void Loaded();

    // Hiding restores the background under a composed image at once.
    void SetVisible(bool value) override;
    bool PaintsSelf() const override { return !Composed(); }
    void Paint(QPainter& painter) override;

private:
    // The destination (parent coordinates) and source rectangles of a draw.
    QRect DestRect() const;
    QRect SourceRect() const;
    void EnsureMask();

    QRect FComposedRect;
    bool FPaletteAdapted = false;
    int FSourceX = 0;
    int FSourceY = 0;
    QImage FPicture;
    QImage FMask;
    bool FTransparent = false;
    bool FRespondToPaint = false;
    bool FDrawn = false;
    QRect FLastComposed;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FCenter = false;
};

// A still image; composed on a panel, it is redrawn every frame.
class TSImage : public TBM_CustomImage {
    Q_OBJECT
public:
    explicit TSImage(QWidget* parent) : TBM_CustomImage(parent) {}
};
