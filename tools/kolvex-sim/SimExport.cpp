#include "SimCommand.h"
#include "resources/Resources_KX.h"
#include "sound/SoundOutput.h"
#include "sound/Sound_KX.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace {
void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw SimUsageError("cannot write " + path.toStdString());
}

void WritePng(const QString& path, const QImage& img) {
    if (!img.save(path, "PNG")) throw SimUsageError("cannot write " + path.toStdString());
}

struct Entry {
    QString Name;
    QImage Picture;
};

QString Caption(const Entry& e) {
    return QStringLiteral("%1  %2 x %3").arg(e.Name).arg(e.Picture.width()).arg(e.Picture.height());
}

// Every picture at four times its size on a grey ground, named, packed in
// rows: backgrounds, cells and bricks, sprites, cursors.
QImage ContactSheet(const std::vector<Entry>& entries) {
    constexpr int scale = 4, width = 2400, pad = 24, caption = 28;
    struct Place {
        int X, Y;
    };
    std::vector<Place> places;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    const QFontMetrics metrics(font);
    int x = pad, y = pad, rowHeight = 0;
    for (const Entry& e : entries) {
        const int w = std::max(e.Picture.width() * scale, metrics.horizontalAdvance(Caption(e))),
                  h = e.Picture.height() * scale + caption;
        if (x + w > width - pad && x > pad) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += w + pad;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(width, y + rowHeight + pad, QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter p(&sheet);
    p.setFont(font);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const QRect target(places[i].X, places[i].Y + caption, e.Picture.width() * scale,
                           e.Picture.height() * scale);
        p.drawImage(target,
                    e.Picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(QColor(20, 20, 30));
        p.drawText(QRect(places[i].X, places[i].Y, 800, caption - 4),
                   Qt::AlignLeft | Qt::AlignBottom, Caption(e));
    }
    return sheet;
}

int Rank(QString name) {
    if (IsJpegPicture(name)) return 0;
    // The marked copies sit with the pictures they copy.
    if (name.startsWith(QLatin1String("Marked"))) name.remove(0, 6);
    if (name.startsWith(QLatin1String("SmallType")) || name == QLatin1String("GlassImage") ||
        name == QLatin1String("Zap"))
        return 1;
    if (name.startsWith(QLatin1String("BrickType"))) return 2;
    return 3;
}

int RunExport(const QStringList& args) {
    if (args.size() != 1) throw SimUsageError("expected DIR");
    const QString dir = args[0];
    if (!QDir().mkpath(dir)) throw SimUsageError("cannot create " + dir.toStdString());
    InstallResources();
    std::vector<Entry> sheet;
    QStringList pictures = ResourcePictureNames();
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const QString& a, const QString& b) { return Rank(a) < Rank(b); });
    for (const QString& name : pictures) {
        const QImage img = LoadResourcePicture(name);
        if (img.isNull()) throw SimUsageError("cannot decode the picture " + name.toStdString());
        WritePng(dir + QLatin1Char('/') + name + QStringLiteral(".png"), img);
        if (IsJpegPicture(name))
            WriteFile(dir + QLatin1Char('/') + name + QStringLiteral(".jpg"),
                      ResourcePictureData(name));
        sheet.push_back({name, img});
    }
    for (const QString& name : ResourceCursorNames()) {
        int hx = 0, hy = 0;
        QImage img = ResourceCursorPicture(name, &hx, &hy);
        img.setText(QStringLiteral("HotSpot"), QStringLiteral("%1,%2").arg(hx).arg(hy));
        WritePng(dir + QLatin1Char('/') + name + QStringLiteral(".png"), img);
        sheet.push_back(
            {QStringLiteral("cursor %1 (hot spot %2,%3)").arg(name).arg(hx).arg(hy), img});
    }
    for (const QString& name : ResourceSoundNames())
        WriteFile(dir + QLatin1Char('/') + name + QStringLiteral(".wav"), ResourceSoundData(name));
    for (const QString& file : ResourceFontFiles()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) throw SimUsageError("cannot read " + file.toStdString());
        WriteFile(dir + QLatin1Char('/') + QFileInfo(file).fileName(), f.readAll());
    }
    WritePng(dir + QStringLiteral("/contact-sheet.png"), ContactSheet(sheet));
    std::printf("%lld pictures, %lld cursors, %lld sounds, %lld fonts and contact-sheet.png "
                "written to %s\n",
                static_cast<long long>(pictures.size()),
                static_cast<long long>(ResourceCursorNames().size()),
                static_cast<long long>(ResourceSoundNames().size()),
                static_cast<long long>(ResourceFontFiles().size()), qPrintable(dir));
    return 0;
}

// kolvex-sim is headless: the games it runs make no sound.
class TSilentOutput : public TSoundOutput {
public:
    void Play(const QString&, const TWaveSound&) override {}
    void Stop() override {}
};
const bool silenced = (InstallSoundOutput(std::make_unique<TSilentOutput>()), true);

void WaitRealTime(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Plays built-in sounds on the sound device in real time, as the game does:
// the device is opened first, then the sounds come one after the other, each
// GAP milliseconds after the one before (by default once it has been heard
// whole); a sound that comes early cuts off the one before it.
int RunPlaySounds(const QStringList& args) {
    QStringList names = args;
    long long gap = -1;
    if (names.size() >= 2 && names[0] == QLatin1String("--gap")) {
        gap = SimParseInteger(names[1], "GAP", 0, 60000);
        names = names.mid(2);
    }
    if (names.isEmpty()) throw SimUsageError("expected [--gap MS] NAME...");
    for (const QString& name : names)
        if (!ParseWave(ResourceSoundData(name)))
            throw SimUsageError("there is no sound " + name.toStdString());
    InstallSoundOutput(std::make_unique<TQtSoundOutput>());
    EnableSounds();
    // A sound server may take a second or more before a new stream really runs.
    WaitRealTime(2000);
    for (const QString& name : names) {
        PlaySoundResource(name);
        WaitRealTime(static_cast<int>(
            gap >= 0 ? gap : ParseWave(ResourceSoundData(name))->DurationMs() + 400));
    }
    WaitRealTime(600);
    InstallSoundOutput(std::make_unique<TSilentOutput>());
    return 0;
}

SimRegistration playSounds{{"play-sounds", "play-sounds [--gap MS] NAME...", RunPlaySounds}};
SimRegistration exportResources{{"export-resources", "export-resources DIR", RunExport}};
} // namespace
