#include "Art.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace art {

namespace {
struct TextStyle {
    const char* Family = "Liberation Sans";
    int PixelSize = 12;
    bool Bold = true;
    bool Italic = false;
    QRgb Colour = pal::Snow;
    QRgb Outline = 0; // 0: none
};

void Text(QImage& img, const QRect& box, const QString& text, const TextStyle& s,
          int align = Qt::AlignCenter) {
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont f(QString::fromLatin1(s.Family));
    f.setPixelSize(s.PixelSize);
    f.setBold(s.Bold);
    f.setItalic(s.Italic);
    f.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(f);
    if (s.Outline) {
        p.setPen(QColor::fromRgb(s.Outline));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx || dy) p.drawText(box.translated(dx, dy), align, text);
    }
    p.setPen(QColor::fromRgb(s.Colour));
    p.drawText(box, align, text);
}

// A star field: mostly single dim pixels, a few brighter crosses.
void Stars(QImage& img, int seed, int count, int maxY) {
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(Hash(i, 1, seed) * img.width());
        const int y = static_cast<int>(Hash(i, 2, seed) * maxY);
        const double b = Hash(i, 3, seed);
        const QRgb base = img.pixel(std::min(x, img.width() - 1), std::min(y, img.height() - 1));
        if (b > 0.9) {
            Put(img, x, y, pal::Snow);
            for (auto d : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
                Put(img, x + d.first, y + d.second, Mix(base, pal::Mist, 0.6));
        } else {
            Put(img, x, y, Mix(base, b > 0.5 ? pal::Mist : pal::Steel, 0.35 + 0.5 * b));
        }
    }
}

// A block letter of the logo, each block a tiny bevelled cell of size s.
void Letter(QImage& img, char c, int x0, int y0, int s, const Hue& h) {
    const auto& rows = BlockLetter(c);
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 5; ++k) {
            if (rows[static_cast<size_t>(r)][k] != '#') continue;
            const int bx = x0 + k * s, by = y0 + r * s;
            for (int j = 0; j < s; ++j)
                for (int i = 0; i < s; ++i) {
                    QRgb col = h.Base;
                    if (i == s - 1 || j == s - 1)
                        col = h.Dark;
                    else if (i == 0 || j == 0)
                        col = h.Light;
                    Put(img, bx + i, by + j, col);
                }
        }
}

void Logo(QImage& img, int x0, int y0, int s, int gap, bool vertical) {
    const char* word = "KOLVEX";
    for (int i = 0; i < 6; ++i) {
        const Hue& h = pal::Bricks[static_cast<size_t>(i == 5 ? 6 : i)];
        if (vertical)
            Letter(img, word[i], x0, y0 + i * (7 * s + gap), s, h);
        else
            Letter(img, word[i], x0 + i * (5 * s + gap), y0, s, h);
    }
}

// Drop shadow under the block letters, so the logo stands off the ground.
void LogoShadow(QImage& img, int x0, int y0, int s, int gap, bool vertical) {
    QImage shade = NewPicture(img.width(), img.height());
    Logo(shade, x0 + 1, y0 + 2, s, gap, vertical);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((shade.pixel(x, y) & 0x00ffffff) != 0)
                img.setPixel(x, y, Mix(img.pixel(x, y), pal::Ink, 0.7));
}

// A rounded plate: fill, a one-pixel border and a lighter upper half.
void Plate(QImage& img, const QRect& r, QRgb top, QRgb bottom, QRgb border, QRgb inner) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool cornerX = x == r.left() || x == r.right();
            const bool cornerY = y == r.top() || y == r.bottom();
            if (cornerX && cornerY) continue;
            QRgb c;
            if (cornerX || cornerY)
                c = border;
            else if (x == r.left() + 1 || y == r.top() + 1)
                c = inner;
            else
                c = Mix(top, bottom, double(y - r.top()) / r.height());
            Put(img, x, y, c);
        }
}

void Rivet(QImage& img, int x, int y) {
    Put(img, x, y, pal::Mist);
    Put(img, x + 1, y, pal::Steel);
    Put(img, x, y + 1, pal::Steel);
    Put(img, x + 1, y + 1, pal::Slate);
}

// Inset rectangle: dark upper-left rim, light lower-right rim.
void Inset(QImage& img, const QRect& r, QRgb fill, int rim) {
    for (int y = r.top() - rim; y <= r.bottom() + rim; ++y)
        for (int x = r.left() - rim; x <= r.right() + rim; ++x) {
            if (r.contains(x, y)) {
                Put(img, x, y, fill);
                continue;
            }
            const bool upperLeft = x < r.left() || y < r.top();
            const bool lowerRight = x > r.right() || y > r.bottom();
            QRgb c = upperLeft && !lowerRight ? Mix(pal::Ink, pal::Slate, 0.3)
                                              : Mix(pal::Mist, pal::Snow, 0.2);
            if (upperLeft && lowerRight) c = pal::Steel;
            Put(img, x, y, c);
        }
}

const QRect menuChoices[3] = {QRect(30, 72, 102, 37), QRect(30, 110, 102, 30),
                              QRect(30, 141, 102, 30)};
const char* const menuLabels[3] = {"Start", "Top scores", "Credits"};

QImage MenuScene(int highlighted, bool marked) {
    QImage img = NewPicture(160, 314);
    for (int y = 0; y < 314; ++y)
        for (int x = 0; x < 160; ++x) {
            const double v = 1.0 - 0.22 * std::pow(std::fabs(x - 79.5) / 80.0, 2);
            img.setPixel(x, y, Scale(Mix(0xff182050, 0xff2a1f58, y / 314.0), v));
        }
    Stars(img, 7, 70, 300);
    // Title.
    LogoShadow(img, 10, 14, 4, 5, false);
    Logo(img, 10, 14, 4, 5, false);
    for (int x = 22; x < 138; ++x)
        Put(img, x, 50, Mix(pal::GoldDark, pal::Gold, 1.0 - std::fabs(x - 80) / 58.0));
    Text(img, QRect(0, 53, 160, 14), QStringLiteral("the bobble puzzle"),
         {"Liberation Serif", 11, false, true, pal::Mist, 0});
    // The three choices.
    for (int i = 0; i < 3; ++i) {
        const QRect r = menuChoices[i].adjusted(2, 2, -2, -2);
        const int size = i == 0 ? 19 : 15;
        if (i == highlighted) {
            // The choice lights up: a gold plate, white lettering and two small stars.
            Plate(img, r, pal::GoldLight, pal::GoldDark, pal::Ink, pal::Snow);
            Text(img, r, QString::fromLatin1(menuLabels[i]),
                 {"Liberation Sans", size, true, false, pal::Snow,
                  Mix(pal::GoldDark, pal::Ink, 0.5)});
            for (const int sx : {r.left() + 5, r.right() - 5}) {
                const int sy = r.center().y();
                Put(img, sx, sy, pal::Snow);
                for (auto d : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
                    Put(img, sx + d.first, sy + d.second, pal::GoldLight);
                for (auto d : {std::pair{-2, 0}, {2, 0}, {0, -2}, {0, 2}})
                    Put(img, sx + d.first, sy + d.second, pal::Gold);
            }
        } else {
            Plate(img, r, Mix(pal::Slate, pal::Dusk, 0.3), pal::Dusk, pal::Steel,
                  Mix(pal::Steel, pal::Slate, 0.5));
            Text(img, r, QString::fromLatin1(menuLabels[i]),
                 {"Liberation Sans", size, true, false, pal::Mist, pal::Ink});
        }
    }
    // Rows 186 to 227 stay free: the program writes the keys in force there.
    for (int x = 40; x < 120; ++x)
        Put(img, x, 234, Mix(pal::Slate, pal::Steel, 1.0 - std::fabs(x - 80) / 40.0));
    // A little well in play along the bottom.
    const int floor[10] = {1, 1, 3, 3, 3, 0, 6, 6, 4, 2};
    const int second[10] = {0, 5, 5, 9, 0, 0, 0, 7, 7, 0};
    const int third[10] = {0, 0, 0, 2, 0, 0, 0, 0, 9, 0};
    const QImage glass = GlassPicture();
    for (int c = 0; c < 10; ++c) {
        auto cell = [&](int kind, int row) {
            if (kind == 0) return;
            Stamp(img, kind == 9 ? glass : CellPicture(kind, marked), c * 16, 298 - row * 16);
        };
        cell(floor[c], 0);
        cell(second[c], 1);
        cell(third[c], 2);
    }
    return img;
}
} // namespace

QImage GameBackground() {
    // Calm and dark, so every cell stands out; alternate columns differ very
    // slightly so the columns read even without grid lines.
    QImage img = NewPicture(160, 320);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 160; ++x) {
            const double edge = std::pow(std::fabs(x - 79.5) / 80.0, 2);
            QRgb c = Mix(0xff232a52, 0xff2c2656, y / 320.0);
            c = Scale(c, (1.0 - 0.25 * edge) * ((x / 16) % 2 ? 0.96 : 1.0));
            // A soft glow rising from the floor of the well.
            const double glow = std::max(0.0, (y - 230) / 90.0);
            c = Mix(c, 0xff3c3470, glow * glow * 0.6);
            img.setPixel(x, y, c);
        }
    // Faint bubbles drifting up through the well.
    const double bubbles[][3] = {{30, 250, 9}, {118, 190, 12}, {60, 110, 6},
                                 {134, 60, 7}, {22, 40, 4},    {92, 290, 5}};
    for (auto& b : bubbles)
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 160; ++x) {
                const double d = std::hypot(x - b[0], y - b[1]);
                if (std::fabs(d - b[2]) < 0.7)
                    img.setPixel(x, y, Mix(img.pixel(x, y), pal::Mist, 0.16));
                else if (d < b[2] && x < b[0] && y < b[1] && d > b[2] - 2.5)
                    img.setPixel(x, y, Mix(img.pixel(x, y), pal::Mist, 0.08));
            }
    return img;
}

QImage ShowBackground() {
    // Deep violet behind white and silver text, a headline band at the top.
    QImage img = NewPicture(160, 320);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 160; ++x) {
            QRgb c = Mix(0xff33205a, 0xff1a1840, y / 320.0);
            const int u = (x + y) % 20, v = (x - y + 400) % 20;
            if (u == 0 || v == 0) c = Mix(c, pal::Steel, 0.07);
            const double edge = std::pow(std::fabs(x - 79.5) / 80.0, 3);
            img.setPixel(x, y, Scale(c, 1.0 - 0.3 * edge));
        }
    for (int y = 6; y <= 46; ++y)
        for (int x = 0; x < 160; ++x)
            img.setPixel(x, y, Mix(img.pixel(x, y), 0xff4a2c78, 0.7));
    for (int x = 0; x < 160; ++x) {
        const double t = 1.0 - std::fabs(x - 79.5) / 80.0;
        img.setPixel(x, 6, Mix(pal::GoldDark, pal::Gold, t));
        img.setPixel(x, 46, Mix(pal::GoldDark, pal::Gold, t));
        img.setPixel(x, 47, Mix(img.pixel(x, 47), pal::Ink, 0.5));
    }
    for (int y = 0; y < 320; y += 319)
        for (int x = 0; x < 160; ++x)
            img.setPixel(x, y, pal::Slate);
    // Small diamonds in the lower corners.
    for (const int cx : {9, 150})
        for (int d = -3; d <= 3; ++d)
            for (int e = -3; e <= 3; ++e)
                if (std::abs(d) + std::abs(e) <= 3)
                    Put(img, cx + d, 300 + e,
                        Mix(img.pixel(cx + d, 300 + e), pal::Gold,
                            std::abs(d) + std::abs(e) == 3 ? 0.5 : 0.2));
    return img;
}

QImage FramePicture() {
    // A steel bezel around the well: five level sockets across the top
    // (24 x 24 at x = 24 + 30 i, y 6), the window for the next brick below
    // them, the row and time gauges down both sides and a name plate at the bottom.
    QImage img = NewPicture(192, 416);
    for (int y = 0; y < 416; ++y) {
        const double brush = 0.95 + 0.1 * Hash(0, y, 3);
        for (int x = 0; x < 192; ++x) {
            QRgb c = Mix(0xff7482b0, 0xff404a78, y / 416.0);
            c = Scale(c, brush * (0.97 + 0.06 * Hash(x / 3, y, 4)));
            if (x < 2 || y < 2) c = Mix(c, pal::Snow, 0.35);
            if (x > 189 || y > 413) c = Mix(c, pal::Ink, 0.5);
            img.setPixel(x, y, c);
        }
    }
    // The well.
    Inset(img, QRect(16, 80, 160, 320), pal::Night, 2);
    // Level sockets.
    for (int i = 0; i < 5; ++i) {
        const QRect r(24 + 30 * i + 2, 8, 20, 20);
        Inset(img, r, pal::Cream, 2);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                img.setPixel(x, y, Mix(pal::Snow, 0xffc8c0a4, double(y - r.top()) / r.height()));
    }
    // Next-brick window.
    const QRect next(20, 34, 152, 43);
    Inset(img, next, 0xff181c38, 1);
    for (int y = next.top(); y <= next.bottom(); ++y)
        for (int x = next.left(); x <= next.right(); ++x)
            img.setPixel(x, y, Mix(0xff141832, 0xff262a50, double(y - next.top()) / next.height()));
    Text(img, QRect(22, 34, 44, 43), QStringLiteral("NEXT"),
         {"Liberation Sans", 10, true, false, pal::Steel, 0});
    // Gauges: rows on the left, time on the right.
    for (int side = 0; side < 2; ++side) {
        const int gx = side == 0 ? 4 : 180;
        Inset(img, QRect(gx, 80, 8, 328), 0xff1c2040, 1);
        for (int y = 80; y < 408; ++y)
            for (int x = gx; x < gx + 8; ++x)
                img.setPixel(x, y,
                             Mix(0xff161a36, 0xff2a2e58, 1.0 - std::fabs(x - gx - 3.5) / 4.0));
        for (int y = 96; y < 400; y += 32) {
            const int tx = side == 0 ? 13 : 178;
            Put(img, tx, y, pal::Mist);
            Put(img, tx + (side == 0 ? 1 : -1), y, pal::Steel);
        }
    }
    // Name plate and rivets.
    Text(img, QRect(16, 402, 160, 13), QStringLiteral("K O L V E X"),
         {"Liberation Sans", 9, true, false, pal::Slate, 0});
    Text(img, QRect(16, 401, 160, 13), QStringLiteral("K O L V E X"),
         {"Liberation Sans", 9, true, false, pal::Mist, 0});
    for (auto p :
         {std::pair{4, 4}, {186, 4}, {4, 409}, {186, 409}, {8, 16}, {182, 16}, {8, 52}, {182, 52}})
        Rivet(img, p.first, p.second);
    return img;
}

QImage MenuPicture(bool marked) {
    return MenuScene(-1, marked);
}

QImage MenuHighlight(int choice) {
    return MenuScene(choice, false).copy(menuChoices[choice]);
}

QImage SplashPicture() {
    QImage img = NewPicture(256, 112);
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 256; ++x)
            img.setPixel(x, y, Mix(0xff1a2150, 0xff33215e, (x + 2 * y) / 480.0));
    Stars(img, 11, 60, 90);
    Text(img, QRect(10, 6, 160, 14), QStringLiteral("Brenmar presents"),
         {"Liberation Serif", 12, false, true, pal::Mist, 0}, Qt::AlignLeft | Qt::AlignVCenter);
    LogoShadow(img, 12, 26, 4, 5, false);
    Logo(img, 12, 26, 4, 5, false);
    // The release badge: the version number is written in black on it.
    Plate(img, QRect(178, 26, 72, 24), pal::GoldLight, 0xffe0b048, pal::Ink, pal::Snow);
    Text(img, QRect(0, 62, 170, 14), QStringLiteral("send whole areas to your rival"),
         {"Liberation Sans", 10, true, false, pal::Snow, pal::Ink});
    // A row of landed cells along the bottom.
    const int row[16] = {1, 1, 2, 9, 3, 3, 3, 4, 4, 5, 9, 6, 6, 6, 7, 2};
    const QImage glass = GlassPicture();
    for (int i = 0; i < 16; ++i)
        Stamp(img, row[i] == 9 ? glass : CellPicture(row[i]), i * 16, 92);
    for (int x = 0; x < 256; ++x)
        img.setPixel(x, 91, Mix(img.pixel(x, 91), pal::Ink, 0.6));
    return img;
}

QImage LogoPicture() {
    QImage img = NewPicture(43, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 43; ++x) {
            QRgb c = Mix(0xff1c2454, 0xff2e2060, y / 256.0);
            if (x == 0 || x == 42 || y == 0 || y == 255)
                c = pal::Gold;
            else if (x == 1 || y == 1)
                c = pal::GoldDark;
            else if (x == 41 || y == 254)
                c = Mix(pal::GoldDark, pal::Ink, 0.4);
            img.setPixel(x, y, c);
        }
    LogoShadow(img, 9, 8, 5, 6, true);
    Logo(img, 9, 8, 5, 6, true);
    return img;
}

void SetFontFolder(const QString& folder) {
    for (const char* name :
         {"LiberationSans-Bold.ttf", "LiberationSans-Regular.ttf", "LiberationSerif-Italic.ttf",
          "LiberationSerif-Regular.ttf", "LiberationMono-Bold.ttf"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        if (QFontDatabase::addApplicationFont(path) < 0)
            std::fprintf(stderr, "kolvex-artgen: cannot load %s\n", qPrintable(path));
    }
}

} // namespace art
