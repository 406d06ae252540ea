#include "Art.h"

namespace art {

namespace {
// One shape per brick colour, 7 x 7 pixels, '#' the engraved stroke. The
// shapes differ in outline, not just in size, so that two colours that look
// alike to a player are still told apart by the mark alone: solid (dot, bar,
// triangle), open (ring, diamond) and strokes (cross, chevron).
using Glyph = std::array<const char*, 7>;
constexpr std::array<Glyph, 7> Glyphs{{
    {".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."}, // red: dot
    {".......", ".......", "#######", "#######", "#######", ".......", "......."}, // orange: bar
    {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}, // yellow: ring
    {"#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"}, // green: cross
    {"...#...", "...#...", "..###..", "..###..", ".#####.", ".#####.", "#######"}, // cyan: triangle
    {"...#...", "..#.#..", ".#...#.", "#.....#", ".#...#.", "..#.#..", "...#..."}, // blue: diamond
    {".......", "#.....#", "##...##", ".##.##.", "..###..", "...#...", "......."}, // magenta: chevron
}};

// The glyph's top left in the 16 x 16 cell: centred on the face, clear of
// the glint at (3..5, 3..5) and of the bevelled rims.
constexpr int Left = 5, Top = 5;

bool Stroke(const Glyph& g, int x, int y) {
    return x >= 0 && y >= 0 && x < 7 && y < 7 && g[static_cast<size_t>(y)][x] == '#';
}
} // namespace

void DrawColourMark(QImage& cell, int colour) {
    if (colour < 1 || colour > 7) return;
    const Glyph& g = Glyphs[static_cast<size_t>(colour - 1)];
    const Hue& h = pal::Bricks[static_cast<size_t>(colour - 1)];
    // Cut into the face like the bevel: a dark groove that catches light on
    // its lower right lip.
    const QRgb groove = Mix(h.Dark, pal::Ink, 0.55);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int px = Left + x, py = Top + y;
            if (Stroke(g, x, y)) {
                cell.setPixel(px, py, groove);
            } else if (Stroke(g, x - 1, y - 1)) {
                cell.setPixel(px, py, Mix(cell.pixel(px, py), pal::Snow, 0.45));
            }
        }
}

} // namespace art
