#pragma once

#include "model/ModelOwners_KX.h"
#include "model/Playfield_KX.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>

// Readable failure messages for texts and pictures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Playfields drawn as text, one string of ten places per row, the last
// string being row 19: "." empty, "1" to "7" a brick cell of that colour,
// "B" a bobble, "C" a clean-mode cell.
inline void Draw(TPlayfield& pf, std::initializer_list<const char*> rows) {
    int y = TSimplePlayfield::Rows - static_cast<int>(rows.size());
    for (const char* row : rows) {
        const QString text = QString::fromLatin1(row);
        for (int x = 0; x < text.size() && x < TSimplePlayfield::Columns; ++x) {
            const QChar c = text[x];
            if (c == QLatin1Char('B'))
                pf.AddCell(x, y, TCell::cfBobble, 0);
            else if (c == QLatin1Char('C'))
                pf.AddCell(x, y, TCell::cfClean, 1);
            else if (c.isDigit())
                pf.AddCell(x, y, TCell::cfBrick, static_cast<uint8_t>(c.digitValue()));
        }
        ++y;
    }
}

// Rows from firstRow to 19 in the same notation.
inline QStringList Picture(const TPlayfield& pf, int firstRow) {
    QStringList rows;
    for (int y = firstRow; y < TSimplePlayfield::Rows; ++y) rows << pf.RowPicture(y);
    return rows;
}

inline QStringList Rows(std::initializer_list<const char*> rows) {
    QStringList list;
    for (const char* row : rows)
        list << QString::fromLatin1(row);
    return list;
}

// A game window for logic passes: logs what the pass asks of it, finishes a
// zap at the next message processing (as a sprite would a few frames
// later), moves falling areas at once, and accepts every teleport.
class RecordingGameForm : public QObject, public TLogicGameForm, public TCellTeleporter {
public:
    explicit RecordingGameForm(TPlayfield& playfield) : FPlayfield(playfield) {
        playfield.SetGameForm(this);
    }
    ~RecordingGameForm() override { FPlayfield.SetGameForm(nullptr); }

    bool ZapLineOn = true;
    bool RaiseBobblesOn = false;
    bool TeleportsOn = true;
    QStringList Log;
    QStringList Teleported;
    int FinishedZaps = 0;
    // Runs inside each zap's finish, after PendingZaps has been counted down.
    std::function<void(int x, int y)> OnZapFinished;
    // Runs when a fall starts, before the area is moved.
    std::function<void(int32_t mark, int distance)> OnFall;

    void StartZap(int x, int y) override {
        Log << QStringLiteral("zap %1,%2").arg(x).arg(y);
        QMetaObject::invokeMethod(
            this,
            [this, x, y] {
                --FPendingZaps;
                ++FinishedZaps;
                if (OnZapFinished) OnZapFinished(x, y);
            },
            Qt::QueuedConnection);
    }
    void StartGlass(int x, int y) override {
        Log << QStringLiteral("glass %1,%2").arg(x).arg(y);
        FPlayfield.SetCell(x, y, nullptr);
    }
    void AnimateAreaFall(int left, int top, int width, int height, int32_t mark,
                         int distance) override {
        Log << QStringLiteral("fall %1,%2 %3x%4 mark %5 by %6")
                   .arg(left)
                   .arg(top)
                   .arg(width)
                   .arg(height)
                   .arg(mark)
                   .arg(distance);
        if (OnFall) OnFall(mark, distance);
        FPlayfield.MoveArea(mark, distance);
    }
    int32_t PendingZaps() const override { return FPendingZaps; }
    void SetPendingZaps(int32_t value) override { FPendingZaps = value; }
    bool ZapLine() const override { return ZapLineOn; }
    bool RaiseBobbles() const override { return RaiseBobblesOn; }
    TCellTeleporter* Teleporter() const override {
        return TeleportsOn ? const_cast<RecordingGameForm*>(this) : nullptr;
    }
    void TeleportCell(TPlayfield* sender, int x, int y) override {
        EXPECT_EQ(sender, &FPlayfield);
        // The cell is still in place while it is handed over.
        EXPECT_TRUE(sender->IsOccupied(x, y));
        Teleported << QStringLiteral("%1,%2").arg(x).arg(y);
    }

    QStringList Zaps() const { return Log.filter(QStringLiteral("zap ")); }
    QStringList Falls() const { return Log.filter(QStringLiteral("fall ")); }

private:
    TPlayfield& FPlayfield;
    int32_t FPendingZaps = 0;
};
