#include "Art.h"

#include <cmath>

namespace art {

namespace {
struct Sparkle {
    QRgb Core, Light, Base;
};

QRgb Dim(QRgb c, double f) {
    return Scale(c, f);
}

// A four-pointed star with arms of the given length on the axes and, when
// diagonal > 0, shorter ones on the diagonals.
void Star(QImage& img, int ox, int cx, int cy, int arm, int diagonal, const Sparkle& s,
          bool turned) {
    auto put = [&](int x, int y, QRgb c) {
        if (x >= 0 && x < img.width() / 4 && y >= 0 && y < img.height()) Put(img, ox + x, y, c);
    };
    const int ax[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    const int dg[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    const auto& longArms = turned ? dg : ax;
    const auto& shortArms = turned ? ax : dg;
    for (int k = 1; k <= arm; ++k)
        for (auto& a : longArms)
            put(cx + a[0] * k, cy + a[1] * k,
                k <= arm / 3 ? s.Light : Mix(s.Base, s.Light, 1.0 - double(k) / arm));
    for (int k = 1; k <= diagonal; ++k)
        for (auto& a : shortArms)
            put(cx + a[0] * k, cy + a[1] * k, k == 1 ? s.Light : s.Base);
    put(cx, cy, s.Core);
}

void Glitter(QImage& img, int ox, int count, int top, int bottom, int seed, QRgb c) {
    for (int i = 0; i < count; ++i) {
        const int x = 3 + static_cast<int>(Hash(i, 0, seed) * 16);
        const int y = top + static_cast<int>(Hash(i, 1, seed) * (bottom - top));
        Put(img, ox + x, y, c);
    }
}

QImage ToArgb(const QImage& rgb) {
    QImage out(rgb.size(), QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            out.setPixel(x, y, (c & 0x00ffffff) == 0 ? 0u : (c | 0xff000000));
        }
    return out;
}

// Draws a pixel map: '#' outline, '.' fill (shaded from top to bottom), other
// characters leave the picture as it is.
void Map(QImage& img, int x0, int y0, const std::initializer_list<const char*>& rows, QRgb outline,
         QRgb top, QRgb bottom) {
    const int h = static_cast<int>(rows.size());
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x) {
            if (row[x] == '#')
                Put(img, x0 + x, y0 + y, outline);
            else if (row[x] == '.')
                Put(img, x0 + x, y0 + y, Mix(top, bottom, double(y) / h));
            else if (row[x] == '+')
                Put(img, x0 + x, y0 + y, pal::Snow);
        }
        ++y;
    }
}

// A circular arrow around the centre, turning clockwise or counter-clockwise.
void TurnArrow(QImage& img, bool clockwise, double rInner, double rOuter, QRgb fill, QRgb light,
               QRgb outline) {
    const double cx = (img.width() - 1) / 2.0, cy = (img.height() - 1) / 2.0;
    const double pi = std::acos(-1.0);
    const double start = 40 * pi / 180, end = 290 * pi / 180;
    const double rm = (rInner + rOuter) / 2, half = (rOuter - rInner) / 2 + 2.6;
    // Arrowhead at the end of the clockwise sweep (mirrored for the other way).
    const double px = std::sin(end) * rm, py = -std::cos(end) * rm;
    const double tx = std::cos(end), ty = std::sin(end);
    auto inHead = [&](double x, double y) {
        const double along = (x - px) * tx + (y - py) * ty;
        const double across = std::fabs((x - px) * -ty + (y - py) * tx);
        return along >= -0.5 && along <= 6.5 && across <= half * (1.0 - (along + 0.5) / 7.0);
    };
    auto inside = [&](double x, double y) {
        const double d = std::hypot(x, y);
        double a = std::atan2(x, -y);
        if (a < 0) a += 2 * pi;
        return (d >= rInner && d <= rOuter && a >= start && a <= end) || inHead(x, y);
    };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double dx = (clockwise ? x - cx : cx - x), dy = y - cy;
            if (inside(dx, dy)) {
                const bool lit = !inside(dx - (clockwise ? 1 : -1) * 0.0, dy - 1.0);
                Put(img, x, y, lit ? light : fill);
            } else {
                bool near = false;
                for (int j = -1; j <= 1 && !near; ++j)
                    for (int i = -1; i <= 1 && !near; ++i)
                        near = inside(dx + i, dy + j);
                if (near) Put(img, x, y, outline);
            }
        }
}
} // namespace

QImage TinselPicture(int colour) {
    static const Sparkle colours[3] = {
        {pal::Snow, 0xffb8d8ff, 0xff4a80f0},
        {pal::Snow, 0xffffc0b0, 0xffe83a3a},
        {pal::Snow, 0xffe8c0ff, 0xffa040f0},
    };
    const Sparkle& s = colours[colour];
    QImage img = NewPicture(25, 5);
    for (int f = 0; f < 5; ++f) {
        const int ox = f * 5;
        switch (f) {
        case 0:
            Put(img, ox + 2, 2, Dim(s.Base, 0.7));
            break;
        case 1:
            Put(img, ox + 2, 2, s.Light);
            break;
        case 2:
            Put(img, ox + 2, 2, s.Light);
            for (auto d : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}})
                Put(img, ox + d.first, d.second, Dim(s.Base, 0.8));
            break;
        default:
            Put(img, ox + 2, 2, s.Core);
            for (auto d : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}})
                Put(img, ox + d.first, d.second, s.Light);
            for (auto d : {std::pair{0, 2}, {4, 2}, {2, 0}, {2, 4}})
                Put(img, ox + d.first, d.second, s.Base);
            if (f == 4)
                for (auto d : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}})
                    Put(img, ox + d.first, d.second, Dim(s.Base, 0.75));
            break;
        }
    }
    return img;
}

QImage SparklePicture(bool b, int variant) {
    // 22 x 32, four frames: the star flares, shrinks and sheds glitter that
    // drifts down past the letter.
    static const Sparkle a[3] = {
        {pal::Snow, 0xffffe79a, 0xffe0a020},
        {pal::Snow, 0xffe0e8ff, 0xff8aa0e0},
        {pal::Snow, 0xffffc8d8, 0xffe05a8a},
    };
    static const Sparkle bb[3] = {
        {pal::Snow, 0xffb0f4ff, 0xff20a8d0},
        {pal::Snow, 0xffd8ffa0, 0xff60c030},
        {pal::Snow, 0xffe8c8ff, 0xff9a50e8},
    };
    const Sparkle& s = b ? bb[variant - 1] : a[variant - 1];
    const int cx = 10 + (variant - 1) % 2, cy = 11 + (variant == 3 ? 1 : 0);
    const int seed = (b ? 20 : 10) + variant;
    QImage img = NewPicture(88, 32);
    Star(img, 0, cx, cy, 3, b ? 0 : 1, s, b);
    Star(img, 22, cx, cy, 8, 3, s, b);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx && dy) Put(img, 22 + cx + dx, cy + dy, s.Light);
    Star(img, 44, cx, cy + 1, 5, 2, s, b);
    Glitter(img, 44, 5, 18, 26, seed, s.Light);
    Star(img, 66, cx, cy + 2, 2, 0, {s.Light, s.Base, Dim(s.Base, 0.7)}, b);
    Glitter(img, 66, 6, 21, 31, seed + 5, Dim(s.Light, 0.8));
    return img;
}

QImage RowsPicture() {
    // An arrow pointing into the well; it breathes through its four frames.
    QImage img = NewPicture(32, 8);
    const char* rows[8] = {"##......", "####....", "######..", "#######.",
                           "#######.", "######..", "####....", "##......"};
    const Hue& h = pal::Bricks[3];
    for (int f = 0; f < 4; ++f) {
        const double glow = 0.7 + 0.1 * f;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                if (rows[y][x] != '#') continue;
                QRgb c = y < 3 ? h.Light : (y > 4 ? h.Dark : h.Base);
                if (x == 0 || (rows[y][x + 1] != '#')) c = Mix(c, h.Dark, 0.3);
                c = Scale(c, glow + 0.1);
                if (f == 3 && x >= 1 && x <= 2 && (y == 3 || y == 4)) c = pal::Snow;
                Put(img, f * 8 + x, y, c);
            }
    }
    return img;
}

QImage TimePicture() {
    // An amber gem whose sparkle travels round as the time runs.
    QImage img = NewPicture(32, 8);
    const char* rows[8] = {"...##...", "..####..", ".######.", "########",
                           "########", ".######.", "..####..", "...##..."};
    const Hue& h = pal::Bricks[1];
    const int glint[4][2] = {{3, 1}, {5, 3}, {4, 5}, {2, 3}};
    for (int f = 0; f < 4; ++f)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                if (rows[y][x] != '#') continue;
                QRgb c = x + y < 7 ? h.Light : (x + y > 8 ? h.Dark : h.Base);
                if (x == glint[f][0] && y == glint[f][1]) c = pal::Snow;
                Put(img, f * 8 + x, y, c);
            }
    return img;
}

QImage LevelMarkPicture() {
    // A red ring that frames the digit of the current level; the middle is transparent.
    QImage img = NewPicture(24, 24);
    const Hue& h = pal::Bricks[0];
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const int e = std::min(std::min(x, y), std::min(23 - x, 23 - y));
            const bool corner = (x < 2 || x > 21) && (y < 2 || y > 21);
            if (e > 2 || (corner && (x + y == 0 || x + y == 46 || x - y == 23 || y - x == 23)))
                continue;
            QRgb c;
            if (e == 0)
                c = Mix(h.Dark, pal::Ink, 0.3);
            else if (e == 1)
                c = (x < 12 && y < 12) || x + y < 23 ? h.Light : h.Base;
            else
                c = Mix(h.Dark, pal::Ink, 0.1);
            Put(img, x, y, c);
        }
    for (auto p : {std::pair{1, 1}, {22, 1}, {1, 22}, {22, 22}})
        Put(img, p.first, p.second, pal::GoldLight);
    return img;
}

QImage RotationGlyph(bool clockwise) {
    QImage img = NewPicture(32, 32);
    TurnArrow(img, clockwise, 9.5, 12.5, pal::Gold, pal::GoldLight, pal::Ink);
    const QImage cell = CellPicture(5);
    // A small brick being turned in the middle.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            Put(img, 11 + x, 11 + y, cell.pixel(x < 5 ? x : x + 6, y < 5 ? y : y + 6));
    return ToArgb(img);
}

std::map<QString, Cursor> Cursors() {
    std::map<QString, Cursor> cursors;
    {
        QImage img = NewPicture(32, 32);
        Map(img, 0, 0,
            {"#", "##", "#.#", "#..#", "#...#", "#....#", "#.....#", "#......#", "#.......#",
             "#........#", "#.........#", "#......####", "#...#..#", "#..##..#", "#.#  #..#",
             "##   #..#", "#     #..#", "      #..#", "       ##"},
            pal::Ink, pal::Snow, pal::Gold);
        cursors[QStringLiteral("ARROWD")] = {ToArgb(img), 0, 0};
    }
    {
        QImage img = NewPicture(32, 32);
        // Steel head with its striking face on the left, wooden handle.
        Map(img, 2, 2,
            {"##################", "#+...............#", "#................#", "#................#",
             "#................#", "#................#", "#................#",
             "##################"},
            pal::Ink, pal::Mist, pal::Slate);
        Map(img, 10, 10,
            {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#",
             "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"},
            pal::Ink, 0xffd89a5a, 0xff8a5a2a);
        cursors[QStringLiteral("HAMMER")] = {ToArgb(img), 2, 5};
    }
    {
        QImage img = NewPicture(32, 32);
        TurnArrow(img, true, 8.0, 11.0, pal::Snow, pal::Snow, pal::Ink);
        Put(img, 15, 15, pal::Ink);
        Put(img, 16, 15, pal::Snow);
        Put(img, 15, 16, pal::Snow);
        Put(img, 16, 16, pal::Ink);
        cursors[QStringLiteral("FLIP")] = {ToArgb(img), 15, 15};
    }
    cursors[QStringLiteral("INVIS")] = {ToArgb(NewPicture(32, 32)), 15, 15};
    {
        QImage img = NewPicture(32, 32);
        Map(img, 3, 0,
            {"    ##", "   #..#", "   #..#", "   #..#", "   #..###", "   #..#..###",
             "   #..#..#..##", " ##.#..#..#..#.#", "#..##........#.#", "#...#..........#",
             " #.............#", "  #............#", "  #...........#", "   #..........#",
             "   #.........#", "    #........#", "    #........#", "    ##########"},
            pal::Ink, pal::Snow, pal::Cream);
        cursors[QStringLiteral("BMHAND")] = {ToArgb(img), 8, 0};
    }
    return cursors;
}

} // namespace art
