#include "SimCommand.h"
#include "model/ModelOwners_KX.h"
#include "model/Playfield_KX.h"

#include <QFile>
#include <QObject>
#include <QPoint>
#include <QSaveFile>
#include <cstdio>
#include <vector>

namespace {
// A game window whose animations finish at once: a zap is done at the next
// message processing, a fall moves its area, a raised bobble leaves. As the
// session it accepts every teleported cell and notes where it came from.
class InstantGameForm : public QObject, public TLogicGameForm, public TCellTeleporter {
public:
    InstantGameForm(TPlayfield& playfield, bool zapLine, bool raiseBobbles)
        : FPlayfield(playfield), FZapLine(zapLine), FRaiseBobbles(raiseBobbles) {}

    std::vector<QPoint> Offered;

    void StartZap(int, int) override {
        QMetaObject::invokeMethod(
            this, [this] { --FPendingZaps; }, Qt::QueuedConnection);
    }
    void StartGlass(int x, int y) override { FPlayfield.SetCell(x, y, nullptr); }
    void AnimateAreaFall(int, int, int, int, int32_t mark, int distance) override {
        FPlayfield.MoveArea(mark, distance);
    }
    int32_t PendingZaps() const override { return FPendingZaps; }
    void SetPendingZaps(int32_t value) override { FPendingZaps = value; }
    bool ZapLine() const override { return FZapLine; }
    bool RaiseBobbles() const override { return FRaiseBobbles; }
    TCellTeleporter* Teleporter() const override { return const_cast<InstantGameForm*>(this); }
    void TeleportCell(TPlayfield*, int x, int y) override { Offered.emplace_back(x, y); }

private:
    TPlayfield& FPlayfield;
    bool FZapLine;
    bool FRaiseBobbles;
    int32_t FPendingZaps = 0;
};

void LoadPlayfield(TPlayfield& playfield, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw SimUsageError("cannot read '" + fileName.toStdString() +
                            "': " + file.errorString().toStdString());
    // Read as a stream, never whole: IN may be a device without an end.
    const std::string damaged = "damaged playfield '" + fileName.toStdString() + "': ";
    try {
        playfield.LoadFromStream(file);
    } catch (const EPlayfieldStreamError&) {
        throw SimUsageError(damaged + "the data ends in the middle of a record");
    } catch (const ERangeError&) {
        throw SimUsageError(damaged + "a cell lies outside the 10 x 20 grid");
    }
    char extra = 0;
    if (file.read(&extra, 1) == 1)
        throw SimUsageError(damaged + "unexpected data after the last cell");
}

void SavePlayfield(const TPlayfield& playfield, const QString& fileName) {
    QSaveFile file(fileName);
    const std::string failed = "cannot write '" + fileName.toStdString() + "': ";
    if (!file.open(QIODevice::WriteOnly))
        throw SimUsageError(failed + file.errorString().toStdString());
    try {
        playfield.SaveToStream(file);
    } catch (const EPlayfieldStreamError&) {
        throw SimUsageError(failed + file.errorString().toStdString());
    }
    if (!file.commit()) throw SimUsageError(failed + file.errorString().toStdString());
}

int RunResolve(const QStringList& args) {
    bool zapLine = true;
    bool raiseBobbles = false;
    QStringList files;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--no-zap-lines"))
            zapLine = false;
        else if (arg == QLatin1String("--raise-bobbles"))
            raiseBobbles = true;
        else if (arg.startsWith(QLatin1String("--")))
            throw SimUsageError("unknown option '" + arg.toStdString() + "'");
        else
            files << arg;
    }
    if (files.size() != 2)
        throw SimUsageError("expected [--no-zap-lines] [--raise-bobbles] IN OUT");

    TPlayfield playfield;
    LoadPlayfield(playfield, files[0]);
    InstantGameForm form(playfield, zapLine, raiseBobbles);
    playfield.SetGameForm(&form);
    playfield.ResolveLanding();
    playfield.SetGameForm(nullptr);
    SavePlayfield(playfield, files[1]);

    std::printf("lines %d\n", playfield.LinesRemoved());
    std::printf("zapped %d\n", playfield.CellsZapped());
    std::printf("offered %zu", form.Offered.size());
    for (const QPoint& p : form.Offered)
        std::printf(" %d,%d", p.x(), p.y());
    std::printf("\n");
    return 0;
}

SimRegistration resolve{
    {"resolve", "resolve [--no-zap-lines] [--raise-bobbles] IN OUT", RunResolve}};
} // namespace
