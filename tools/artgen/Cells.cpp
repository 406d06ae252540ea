#include "Art.h"

#include <cmath>

namespace art {

namespace {
// A bevelled gem-like block: light upper-left rim, dark lower-right rim, a
// face that darkens toward the lower right and a glint near the top left.
QImage Block(const Hue& h, int seed, bool stone) {
    QImage img = NewPicture(16, 16);
    const QRgb outline = Mix(h.Dark, pal::Ink, 0.55);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QRgb c;
            if (x == 0 || y == 0 || x == 15 || y == 15) {
                c = outline;
            } else if (x == 1 || y == 1) {
                c = (x == 14 || y == 14) ? h.Base : h.Light;
            } else if (x == 14 || y == 14) {
                c = h.Dark;
            } else if (x == 13 || y == 13) {
                c = Mix(h.Base, h.Dark, 0.45);
            } else {
                const double t = (x + y - 4) / 22.0;
                c = t < 0.5 ? Mix(Mix(h.Light, h.Base, 0.55), h.Base, t * 2)
                            : Mix(h.Base, h.Dark, (t - 0.5) * 0.7);
                if (stone) {
                    const double n = Hash(x, y, seed);
                    c = Scale(c, 0.9 + 0.2 * n);
                }
            }
            img.setPixel(x, y, Opaque(c));
        }
    if (stone) {
        // A forked crack and a few pits in the stone.
        const QRgb crack = Mix(h.Dark, pal::Ink, 0.3), edge = Mix(h.Base, h.Light, 0.6);
        const int line[][2] = {{4, 3}, {5, 4},  {5, 5},   {6, 6}, {7, 6},  {8, 7}, {8, 8},
                               {9, 9}, {10, 9}, {11, 10}, {8, 9}, {7, 10}, {7, 11}};
        for (auto& p : line) {
            img.setPixel(p[0], p[1], crack);
            if (img.pixel(p[0] + 1, p[1] + 1) != crack)
                img.setPixel(p[0] + 1, p[1] + 1, Mix(img.pixel(p[0] + 1, p[1] + 1), edge, 0.4));
        }
        for (auto p : {std::pair{11, 4}, {4, 10}, {10, 12}}) {
            img.setPixel(p.first, p.second, Mix(h.Dark, h.Base, 0.4));
            img.setPixel(p.first + 1, p.second + 1, edge);
        }
    } else {
        const QRgb glint = Mix(h.Light, pal::Snow, 0.75);
        img.setPixel(3, 3, pal::Snow);
        img.setPixel(4, 3, glint);
        img.setPixel(3, 4, glint);
        img.setPixel(5, 3, Mix(h.Light, h.Base, 0.3));
        img.setPixel(3, 5, Mix(h.Light, h.Base, 0.3));
    }
    return img;
}
} // namespace

QImage CellPicture(int colour, bool marked) {
    if (colour == 8) return Block(pal::Stone, 8, true);
    QImage img = Block(pal::Bricks[static_cast<size_t>(colour - 1)], colour, false);
    if (marked) DrawColourMark(img, colour);
    return img;
}

QImage GlassPicture() {
    // A clear glass bead: the dark well shows through a faintly tinted body,
    // the rim catches light, a sharp highlight sits at the upper left and the
    // light gathers in a caustic at the lower right.
    QImage img = NewPicture(16, 16);
    const double cx = 7.5, cy = 7.5, r = 7.7;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > r) continue;
            const double lit = (-dx - dy) / (2 * r) + 0.5; // 1 at upper left
            QRgb c;
            if (d > r - 1.1) {
                c = Mix(0xff6a92b8, 0xffe6f6ff, lit);
            } else if (d > r - 2.1) {
                c = Mix(0xff2a4a6e, 0xff8ab8dc, lit * 0.8);
            } else {
                const double depth = d / r;
                c = Mix(0xff1c3450, 0xff3a6488, 0.25 + 0.5 * depth);
                // Light refracted through the bead pools opposite the highlight.
                const double ex = x - 10.0, ey = y - 10.5;
                const double caustic = 1.0 - std::sqrt(ex * ex * 0.9 + ey * ey * 1.6) / 3.2;
                if (caustic > 0) c = Mix(c, 0xff9fe0f0, caustic * 0.85);
            }
            img.setPixel(x, y, Opaque(c));
        }
    // Window-shaped highlight.
    const QRgb hi = pal::Snow, hi2 = 0xffc8e8ff;
    for (auto p : {std::pair{4, 3}, {5, 3}, {6, 3}, {3, 4}, {4, 4}, {5, 4}, {3, 5}, {4, 5}, {3, 6}})
        img.setPixel(p.first, p.second, hi);
    for (auto p : {std::pair{7, 3}, {6, 4}, {5, 5}, {4, 6}, {3, 7}})
        img.setPixel(p.first, p.second, hi2);
    img.setPixel(11, 4, 0xffb0d8f0);
    img.setPixel(12, 5, 0xff90c0e0);
    return img;
}

QImage BrickPicture(int kind, bool marked) {
    // The four orientations side by side; each cell is the very picture of
    // the cell it becomes in the playfield, empty places are transparent.
    const int n = BrickSize(kind), side = 16 * n;
    QImage img = NewPicture(4 * side, side);
    const QImage glass = GlassPicture();
    for (int o = 0; o < 4; ++o) {
        const QStringList rows = BrickShape(kind, o);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const QChar c = rows[y][x];
                if (c == QLatin1Char('.')) continue;
                const QImage cell =
                    c == QLatin1Char('B') ? glass : CellPicture(c.digitValue(), marked);
                for (int j = 0; j < 16; ++j)
                    for (int i = 0; i < 16; ++i)
                        img.setPixel(o * side + x * 16 + i, y * 16 + j, cell.pixel(i, j));
            }
    }
    return img;
}

QImage ZapPicture() {
    // Eight frames, 20 pixels apart; a zap sprite shows the left 16 x 16 of
    // each. The flash covers the cell (erased under frame 2), bursts and dies
    // away as sparks.
    QImage img = NewPicture(160, 16);
    const double cx = 7.5, cy = 7.5;
    const QRgb white = pal::Snow, yellow = 0xffffe070, orange = 0xffff9a3a, red = 0xffe8463a,
               ember = 0xff8a3a8a;
    for (int f = 0; f < 8; ++f) {
        const int ox = f * 20;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const double dx = x - cx, dy = y - cy;
                const double d = std::sqrt(dx * dx + dy * dy);
                const bool axis = std::fabs(dx) < 1 || std::fabs(dy) < 1;
                const bool diag = std::fabs(std::fabs(dx) - std::fabs(dy)) < 0.9;
                const double spark = Hash(x, y, 40 + f);
                QRgb c = Transparent;
                switch (f) {
                case 0:
                    if (d < 2.5)
                        c = white;
                    else if (d < 4.5)
                        c = yellow;
                    else if (axis && d < 6)
                        c = orange;
                    break;
                case 1:
                    if (d < 3.6)
                        c = white;
                    else if (d < 5.6)
                        c = yellow;
                    else if (axis && d < 8)
                        c = white;
                    else if (diag && d < 6.8)
                        c = orange;
                    break;
                case 2:
                    if (d < 2.6)
                        c = white;
                    else if (d < 4.4)
                        c = Mix(white, yellow, 0.6);
                    else if (d < 6.2)
                        c = yellow;
                    else if (axis || (diag && d < 9))
                        c = d < 7.5 ? white : yellow;
                    else if (d < 7.4 && spark < 0.5)
                        c = orange;
                    break;
                case 3:
                    if (d > 4.2 && d < 6.4)
                        c = spark < 0.8 ? orange : yellow;
                    else if (d < 2.2)
                        c = yellow;
                    else if ((axis || diag) && d >= 6.4)
                        c = white;
                    else if (d < 4.2 && spark < 0.25)
                        c = orange;
                    break;
                case 4:
                    if (d > 5.4 && d < 7.4 && spark < 0.55)
                        c = spark < 0.3 ? red : orange;
                    else if ((axis || diag) && d > 6 && d < 8.5)
                        c = yellow;
                    else if (d < 1.5)
                        c = orange;
                    break;
                case 5:
                    if (d > 5.8 && spark < 0.28)
                        c = spark < 0.12 ? orange : red;
                    else if (diag && d > 6.5 && d < 8.5)
                        c = orange;
                    break;
                case 6:
                    if (d > 6.2 && spark < 0.16) c = spark < 0.06 ? red : ember;
                    break;
                default:
                    if (d > 6.6 && spark < 0.07) c = ember;
                    break;
                }
                if (c != Transparent) img.setPixel(ox + x, y, c);
            }
    }
    return img;
}

QImage WindowIcon() {
    // Four cells of the kind-2 brick with its bobble, drawn at twice the size.
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(0);
    QImage body = NewPicture(32, 32);
    const QImage cell = CellPicture(3), glass = GlassPicture();
    const int cells[][2] = {{0, 0}, {1, 0}, {0, 1}};
    for (auto& p : cells)
        Stamp(body, cell, p[0] * 16, p[1] * 16);
    Stamp(body, glass, 16, 16);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = body.pixel(x, y);
            if ((c & 0x00ffffff) == 0) continue;
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i)
                    icon.setPixel(2 * x + i, 2 * y + j, c | 0xff000000);
        }
    return icon;
}

} // namespace art
