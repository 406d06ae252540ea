#include "gfx/ShownCopy.h"

#include <cstring>

bool TShownCopy::Covers(const QImage& picture) const {
    return !FShown.isNull() && FShown.size() == picture.size() && FShown.format() == picture.format();
}

void TShownCopy::TakeAll(const QImage& picture) {
    if (picture.format() != QImage::Format_RGB32) {
        FShown = QImage();
        return;
    }
    if (Covers(picture))
        std::memcpy(FShown.bits(), picture.constBits(), static_cast<size_t>(picture.sizeInBytes()));
    else
        FShown = picture.copy();
}

QRect TShownCopy::TakeChanges(const QImage& picture, const QRect& rect) {
    const QRect area = rect & picture.rect();
    if (area.isEmpty()) return {};
    if (!Covers(picture)) return area;
    int left = area.right() + 1, right = area.left() - 1, top = -1, bottom = -1;
    const size_t rowBytes = static_cast<size_t>(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* now = reinterpret_cast<const uint32_t*>(picture.constScanLine(y)) + area.left();
        auto* shown = reinterpret_cast<uint32_t*>(FShown.scanLine(y)) + area.left();
        if (std::memcmp(now, shown, rowBytes) == 0) continue;
        int first = 0;
        while (now[first] == shown[first]) ++first;
        int last = area.width() - 1;
        while (now[last] == shown[last]) --last;
        left = std::min(left, area.left() + first);
        right = std::max(right, area.left() + last);
        if (top < 0) top = y;
        bottom = y;
        std::memcpy(shown + first, now + first, static_cast<size_t>(last - first + 1) * 4);
    }
    if (top < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
