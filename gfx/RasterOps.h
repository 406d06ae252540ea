#pragma once

#include <QImage>
#include <QRect>

// Rectangle copies between Format_RGB32 images with the three raster
// operations the drawing model needs: SRCCOPY, SRCAND (combine a mask) and
// SRCPAINT (combine a picture). Both rectangles are clipped to their images;
// when their sizes differ the source is scaled nearest-neighbour. Plain loops
// instead of QPainter: a sprite's blit is a few hundred pixels, and setting up
// a painter would cost more than the copy itself.
namespace RasterOps {

enum class Op { Copy, And, Or };

// Combines the source rectangle of src into the destination rectangle of dst.
// Pixels whose source lies outside src are left alone.
void Blt(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect, Op op);

// dst = (dst AND mask) OR picture over the rectangle: the masked draw in one
// pass when mask and picture have the same size, two passes otherwise.
void MaskedBlt(QImage& dst, const QRect& dstRect, const QImage& picture, const QImage& mask,
               const QRect& srcRect);

// Fills the rectangle (clipped to the image) with one colour.
void Fill(QImage& dst, const QRect& rect, QRgb color);

// The image with every pixel repeated into a factor x factor block (the
// image itself for a factor of 1 or less).
QImage Enlarged(const QImage& image, int factor);
// Writes the pixels of `from` (a rectangle of an RGB32 image) as factor x
// factor blocks into the target with their top left at `at`, only inside
// `clip` (and the target). False, with nothing written, when the target holds
// no 32-bit opaque-compatible pixels, is shared, or the source is no RGB32 image.
bool EnlargeInto(QImage& target, const QPoint& at, const QRect& clip, const QImage& image,
                 const QRect& from, int factor);

// The image in Format_RGB32 (a shallow copy when it already is).
QImage ToRgb32(const QImage& image);

} // namespace RasterOps
