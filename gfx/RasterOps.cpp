#include "gfx/RasterOps.h"

#include <algorithm>
#include <cstring>

namespace RasterOps {
namespace {

inline void Combine(QRgb* d, const QRgb* s, int n, Op op) {
    switch (op) {
    case Op::Copy:
        std::copy(s, s + n, d);
        return;
    case Op::And:
        for (int i = 0; i < n; ++i)
            d[i] &= s[i];
        return;
    case Op::Or:
        for (int i = 0; i < n; ++i)
            d[i] |= s[i];
        return;
    }
}

inline void CombineOne(QRgb& d, QRgb s, Op op) {
    switch (op) {
    case Op::Copy:
        d = s;
        return;
    case Op::And:
        d &= s;
        return;
    case Op::Or:
        d |= s;
        return;
    }
}

// Unscaled copy: the destination rectangle clipped to dst and to where src has pixels.
void BltSameSize(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect,
                 Op op) {
    const int dx = srcRect.x() - dstRect.x();
    const int dy = srcRect.y() - dstRect.y();
    const QRect clip = dstRect & dst.rect() & src.rect().translated(-dx, -dy);
    if (clip.isEmpty()) return;
    const qsizetype dstStride = dst.bytesPerLine() / 4;
    const qsizetype srcStride = src.bytesPerLine() / 4;
    QRgb* d = reinterpret_cast<QRgb*>(dst.bits()) + clip.y() * dstStride + clip.x();
    const QRgb* s = reinterpret_cast<const QRgb*>(src.constBits()) + (clip.y() + dy) * srcStride +
                    clip.x() + dx;
    for (int row = 0; row < clip.height(); ++row, d += dstStride, s += srcStride)
        Combine(d, s, clip.width(), op);
}

void BltScaled(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect, Op op) {
    const QRect clip = dstRect & dst.rect();
    if (clip.isEmpty() || srcRect.width() <= 0 || srcRect.height() <= 0) return;
    const qsizetype dstStride = dst.bytesPerLine() / 4;
    QRgb* base = reinterpret_cast<QRgb*>(dst.bits());
    for (int y = clip.top(); y <= clip.bottom(); ++y) {
        const int sy = srcRect.y() + static_cast<int>(static_cast<int64_t>(y - dstRect.y()) *
                                                      srcRect.height() / dstRect.height());
        if (sy < 0 || sy >= src.height()) continue;
        const QRgb* srow = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        QRgb* drow = base + y * dstStride;
        for (int x = clip.left(); x <= clip.right(); ++x) {
            const int sx = srcRect.x() + static_cast<int>(static_cast<int64_t>(x - dstRect.x()) *
                                                          srcRect.width() / dstRect.width());
            if (sx < 0 || sx >= src.width()) continue;
            CombineOne(drow[x], srow[sx], op);
        }
    }
}

} // namespace

void Blt(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect, Op op) {
    if (dst.isNull() || src.isNull() || dstRect.width() <= 0 || dstRect.height() <= 0) return;
    if (dst.depth() != 32 || src.depth() != 32) return;
    if (dstRect.size() == srcRect.size())
        BltSameSize(dst, dstRect, src, srcRect, op);
    else
        BltScaled(dst, dstRect, src, srcRect, op);
}

void MaskedBlt(QImage& dst, const QRect& dstRect, const QImage& picture, const QImage& mask,
               const QRect& srcRect) {
    if (dst.isNull() || picture.isNull() || mask.isNull()) return;
    if (dst.depth() != 32 || picture.depth() != 32 || mask.depth() != 32) return;
    if (dstRect.size() != srcRect.size() || picture.size() != mask.size()) {
        Blt(dst, dstRect, mask, srcRect, Op::And);
        Blt(dst, dstRect, picture, srcRect, Op::Or);
        return;
    }
    const int dx = srcRect.x() - dstRect.x();
    const int dy = srcRect.y() - dstRect.y();
    const QRect clip = dstRect & dst.rect() & picture.rect().translated(-dx, -dy);
    if (clip.isEmpty()) return;
    const qsizetype dstStride = dst.bytesPerLine() / 4;
    const qsizetype srcStride = picture.bytesPerLine() / 4;
    const qsizetype maskStride = mask.bytesPerLine() / 4;
    QRgb* d = reinterpret_cast<QRgb*>(dst.bits()) + clip.y() * dstStride + clip.x();
    const qsizetype srcOffset = clip.x() + dx;
    const QRgb* p = reinterpret_cast<const QRgb*>(picture.constBits()) +
                    (clip.y() + dy) * srcStride + srcOffset;
    const QRgb* m =
        reinterpret_cast<const QRgb*>(mask.constBits()) + (clip.y() + dy) * maskStride + srcOffset;
    const int w = clip.width();
    for (int row = 0; row < clip.height(); ++row) {
        for (int i = 0; i < w; ++i)
            d[i] = (d[i] & m[i]) | p[i];
        d += dstStride;
        p += srcStride;
        m += maskStride;
    }
}

void Fill(QImage& dst, const QRect& rect, QRgb color) {
    if (dst.isNull() || dst.depth() != 32) return;
    const QRect clip = rect & dst.rect();
    if (clip.isEmpty()) return;
    for (int y = clip.top(); y <= clip.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(dst.scanLine(y)) + clip.x();
        std::fill(row, row + clip.width(), color);
    }
}

QImage Enlarged(const QImage& image, int factor) {
    if (factor <= 1 || image.isNull()) return image;
    const QImage source = ToRgb32(image);
    QImage blocks(source.width() * factor, source.height() * factor, QImage::Format_RGB32);
    if (blocks.isNull()) return image;
    const size_t rowBytes = static_cast<size_t>(blocks.width()) * sizeof(QRgb);
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* first = reinterpret_cast<QRgb*>(blocks.scanLine(y * factor));
        for (int x = 0; x < source.width(); ++x)
            std::fill(first + x * factor, first + (x + 1) * factor, from[x]);
        for (int k = 1; k < factor; ++k)
            std::memcpy(blocks.scanLine(y * factor + k), first, rowBytes);
    }
    return blocks;
}

bool EnlargeInto(QImage& target, const QPoint& at, const QRect& clip, const QImage& image,
                 const QRect& from, int factor) {
    const QImage::Format format = target.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (image.format() != QImage::Format_RGB32 || !image.rect().contains(from)) return false;
    // Writing into a shared image would write into a private copy of it.
    if (!target.isDetached()) return false;
    factor = std::max(factor, 1);
    const QRect covered(at, from.size() * factor);
    const QRect inside = covered & clip & target.rect();
    if (inside.isEmpty()) return true;
    const size_t rowBytes = static_cast<size_t>(inside.width()) * sizeof(QRgb);
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const auto rowOf = [&](int y) { return reinterpret_cast<QRgb*>(bits + stride * y) + inside.left(); };
    const int firstColumn = inside.left() - at.x();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        QRgb* to = rowOf(y);
        // Opaque RGB32 pixels (alpha 0xff) are the same in every one of these formats.
        if (y > inside.top() && (y - at.y()) % factor != 0) {
            std::memcpy(to, rowOf(y - 1), rowBytes);
            continue;
        }
        const QRgb* pixels =
            reinterpret_cast<const QRgb*>(image.constScanLine(from.top() + (y - at.y()) / factor)) +
            from.left();
        int sx = firstColumn / factor;
        int within = firstColumn % factor;
        for (int x = 0; x < inside.width(); ++x) {
            to[x] = pixels[sx];
            if (++within == factor) {
                within = 0;
                ++sx;
            }
        }
    }
    return true;
}

QImage ToRgb32(const QImage& image) {
    if (image.isNull() || image.format() == QImage::Format_RGB32) return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace RasterOps
