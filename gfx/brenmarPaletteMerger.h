#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

// Display and palette handling. Pictures on screen once had to share one
// 256-colour palette; this platform always draws in true colour, so there is
// no palette display, no master palette, and adapting a picture only brings
// it into the pixel format every panel and image works in (Format_RGB32).

using TPalette = QList<QRgb>;

// Never true here: no screen of this platform draws through a palette.
bool IsPaletteDisplay();
// The screen shows more than 7 bits per pixel (true where no screen is known yet).
bool HasAtLeast256Colors();
// Merged the palette of a bitmap file into the master palette on palette
// displays; with none here it does nothing.
void MergePalette(const QString& FileName);
// The master palette, or nullptr (always, on this platform).
const TPalette* MasterPalette();
// Brings Graphic into the display's format; on a palette display with a
// palette given, renders it through that palette.
void AdaptToDisplay(const TPalette* Palette, QImage& Graphic);
// A copy of Graphic that uses Palette (an 8-bit indexed image).
QImage RenderWithPalette(const TPalette& Palette, const QImage& Graphic);
