#pragma once

#include "gfx/GfxPanel.h"
#include "platform/Application.h"
#include "support/TestEnvironment.h"

#include <QImage>
#include <functional>

// Pictures and panels for the graphics tests.
namespace GfxTest {

// A picture whose every pixel has its own colour, so that any misplaced copy shows.
inline QImage Gradient(int w, int h, int seed = 0) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(
                x, y, qRgb((x * 7 + seed) & 0xFF, (y * 5 + seed) & 0xFF, ((x + y) & 0x7F) | 0x80));
    return image;
}

inline QImage Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Handles messages until the condition holds, at most `limit` rounds.
inline bool RunUntil(const std::function<bool()>& done, int limit = 10000) {
    for (int i = 0; i < limit && !done(); ++i)
        Application::ProcessMessages();
    return done();
}

// Number of pixels where the two images differ inside the rectangle.
inline int Differences(const QImage& a, const QImage& b, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) ++n;
    return n;
}

// A shown panel with a picture, past its show transition (wtNone).
struct ShownPanel {
    TGfxPanel Panel;
    int Shows = 0;
    int Frames = 0;
    explicit ShownPanel(const QImage& picture, int fps = 25) {
        Panel.resize(picture.size());
        Panel.SetPicture(picture);
        Panel.SetFramesPerSec(static_cast<TFrameRate>(fps));
        Panel.OnShow = [this](QObject*) { ++Shows; };
        Panel.OnPerform = [this](QObject*) { ++Frames; };
        Panel.show();
        RunUntil([this] { return Shows > 0; }, 100);
    }
    // Runs panel ticks until n more frames have been composed.
    void RunFrames(int n) {
        const int target = Frames + n;
        RunUntil([&] { return Frames >= target; });
    }
};

} // namespace GfxTest
