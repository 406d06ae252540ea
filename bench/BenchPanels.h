#pragma once
// Panels and pictures shared by the frame benchmarks.

#include "gfx/GfxPanel.h"
#include "gfx/Sprite.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

namespace BenchPanels {

inline QImage Background(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    return image;
}

// A ball: non-black inside a circle, black (transparent) around it.
inline QImage Ball(int size, int frames) {
    QImage image(size * frames, size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const int r = size / 2;
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if ((x - r) * (x - r) + (y - r) * (y - r) < r * r)
                    image.setPixel(f * size + x, y, qRgb(255, 40 * f + 60, 20));
    return image;
}

// A shown panel past its first paint, so that ComposeFrame does what a tick does.
inline std::unique_ptr<TGfxPanel> ShownPanel(int w, int h) {
    auto panel = std::make_unique<TGfxPanel>();
    panel->resize(w, h);
    panel->SetPicture(Background(w, h));
    panel->SetFramesPerSec(0);
    panel->show();
    for (int i = 0; i < 5 && panel->ShowPending(); ++i)
        Application::ProcessMessages();
    return panel;
}

inline void BounceWithin(TSprite* sprite, int w, int h) {
    sprite->OnPerform = [sprite, w, h](QObject*) {
        if (sprite->Left() <= 0 || sprite->Left() + sprite->Width() >= w)
            sprite->SetHoriSpeed(-sprite->HoriSpeed());
        if (sprite->Top() <= 0 || sprite->Top() + sprite->Height() >= h)
            sprite->SetVertSpeed(-sprite->VertSpeed());
    };
}

// The game panel's load: ten moving transparent 48 x 48 balls.
inline void AddTenBalls(TGfxPanel& panel) {
    const QImage ball = Ball(48, 1);
    for (int i = 0; i < 10; ++i) {
        auto* sprite = new TSprite(&panel);
        sprite->SetPicture(ball);
        sprite->SetTransparent(true);
        sprite->SetBounds(5 + (i % 2) * 100, 5 + i * 26, 48, 48);
        sprite->Animation().SetFrameCount(1);
        sprite->Animation().SetCurrentFrame(0);
        sprite->Animation().SetDelay(-1);
        sprite->SetHoriSpeed(1 + i % 3);
        sprite->SetVertSpeed(2 - i % 5);
        BounceWithin(sprite, panel.width(), panel.height());
    }
}

// The title's load: forty 5 x 5 animated tinsel sprites.
inline void AddFortyTinsels(TGfxPanel& panel) {
    const QImage tinsel = Ball(5, 5);
    for (int i = 0; i < 40; ++i) {
        auto* sprite = new TSprite(&panel);
        sprite->SetPicture(tinsel);
        sprite->SetTransparent(true);
        sprite->SetBounds(4 + (i * 37) % 180, 4 + (i * 53) % 400, 5, 5);
        TAnimation& animation = sprite->Animation();
        animation.SetFrameCount(5);
        animation.SetCurrentFrame(4);
        animation.SetDelay(4);
        animation.SetAnimMode(amPingPong);
        animation.SetAnimDirection(adDown);
    }
}

// Runs the benchmarks on the offscreen platform in virtual time.
inline int RunOffscreen(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Clock::Install(std::make_unique<VirtualClock>());
    KolvexApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchPanels
