#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>

class QSpinBox;
class QPainter;
class TCell;
class TGameForm;
class TGfxForm;
class TNotifyBroadcaster;
class TNotifyReceiver;
class TPlayfield;

// The playfield map: a test window that draws one player's well as numbered
// rectangles (each occupied place with its cell's mark) and holds the whole
// program for a moment at every playfield change, so that each step of a
// landing can be watched. It waits while the game is paused.
class TPlayfieldView : public QWidget {
public:
    // The receiver listens to the broadcaster (the data module's), when given.
    explicit TPlayfieldView(TNotifyBroadcaster* broadcaster, QWidget* parent = nullptr);

    QSpinBox* SpinEdit1;
    TNotifyReceiver* PlayfieldChangeReceiver;

    // The game whose playfield is shown; the view forgets a game that goes away.
    void SetGame(TGameForm* game);
    TGameForm* Game() const;
    TPlayfield* Playfield() const;
    // With marked set, each rectangle also shows its cell's colour mark, as
    // gfx draws it: the window shows the marks as the game it watches does.
    void SetColourMarks(const TGfxForm& gfx, bool marked);
    bool ShowsColourMarks() const { return !FColourMarks[0].isNull(); }

    void PlayfieldChangeReceiverReceiving(QObject* Sender);
    void FormResize(QObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawColourMark(QPainter& painter, const TCell& cell, const QPoint& bottomRight) const;

    QPointer<TGameForm> FGame;
    QPointer<TPlayfield> FPlayfield;
    // Colours 1 to 7, transparent but for the mark; null without marks.
    std::array<QImage, 7> FColourMarks;
};
