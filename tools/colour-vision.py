#!/usr/bin/env python3
"""Colour-vision checks of the game's pictures, with nothing but Python 3.

  colour-vision.py simulate IN.png OUT_FOLDER
      Writes IN's protanopia, deuteranopia and tritanopia simulations and the
      four pictures side by side (normal, protanopia, deuteranopia, tritanopia).
  colour-vision.py measure PICTURES_FOLDER [SCREENSHOT.png]
      Tells whether every pair of the seven marked cells (MarkedSmallType1..7)
      differs visibly in each simulation; exits with 1 if a pair does not.
      With a screenshot, the cells measured are the ones found in it (drawn
      at 1x, each colour at least once).
  colour-vision.py sheet PICTURES_FOLDER OUT.png
      A contact sheet: the cells without and with marks, at 1x and 4x, and
      the marked bricks at 2x.

The simulation is Machado, Oliveira and Fernandes (2009) at full severity,
applied to linear sRGB.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

MATRICES = {
    "protanopia": ((0.152286, 1.052583, -0.204868),
                   (0.114503, 0.786281, 0.099216),
                   (-0.003882, -0.048116, 1.051998)),
    "deuteranopia": ((0.367322, 0.860646, -0.227968),
                     (0.280085, 0.672501, 0.047413),
                     (-0.011820, 0.042940, 0.968881)),
    "tritanopia": ((1.255528, -0.076749, -0.178779),
                   (-0.078411, 0.930809, 0.147602),
                   (0.004733, 0.691367, 0.303900)),
}
COLOURS = ("red", "orange", "yellow", "green", "cyan", "blue", "magenta")
# A colour difference (CIE76) below this is hard to see in a 16 x 16 cell.
VISIBLE_DELTA_E = 12.0
# Two marks differ in at least this many pixels, and each stands out from
# its own face by at least VISIBLE_DELTA_E on average.
MIN_SHAPE_PIXELS = 8


class Picture:
    def __init__(self, width, height, pixels=None):
        self.width, self.height = width, height
        self.pixels = pixels or [(0, 0, 0)] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, rgb):
        self.pixels[y * self.width + x] = rgb

    def crop(self, x0, y0, w, h):
        return Picture(w, h, [self.get(x0 + x, y0 + y) for y in range(h) for x in range(w)])


# --- PNG ------------------------------------------------------------------------

def _unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            elif kind != 0:
                raise ValueError("damaged PNG: unknown row filter %d" % kind)
        rows.append(line)
        prev = line
    return rows


def read_png(path):
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG file" % path)
    pos, idat, palette, header = 8, b"", None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    if header is None:
        raise ValueError("%s has no PNG header" % path)
    width, height, depth, colour_type, _, _, interlace = header
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour_type)
    if depth != 8 or interlace or channels is None:
        raise ValueError("%s: only 8-bit, non-interlaced PNG files are read" % path)
    rows = _unfilter(zlib.decompress(idat), width, height, channels)
    pixels = []
    for line in rows:
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            if colour_type == 3:
                pixels.append(palette[px[0]])
            elif channels <= 2:
                pixels.append((px[0],) * 3)
            else:
                pixels.append(tuple(px[:3]))
    return Picture(width, height, pixels)


def write_png(path, picture):
    raw = bytearray()
    for y in range(picture.height):
        raw.append(0)
        for x in range(picture.width):
            raw.extend(picture.get(x, y))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))

    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)
    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                           chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# --- Colour ---------------------------------------------------------------------

def _to_linear(v):
    v /= 255.0
    return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4


def _to_srgb(v):
    v = min(1.0, max(0.0, v))
    v = 12.92 * v if v <= 0.0031308 else 1.055 * v ** (1 / 2.4) - 0.055
    return int(round(v * 255))


_LINEAR = [_to_linear(v) for v in range(256)]


def simulate_rgb(rgb, matrix):
    lin = [_LINEAR[c] for c in rgb]
    return tuple(_to_srgb(sum(m * c for m, c in zip(row, lin))) for row in matrix)


def simulate(picture, matrix):
    cache = {}
    out = []
    for rgb in picture.pixels:
        if rgb not in cache:
            cache[rgb] = simulate_rgb(rgb, matrix)
        out.append(cache[rgb])
    return Picture(picture.width, picture.height, out)


def lab(rgb):
    r, g, b = (_LINEAR[c] for c in rgb)
    xyz = (0.4124 * r + 0.3576 * g + 0.1805 * b,
           0.2126 * r + 0.7152 * g + 0.0722 * b,
           0.0193 * r + 0.1192 * g + 0.9505 * b)
    f = [t ** (1 / 3) if t > 0.008856 else 7.787 * t + 16 / 116
         for t in (xyz[0] / 0.95047, xyz[1], xyz[2] / 1.08883)]
    return (116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2]))


def delta_e(a, b):
    return math.dist(lab(a), lab(b))


# --- Commands -------------------------------------------------------------------

def side_by_side(pictures, gap=8):
    width = sum(p.width for p in pictures) + gap * (len(pictures) - 1)
    height = max(p.height for p in pictures)
    out = Picture(width, height, [(255, 255, 255)] * (width * height))
    left = 0
    for p in pictures:
        for y in range(p.height):
            for x in range(p.width):
                out.put(left + x, y, p.get(x, y))
        left += p.width + gap
    return out


def command_simulate(source, folder):
    picture = read_png(source)
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    stem = Path(source).stem
    views = [picture]
    for name, matrix in MATRICES.items():
        view = simulate(picture, matrix)
        write_png(folder / ("%s-%s.png" % (stem, name)), view)
        views.append(view)
    write_png(folder / ("%s-side-by-side.png" % stem), side_by_side(views))
    return 0


def load_cells(folder):
    folder = Path(folder)
    plain = [read_png(folder / ("SmallType%d.png" % c)) for c in range(1, 8)]
    marked = [read_png(folder / ("MarkedSmallType%d.png" % c)) for c in range(1, 8)]
    return plain, marked


def mark_mask(plain, marked):
    return {i for i, (a, b) in enumerate(zip(plain.pixels, marked.pixels)) if a != b}


def find_cell(shot, cell):
    # The first place where the screenshot shows the cell exactly.
    first = cell.pixels[:cell.width]
    for y in range(shot.height - cell.height + 1):
        row = shot.pixels[y * shot.width:(y + 1) * shot.width]
        for x in range(shot.width - cell.width + 1):
            if row[x:x + cell.width] == first and \
                    shot.crop(x, y, cell.width, cell.height).pixels == cell.pixels:
                return x, y
    return None


def cells_in_screenshot(path, marked):
    shot = read_png(path)
    found = []
    for c, cell in enumerate(marked):
        at = find_cell(shot, cell)
        if at is None:
            raise ValueError("%s shows no marked %s cell at 1x" % (path, COLOURS[c]))
        print("marked %s cell found at %d,%d" % (COLOURS[c], at[0], at[1]))
        found.append(shot.crop(at[0], at[1], cell.width, cell.height))
    return found


def visible_pixels(a, b):
    # The pixels where two cells differ by a visible colour difference.
    return sum(1 for p, q in zip(a.pixels, b.pixels) if delta_e(p, q) >= VISIBLE_DELTA_E)


def face(picture):
    # The middle of the face below the glint, away from the mark.
    return picture.get(12, 4)


def command_measure(folder, screenshot=None):
    plain, marked = load_cells(folder)
    masks = [mark_mask(p, m) for p, m in zip(plain, marked)]
    if screenshot:
        marked = cells_in_screenshot(screenshot, marked)
    failures = 0
    print("pair differs visibly if its marks differ in >= %d pixels, both marks stand out "
          "from their faces by mean dE >= %.0f and the two simulated cells differ by dE >= %.0f "
          "in >= %d pixels" % (MIN_SHAPE_PIXELS, VISIBLE_DELTA_E, VISIBLE_DELTA_E,
                               MIN_SHAPE_PIXELS))
    views = {"normal vision": None}
    views.update(MATRICES)
    for name, matrix in views.items():
        sim_plain = [p if matrix is None else simulate(p, matrix) for p in plain]
        sim_marked = [m if matrix is None else simulate(m, matrix) for m in marked]
        contrast = []
        for c in range(7):
            diffs = [delta_e(sim_plain[c].pixels[i], sim_marked[c].pixels[i]) for i in masks[c]]
            contrast.append(sum(diffs) / len(diffs) if diffs else 0.0)
        worst_shape, worst_face, worst_pixels, fell_together, bad = None, None, None, [], []
        for a in range(7):
            for b in range(a + 1, 7):
                shape = len(masks[a] ^ masks[b])
                pixels = visible_pixels(sim_marked[a], sim_marked[b])
                if worst_pixels is None or pixels < worst_pixels[0]:
                    worst_pixels = (pixels, a, b)
                face_de = delta_e(face(sim_marked[a]), face(sim_marked[b]))
                if worst_shape is None or shape < worst_shape[0]:
                    worst_shape = (shape, a, b)
                if worst_face is None or face_de < worst_face[0]:
                    worst_face = (face_de, a, b)
                if face_de < VISIBLE_DELTA_E:
                    fell_together.append("%s/%s %.1f" % (COLOURS[a], COLOURS[b], face_de))
                visible = (shape >= MIN_SHAPE_PIXELS and pixels >= MIN_SHAPE_PIXELS and
                           min(contrast[a], contrast[b]) >= VISIBLE_DELTA_E)
                if not visible:
                    bad.append("%s/%s" % (COLOURS[a], COLOURS[b]))
        failures += len(bad)
        print("%s:" % name)
        print("  mark contrast (mean dE of mark pixels against the unmarked face): " +
              ", ".join("%s %.1f" % (COLOURS[c], contrast[c]) for c in range(7)))
        print("  fewest differing mark pixels: %d (%s/%s)" %
              (worst_shape[0], COLOURS[worst_shape[1]], COLOURS[worst_shape[2]]))
        print("  fewest pixels of two whole cells differing by dE >= %.0f: %d of 256 (%s/%s)" %
              (VISIBLE_DELTA_E, worst_pixels[0], COLOURS[worst_pixels[1]],
               COLOURS[worst_pixels[2]]))
        print("  closest faces: dE %.1f (%s/%s); faces below dE %.0f: %s" %
              (worst_face[0], COLOURS[worst_face[1]], COLOURS[worst_face[2]], VISIBLE_DELTA_E,
               ", ".join(fell_together) or "none"))
        print("  pairs not told apart: %s" % (", ".join(bad) or "none"))
    print("every pair differs visibly in every view" if failures == 0
          else "%d pair(s) not told apart" % failures)
    return 0 if failures == 0 else 1


def command_sheet(folder, out):
    folder = Path(folder)
    plain, marked = load_cells(folder)
    stone = read_png(folder / "SmallType8.png")
    bricks = [read_png(folder / ("MarkedBrickType%d.png" % k)) for k in range(7)]
    background = (40, 44, 80)
    width = max(8 * 4 * 16 + 7 * 8, sum(b.width // 4 * 2 for b in bricks) + 6 * 8) + 16
    height = 8 + 2 * 20 + 8 + 2 * 72 + 8 + 128 + 8
    sheet = Picture(width, height, [background] * (width * height))

    def stamp(picture, left, top, scale):
        for y in range(picture.height):
            for x in range(picture.width):
                rgb = picture.get(x, y)
                if rgb == (0, 0, 0):
                    continue
                for j in range(scale):
                    for i in range(scale):
                        sheet.put(left + x * scale + i, top + y * scale + j, rgb)

    top = 8
    for row in (plain, marked):
        for c, cell in enumerate(row + [stone]):
            stamp(cell, 8 + c * 20, top, 1)
        top += 20
    top += 8
    for row in (plain, marked):
        for c, cell in enumerate(row + [stone]):
            stamp(cell, 8 + c * 72, top, 4)
        top += 72
    top += 8
    left = 8
    for brick in bricks:
        first = brick.crop(0, 0, brick.height, brick.height)
        stamp(first, left, top, 2)
        left += first.width * 2 + 8
    write_png(out, sheet)
    return 0


def main(argv):
    try:
        if len(argv) == 4 and argv[1] == "simulate":
            return command_simulate(argv[2], argv[3])
        if len(argv) in (3, 4) and argv[1] == "measure":
            return command_measure(*argv[2:])
        if len(argv) == 4 and argv[1] == "sheet":
            return command_sheet(argv[2], argv[3])
    except (OSError, ValueError, zlib.error) as error:
        print("colour-vision: %s" % error, file=sys.stderr)
        return 2
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
