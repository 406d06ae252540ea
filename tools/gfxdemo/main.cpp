// gfxdemo wipes OUTDIR     every wipe type revealing a picture: frames mid-way and at the end
// gfxdemo sprites OUTDIR   transparent sprites, a label and typed text over a picture
// gfxdemo timer MS SECONDS the real-time frame timer's rate at an interval, and its clean stop
// gfxdemo pace FPS SECONDS  a shown panel's frame rate once its pacing has settled
//
// Runs in real time on whatever platform Qt is given (xcb under Xvfb to see
// the real window; offscreen works too). Frames are what the window showed,
// grabbed from the screen where the platform can, else rendered by the panel.

#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/Sprite.h"
#include "gfx/Typer.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QTextStream out(stdout);

QImage Scene(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(30 + x * 160 / w, 40 + y * 120 / h, 160 - x * 100 / w));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(250, 210, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(w / 3, h / 3), w / 6, w / 6);
    painter.setBrush(QColor(200, 40, 60));
    painter.drawRect(w / 2, h / 2, w / 3, h / 4);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(h / 8);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, h * 3 / 4, w, h / 4), Qt::AlignCenter, QStringLiteral("Kolvex"));
    return image;
}

QImage Ball(int size, QRgb colour) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const int r = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((x - r) * (x - r) + (y - r) * (y - r) < r * r)
                image.setPixel(x, y, colour | 0xFF000000u);
    return image;
}

QImage Grab(TGfxPanel& panel) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const QImage shot = screen->grabWindow(panel.winId()).toImage();
        if (!shot.isNull()) return shot.convertToFormat(QImage::Format_RGB32);
    }
    return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Lays the frames out left to right, rows of `columns`, with a gap.
QImage Sheet(const std::vector<QImage>& frames, int columns) {
    if (frames.empty()) return {};
    const int w = frames[0].width() + 8;
    const int h = frames[0].height() + 8;
    const int rows = (static_cast<int>(frames.size()) + columns - 1) / columns;
    QImage sheet(w * columns, h * rows, QImage::Format_RGB32);
    sheet.fill(Qt::darkGray);
    QPainter painter(&sheet);
    for (size_t i = 0; i < frames.size(); ++i)
        painter.drawImage(static_cast<int>(i % columns) * w + 4,
                          static_cast<int>(i / columns) * h + 4, frames[i]);
    return sheet;
}

void Save(const QImage& image, const QString& name) {
    if (!image.save(name)) {
        out << "cannot write " << name << Qt::endl;
        return;
    }
    out << "wrote " << name << Qt::endl;
}

struct Wipe {
    const char* Name;
    TWipeType Type;
    int Block;
    int Frames;
};

int Wipes(const QString& folder) {
    const std::vector<Wipe> wipes = {
        {"blinds", wtBlinds, 32, 16},     {"plait", wtPlait, 40, 20},
        {"mosaic", wtMosaic, 2, 36},      {"row", wtRow, 16, 8},
        {"fence", wtFence, 2, 20},        {"zoomin", wtZoomIn, 16, 12},
        {"triangle", wtTriangle, 16, 12}, {"mask", wtMask, 16, 8},
    };
    const QImage picture = Scene(192, 160);
    std::vector<QImage> frames;
    for (const Wipe& wipe : wipes) {
        TGfxPanel panel;
        panel.setWindowTitle(QStringLiteral("gfxdemo %1").arg(wipe.Name));
        panel.resize(picture.size());
        panel.move(0, 0);
        panel.SetColor(Qt::black);
        panel.SetPicture(picture);
        panel.SetFramesPerSec(36);
        panel.Wiper().SetWipeType(wipe.Type);
        panel.Wiper().SetBlockSize(wipe.Block);
        panel.Wiper().SetFrameCount(wipe.Frames);
        bool shown = false;
        panel.OnShow = [&](QObject*) { shown = true; };
        panel.show();
        for (const int part : {1, 2}) {
            ProcessMessagesUntil(
                [&] { return panel.Wiper().StepsDone() >= wipe.Frames * part / 3; }, 5000);
            // Give the window its repaint before looking at it.
            ProcessMessagesUntil([] { return false; }, 10);
            frames.push_back(Grab(panel));
            Save(frames.back(),
                 QStringLiteral("%1/wipe-%2-%3.png").arg(folder, wipe.Name).arg(part));
        }
        ProcessMessagesUntil([&] { return shown; }, 5000);
        ProcessMessagesUntil([] { return false; }, 30);
        frames.push_back(Grab(panel));
        Save(frames.back(), QStringLiteral("%1/wipe-%2-end.png").arg(folder, wipe.Name));
        if (!shown) {
            out << wipe.Name << ": the wipe did not end" << Qt::endl;
            return 1;
        }
    }
    Save(Sheet(frames, 6), folder + "/wipes.png");
    return 0;
}

int Sprites(const QString& folder) {
    TGfxPanel panel;
    panel.setWindowTitle(QStringLiteral("gfxdemo sprites"));
    panel.resize(160, 320);
    panel.move(0, 0);
    panel.SetPicture(Scene(160, 320));
    panel.SetFramesPerSec(25);
    std::vector<QImage> frames;
    const QRgb colours[] = {0xFF4040, 0x40FF40, 0x4080FF, 0xFFFF40, 0xFF40FF};
    for (int i = 0; i < 10; ++i) {
        auto* sprite = new TSprite(&panel);
        sprite->SetPicture(Ball(24 + (i % 3) * 12, colours[i % 5]));
        sprite->SetTransparent(true);
        sprite->SetBounds(10 + (i % 3) * 40, 10 + i * 28, sprite->Picture().width(),
                          sprite->Picture().height());
        sprite->Animation().SetFrameCount(1);
        sprite->Animation().SetCurrentFrame(0);
        sprite->Animation().SetDelay(-1);
        sprite->SetHoriSpeed(1 + i % 3);
        sprite->SetVertSpeed(i % 2 ? 2 : -2);
        sprite->OnPerform = [sprite](QObject*) {
            if (sprite->Left() <= 0 || sprite->Left() + sprite->Width() >= 160)
                sprite->SetHoriSpeed(-sprite->HoriSpeed());
            if (sprite->Top() <= 0 || sprite->Top() + sprite->Height() >= 320)
                sprite->SetVertSpeed(-sprite->VertSpeed());
        };
    }
    auto* label = new TLabel(&panel);
    label->SetFont(MakeFont(QStringLiteral("Liberation Sans"), 13, true, true, Qt::white));
    label->SetCaption(QStringLiteral("12345"));
    int frame = 0;
    panel.OnPerform = [&](QObject*) {
        ++frame;
        label->SetCaption(QString::number(frame * 10));
        // One look while the typer is at work, sparkles and all.
        if (frame == 8) frames.push_back(Grab(panel));
    };
    bool shown = false;
    panel.OnShow = [&](QObject*) { shown = true; };
    panel.show();
    ProcessMessagesUntil([&] { return shown; }, 5000);
    // The six sparkles the show screen would give the typer.
    QImage sparkle(88, 32, QImage::Format_RGB32);
    sparkle.fill(Qt::black);
    for (int i = 0; i < 4; ++i)
        FillRectColor(sparkle, QRect(22 * i + 9 - i, 14 - i, 4 + 2 * i, 4 + 2 * i),
                      QColor(255, 255, 120));
    QWidget sparkleOwner;
    std::vector<TSprite*> sparkles;
    for (int i = 0; i < 6; ++i) {
        auto* sprite = new TSprite(&sparkleOwner);
        sprite->SetPicture(sparkle);
        sprite->SetBounds(0, 0, 22, 32);
        sprite->SetTransparent(true);
        sprite->Animation().SetFrameCount(4);
        sprite->Animation().SetDelay(2);
        sprite->SetEnabled(false);
        sprite->SetVisible(false);
        sprite->OnAnimFinished = TTyper::SparkleAnimFinished;
        sparkles.push_back(sprite);
    }
    TTyper::SetSparkleSource([&] { return sparkles; });
    TTyper typer;
    typer.SetPanel(&panel);
    typer.Width = 160;
    typer.SetPosition(QPoint(0, 40));
    TTyper::SetFontSource([] {
        return MakeFont(QStringLiteral("Liberation Mono"), 19, true, false, QColor(192, 192, 192));
    });
    typer.TypeLn(QStringLiteral("TYPED"));
    const int typed = frame;
    for (const int at : {typed + 2, typed + 15, typed + 30, typed + 45}) {
        ProcessMessagesUntil([&] { return frame >= at; }, 5000);
        ProcessMessagesUntil([] { return false; }, 10);
        frames.push_back(Grab(panel));
        Save(frames.back(), QStringLiteral("%1/sprites-%2.png").arg(folder).arg(at));
    }
    TTyper::SetSparkleSource(nullptr);
    Save(Sheet(frames, 5), folder + "/sprites.png");
    return 0;
}

int TimerRate(int interval, int seconds) {
    auto timer = std::make_unique<TThreadedTimer>();
    int ticks = 0;
    timer->SetThreadPriority(tpTimeCritical);
    timer->SetInterval(static_cast<uint16_t>(interval));
    timer->SetOnTimer([&](QObject*) { ++ticks; });
    // Count from the first tick on, so thread start-up does not count.
    ProcessMessagesUntil([&] { return ticks > 0; }, 5000);
    const int first = ticks;
    const auto start = std::chrono::steady_clock::now();
    ProcessMessagesUntil([] { return false; }, seconds * 1000);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int counted = ticks - first;
    const auto stopStart = std::chrono::steady_clock::now();
    timer.reset();
    const double stopMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - stopStart)
            .count();
    const int atStop = ticks;
    ProcessMessagesUntil([] { return false; }, 200);
    out << QStringLiteral("interval %1 ms: %2 ticks in %3 s = %4 ticks/s; stopped in %5 ms; "
                          "ticks after stop: %6")
               .arg(interval)
               .arg(counted)
               .arg(elapsed, 0, 'f', 3)
               .arg(counted / elapsed, 0, 'f', 1)
               .arg(stopMs, 0, 'f', 2)
               .arg(ticks - atStop)
        << Qt::endl;
    return ticks == atStop ? 0 : 1;
}

int Pace(int fps, int seconds) {
    TGfxPanel panel;
    panel.resize(160, 320);
    panel.SetPicture(Scene(160, 320));
    panel.SetFramesPerSec(static_cast<TFrameRate>(fps));
    int frames = 0;
    panel.OnPerform = [&](QObject*) { ++frames; };
    panel.show();
    // Let the pacing find its interval first.
    ProcessMessagesUntil([] { return false; }, 3000);
    const int first = frames;
    const auto start = std::chrono::steady_clock::now();
    ProcessMessagesUntil([] { return false; }, seconds * 1000);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out << QStringLiteral("%1 frames per second asked: %2 frames/s measured, timer interval %3 ms "
                          "(nominal %4 ms)")
               .arg(fps)
               .arg((frames - first) / elapsed, 0, 'f', 2)
               .arg(panel.FrameTimer().Interval())
               .arg(panel.NominalInterval())
        << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    KolvexApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("wipes") && QDir().mkpath(args[2]))
        return Wipes(args[2]);
    if (args.size() >= 3 && args[1] == QLatin1String("sprites") && QDir().mkpath(args[2]))
        return Sprites(args[2]);
    if (args.size() >= 4 && args[1] == QLatin1String("timer"))
        return TimerRate(std::max(1, args[2].toInt()), std::max(1, args[3].toInt()));
    if (args.size() >= 4 && args[1] == QLatin1String("pace"))
        return Pace(std::clamp(args[2].toInt(), 1, 1000), std::max(1, args[3].toInt()));
    std::fprintf(
        stderr, "usage: gfxdemo wipes|sprites OUTDIR | gfxdemo timer MS SECONDS | gfxdemo pace FPS "
                "SECONDS\n");
    return 2;
}
