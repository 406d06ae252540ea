#include "Art.h"

#include <algorithm>
#include <cmath>

// The desktop icons: the window icon's picture (three brick cells and a
// glass bobble in a square) drawn anew for each size, so every rim and
// highlight stays whole pixels wide instead of being scaled from one picture.
namespace art {

namespace {
constexpr QRgb Clear = 0x00000000;

// A bevelled cell of n x n pixels; the rims are n / 16 pixels wide (at least 1).
void IconCell(QImage& img, int ox, int oy, int n, const Hue& h) {
    const int w = std::max(1, n / 16);
    const QRgb outline = Mix(h.Dark, pal::Ink, 0.55);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int left = x, top = y, right = n - 1 - x, bottom = n - 1 - y;
            const int nearLow = std::min(right, bottom), nearHigh = std::min(left, top);
            QRgb c;
            if (std::min(nearLow, nearHigh) < w) {
                c = outline;
            } else if (nearHigh < 2 * w && nearLow >= 2 * w) {
                c = h.Light;
            } else if (nearLow < 2 * w) {
                c = nearHigh < 2 * w ? h.Base : h.Dark;
            } else if (nearLow < 3 * w) {
                c = Mix(h.Base, h.Dark, 0.45);
            } else {
                const double t = (x + y - 4.0 * w) / (2.0 * n - 10.0 * w);
                c = t < 0.5 ? Mix(Mix(h.Light, h.Base, 0.55), h.Base, t * 2)
                            : Mix(h.Base, h.Dark, (t - 0.5) * 0.7);
            }
            img.setPixel(ox + x, oy + y, Opaque(c));
        }
    // The glint: a bright pixel block with a softer cross around it.
    const int g = n < 16 ? 2 : 3 * w;
    const QRgb glint = Opaque(Mix(h.Light, pal::Snow, 0.75));
    FillRect(img, ox + g, oy + g, w, w, pal::Snow);
    if (n < 16) return; // a small cell has room for the bright pixel only
    FillRect(img, ox + g + w, oy + g, w, w, glint);
    FillRect(img, ox + g, oy + g + w, w, w, glint);
}

// The glass bobble in an n x n cell: rim, inner ring, tinted body with a
// caustic at the lower right and a highlight at the upper left.
void IconGlass(QImage& img, int ox, int oy, int n) {
    const double c0 = (n - 1) / 2.0, r = n * 0.48, ring = std::max(1.0, n / 14.0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x - c0, dy = y - c0, d = std::sqrt(dx * dx + dy * dy);
            if (d > r + 0.5) continue;
            const double lit = (-dx - dy) / (2 * r) + 0.5;
            QRgb c;
            if (d > r - ring) {
                c = Mix(0xff6a92b8, 0xffe6f6ff, lit);
            } else if (d > r - 2 * ring) {
                c = Mix(0xff2a4a6e, 0xff8ab8dc, lit * 0.8);
            } else {
                c = Mix(0xff1c3450, 0xff3a6488, 0.25 + 0.5 * d / r);
                const double ex = (x - n * 0.64) / n * 16, ey = (y - n * 0.67) / n * 16;
                const double caustic = 1.0 - std::sqrt(ex * ex * 0.9 + ey * ey * 1.6) / 3.2;
                if (caustic > 0) c = Mix(c, 0xff9fe0f0, caustic * 0.85);
                const double hx = (x - n * 0.3) / n, hy = (y - n * 0.3) / n;
                if (hx * hx + hy * hy < 0.011) c = pal::Snow;
            }
            // Only the outermost pixels are blended, so the edge is smooth but not blurred.
            const double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
            img.setPixel(ox + x, oy + y, qRgba(qRed(c), qGreen(c), qBlue(c), int(255 * cover)));
        }
}
} // namespace

QImage DesktopIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Clear);
    const int n = size / 2;
    const Hue& yellow = pal::Bricks[2];
    IconCell(icon, 0, 0, n, yellow);
    IconCell(icon, n, 0, n, yellow);
    IconCell(icon, 0, n, n, yellow);
    IconGlass(icon, n, n, n);
    return icon;
}

} // namespace art
