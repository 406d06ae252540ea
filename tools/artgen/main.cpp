// Draws every built-in picture, cursor and sound of the game into a folder:
//   kolvex-artgen FONT_FOLDER OUT_FOLDER
// The same code always gives the same files, so the art lives in code.
#include "Art.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {
bool failed = false;

void Write(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        std::fprintf(stderr, "kolvex-artgen: cannot write %s\n", qPrintable(path));
        failed = true;
    }
}

void Png(const QString& folder, const QString& name, const QImage& img) {
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "kolvex-artgen: cannot write %s\n", qPrintable(path));
        failed = true;
    }
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kolvex-artgen FONT_FOLDER OUT_FOLDER\n");
        return 2;
    }
    art::SetFontFolder(QString::fromLocal8Bit(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString pictures = out + QStringLiteral("/pictures"),
                  cursors = out + QStringLiteral("/cursors"),
                  sounds = out + QStringLiteral("/sounds"), icons = out + QStringLiteral("/icons");
    for (const QString& dir : {pictures, cursors, sounds, icons})
        QDir().mkpath(dir);

    auto jpeg = [&](const char* name, const QImage& img) {
        Write(pictures + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".jpg"),
              art::EncodeJpeg(img, 93));
    };
    jpeg("GameBkgJPEGImage", art::GameBackground());
    jpeg("MenuImage", art::MenuPicture());
    jpeg("MarkedMenuImage", art::MenuPicture(true));
    jpeg("FrameImage", art::FramePicture());
    jpeg("ShowBkgJPEGImage", art::ShowBackground());
    jpeg("SplashImage", art::SplashPicture());

    for (int c = 1; c <= 8; ++c)
        Png(pictures, QStringLiteral("SmallType%1").arg(c), art::CellPicture(c));
    // The copies with the colour marks; the clean-mode cell has none.
    for (int c = 1; c <= 7; ++c)
        Png(pictures, QStringLiteral("MarkedSmallType%1").arg(c), art::CellPicture(c, true));
    Png(pictures, QStringLiteral("GlassImage"), art::GlassPicture());
    Png(pictures, QStringLiteral("Zap"), art::ZapPicture());
    for (int k = 0; k < 7; ++k) {
        Png(pictures, QStringLiteral("BrickType%1").arg(k), art::BrickPicture(k));
        Png(pictures, QStringLiteral("MarkedBrickType%1").arg(k), art::BrickPicture(k, true));
    }
    Png(pictures, QStringLiteral("LogoImage"), art::LogoPicture());
    Png(pictures, QStringLiteral("StartImage"), art::MenuHighlight(0));
    Png(pictures, QStringLiteral("TopScoreImage"), art::MenuHighlight(1));
    Png(pictures, QStringLiteral("CreditsImage"), art::MenuHighlight(2));
    Png(pictures, QStringLiteral("BlueTinselSprite"), art::TinselPicture(0));
    Png(pictures, QStringLiteral("RedTinselSprite"), art::TinselPicture(1));
    Png(pictures, QStringLiteral("PurpleTinselSprite"), art::TinselPicture(2));
    for (int v = 1; v <= 3; ++v) {
        Png(pictures, QStringLiteral("TyperMagicA%1").arg(v), art::SparklePicture(false, v));
        Png(pictures, QStringLiteral("TyperMagicB%1").arg(v), art::SparklePicture(true, v));
    }
    Png(pictures, QStringLiteral("RowsSprite"), art::RowsPicture());
    Png(pictures, QStringLiteral("TimeSprite"), art::TimePicture());
    Png(pictures, QStringLiteral("LevelMark"), art::LevelMarkPicture());
    Png(pictures, QStringLiteral("CounterClockwiseGlyph"), art::RotationGlyph(false));
    Png(pictures, QStringLiteral("ClockwiseGlyph"), art::RotationGlyph(true));
    Png(pictures, QStringLiteral("KolvexIcon"), art::WindowIcon());
    for (int size : {16, 32, 48, 64, 128, 256})
        Png(icons, QStringLiteral("kolvex-%1").arg(size), art::DesktopIcon(size));

    for (auto& [name, cursor] : art::Cursors()) {
        // The hot spot travels inside the PNG as a text entry.
        QImage img = cursor.Image;
        img.setText(QStringLiteral("HotSpot"),
                    QStringLiteral("%1,%2").arg(cursor.HotX).arg(cursor.HotY));
        Png(cursors, name, img);
    }
    for (auto& [name, data] : art::Sounds())
        Write(sounds + QLatin1Char('/') + name + QStringLiteral(".wav"), data);
    return failed ? 1 : 0;
}
