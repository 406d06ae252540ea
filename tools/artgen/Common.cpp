#include "Art.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace art {

namespace {
int Channel(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}
} // namespace

QRgb Opaque(QRgb c) {
    // Pure black would turn transparent under a derived mask.
    if ((c & 0x00ffffff) == 0) return qRgb(1, 1, 2);
    return c | 0xff000000;
}

QRgb Mix(QRgb a, QRgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return Opaque(qRgb(Channel(qRed(a) + (qRed(b) - qRed(a)) * t),
                       Channel(qGreen(a) + (qGreen(b) - qGreen(a)) * t),
                       Channel(qBlue(a) + (qBlue(b) - qBlue(a)) * t)));
}

QRgb Scale(QRgb c, double f) {
    return Opaque(qRgb(Channel(qRed(c) * f), Channel(qGreen(c) * f), Channel(qBlue(c) * f)));
}

double Hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777216.0;
}

QImage NewPicture(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void Put(QImage& img, int x, int y, QRgb c) {
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    img.setPixel(x, y, c);
}

void FillRect(QImage& img, int x, int y, int w, int h, QRgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            Put(img, i, j, c);
}

void Stamp(QImage& dst, const QImage& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i) {
            const QRgb c = src.pixel(i, j);
            if ((c & 0x00ffffff) != 0 && qAlpha(c) > 0) Put(dst, x + i, y + j, c | 0xff000000);
        }
}

void StampScaled(QImage& dst, const QImage& src, int x, int y, int scale) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i) {
            const QRgb c = src.pixel(i, j);
            if ((c & 0x00ffffff) == 0 || qAlpha(c) == 0) continue;
            FillRect(dst, x + i * scale, y + j * scale, scale, scale, c | 0xff000000);
        }
}

const std::array<const char*, 7>& BlockLetter(char c) {
    static const std::array<const char*, 7> k{"#...#", "#..#.", "#.#..", "##...",
                                              "#.#..", "#..#.", "#...#"};
    static const std::array<const char*, 7> o{".###.", "#...#", "#...#", "#...#",
                                              "#...#", "#...#", ".###."};
    static const std::array<const char*, 7> l{"#....", "#....", "#....", "#....",
                                              "#....", "#....", "#####"};
    static const std::array<const char*, 7> v{"#...#", "#...#", "#...#", "#...#",
                                              ".#.#.", ".#.#.", "..#.."};
    static const std::array<const char*, 7> e{"#####", "#....", "#....", "####.",
                                              "#....", "#....", "#####"};
    static const std::array<const char*, 7> x{"#...#", "#...#", ".#.#.", "..#..",
                                              ".#.#.", "#...#", "#...#"};
    switch (c) {
    case 'K':
        return k;
    case 'O':
        return o;
    case 'L':
        return l;
    case 'V':
        return v;
    case 'E':
        return e;
    default:
        return x;
    }
}

int BrickSize(int kind) {
    return kind == 5 ? 4 : 3;
}

QStringList BrickShape(int kind, int orientation) {
    // Rows top to bottom, orientation o + 1 a quarter turn clockwise of o.
    static const char* const table[7][4] = {
        {"B.. / ... / 11.", "... / 1.B / 1..", "11. / ... / .B.", "... / ..1 / B.1"},
        {".B. / ... / 22.", "... / 2.. / 2.B", "22. / ... / B..", "... / B.2 / ..2"},
        {"... / 333 / B33", "B3. / 33. / 33.", "... / 33B / 333", "33. / 33. / 3B."},
        {"... / .44 / 44.", "4.. / 44. / .4.", "... / .44 / 44.", "4.. / 44. / .4."},
        {"... / 55. / .55", ".5. / 55. / 5..", "... / 55. / .55", ".5. / 55. / 5.."},
        {".... / .... / 6B66 / ....", ".6.. / .B.. / .6.. / .6..", ".... / .... / 66B6 / ....",
         ".6.. / .6.. / .B.. / .6.."},
        {"... / .7. / 7.7", "7.. / .7. / 7..", "... / 7.7 / .7.", "..7 / .7. / ..7"},
    };
    return QString::fromLatin1(table[kind][orientation]).split(QStringLiteral(" / "));
}

} // namespace art
