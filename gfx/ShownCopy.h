#pragma once

#include <QImage>
#include <QRect>

// A copy of a panel's picture as it was last handed to the window. A frame
// redraws every image it composes, most of them where and as they were:
// comparing with the copy finds the pixels that really changed, so only
// those are repainted.
class TShownCopy {
public:
    // The part of the rectangle where the picture differs from the copy (the
    // bounding box of the changed pixels, empty when none changed); the copy
    // takes the picture's pixels there. Without a copy of the picture's size
    // yet, the whole rectangle counts as changed.
    QRect TakeChanges(const QImage& picture, const QRect& rect);
    // Takes the whole picture as shown (after the frame that made it).
    void TakeAll(const QImage& picture);
    void Clear() { FShown = QImage(); }
    bool Covers(const QImage& picture) const;

private:
    QImage FShown;
};
