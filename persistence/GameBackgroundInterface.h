#pragma once

#include <QImage>

// What the settings need from the graphics holder form (TGfxForm), which
// implements this interface: the game's background picture and the working
// copy of it that the game windows draw behind their playfields.
// ApplySettings rebuilds GameBackground() from GameBkgImage() after every
// change of the settings (grid lines on or off).
class TGameBackgroundInterface {
public:
    virtual ~TGameBackgroundInterface() = default;

    // The untouched background picture, 160 x 320 pixels.
    virtual const QImage& GameBkgImage() const = 0;
    // The working copy; ApplySettings overwrites it.
    virtual QImage& GameBackground() = 0;
};
