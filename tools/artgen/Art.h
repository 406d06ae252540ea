#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <map>

// Everything the game shows is drawn here, pixel by pixel where it has to be
// crisp, from one palette. Pure black (0, 0, 0) is the transparent colour of
// the masked pictures, so no colour below is pure black.
namespace art {

constexpr QRgb Transparent = 0xff000000;

struct Hue {
    QRgb Light, Base, Dark;
};

// The palette. Brick colour c (1 to 7) is Bricks[c - 1]; Stone is the clean-mode cell.
namespace pal {
constexpr QRgb Ink = 0xff0e0b1a;   // outlines and the darkest shade
constexpr QRgb Night = 0xff141a3a; // deep backgrounds
constexpr QRgb Dusk = 0xff1f2752;
constexpr QRgb Slate = 0xff2e3a6e;
constexpr QRgb Steel = 0xff56679e;
constexpr QRgb Mist = 0xff9aa8d8;
constexpr QRgb Snow = 0xfff4f0ff;
constexpr QRgb Gold = 0xfff0c040;
constexpr QRgb GoldLight = 0xffffe79a;
constexpr QRgb GoldDark = 0xff9a6a18;
constexpr QRgb Cream = 0xffe8e2cc;
constexpr std::array<Hue, 7> Bricks{{
    {0xffff8a7a, 0xffe03a3a, 0xff8a1420}, // red
    {0xffffb868, 0xfff07c1c, 0xff8c3e0c}, // orange
    {0xfffff490, 0xffe8d020, 0xff8a7010}, // yellow
    {0xff9af08a, 0xff3cc050, 0xff1a6a2a}, // green
    {0xffa0f0ff, 0xff30c0d8, 0xff146070}, // cyan
    {0xff90b0ff, 0xff3a64e0, 0xff1a2a80}, // blue
    {0xfff0a0ff, 0xffc040d0, 0xff6a1a7a}, // magenta
}};
constexpr Hue Stone{0xffc8c2b4, 0xff8a8478, 0xff4e4a44};
} // namespace pal

// Colour arithmetic; results are never pure black.
QRgb Mix(QRgb a, QRgb b, double t);
QRgb Scale(QRgb c, double f);
QRgb Opaque(QRgb c);
// A repeatable pseudo-random value in [0, 1) for a position and a seed.
double Hash(int x, int y, int seed);

QImage NewPicture(int w, int h, QRgb fill = Transparent);
void Put(QImage& img, int x, int y, QRgb c);
void FillRect(QImage& img, int x, int y, int w, int h, QRgb c);
// Copies src into dst at (x, y), skipping src's transparent (pure black) pixels.
void Stamp(QImage& dst, const QImage& src, int x, int y);
// Draws an upscaled copy: every pixel of src becomes a block of scale x scale.
void StampScaled(QImage& dst, const QImage& src, int x, int y, int scale);

// The block letters of the logo, 5 x 7 cells each.
const std::array<const char*, 7>& BlockLetter(char c);

// The brick shape table: Shape(kind, orientation) gives the rows top to bottom,
// '.' empty, 'B' a bobble, a digit a brick cell of that colour.
int BrickSize(int kind);
QStringList BrickShape(int kind, int orientation);

struct Cursor {
    QImage Image;
    int HotX, HotY;
};

// Drawing units.
// 1 to 7 brick colours, 8 the clean-mode cell; marked: with the colour's
// own mark (the clean-mode cell has none).
QImage CellPicture(int colour, bool marked = false);
// Engraves colour's mark (1 to 7) into a 16 x 16 cell picture.
void DrawColourMark(QImage& cell, int colour);
QImage GlassPicture();
QImage BrickPicture(int kind, bool marked = false);
QImage ZapPicture();
QImage WindowIcon();
// The desktop icon at size x size pixels (an even size), drawn for that size.
QImage DesktopIcon(int size);

QImage GameBackground();
QImage ShowBackground();
QImage FramePicture();
// The menu picture and the three highlighted choices cut from the same drawing.
QImage MenuPicture(bool marked = false);
QImage MenuHighlight(int choice);
QImage SplashPicture();
QImage LogoPicture();

QImage TinselPicture(int colour); // 0 blue, 1 red, 2 purple
QImage SparklePicture(bool b, int variant);
QImage RowsPicture();
QImage TimePicture();
QImage LevelMarkPicture();
QImage RotationGlyph(bool clockwise);
std::map<QString, Cursor> Cursors();

// Sounds: complete RIFF WAVE files, 8-bit unsigned mono PCM.
std::map<QString, QByteArray> Sounds();

// Text drawing with the embedded font families.
void SetFontFolder(const QString& folder);
QByteArray EncodeJpeg(const QImage& img, int quality);

} // namespace art
