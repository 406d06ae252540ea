#pragma once

#include "gfx/GraphicControl.h"
#include "gfx/ShownCopy.h"
#include "gfx/ThdTimer.h"
#include "gfx/Wiper.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using TFrameRate = uint16_t;

// The animated surface of the game: a panel whose composed picture (the
// background plus every image drawn into it) is shown on the window, a
// background copy to erase images from, a frame timer that composes a frame
// per tick, and a wiper that plays the show transition.
//
// Life of a panel: the first paint after it becomes visible saves the
// background, enables the frame timer (a panel that is never painted never
// ticks) and starts the wipe; ticks then step the wipe into the screen image
// (what the window shows during the wipe) until it ends and OnShow is
// raised. From the next tick on, every tick paces the timer, composes a
// frame when the panel is Visible and raises OnPerform. Hiding the panel
// (SetVisible(false) or hide()) makes the next show replay the transition.
//
// Quiet frames: after a tick that leaves nothing on the panel that a frame
// would change (no visible or killed sprite, no OnPerform, no wipe, or the
// panel hidden), its timer turns quiet: the scheduler passes its ticks
// without calling it and nothing wakes for them. Anything that could make a
// frame matter again wakes it first: a control that comes, goes, shows or
// hides, a repaint request, a show, a wait for a frame.
//
// Composition (ComposeFrame), over the graphic children in child order:
// erase every visible composed image (restoring the background copy under
// it), free the sprites marked Killed, then let each visible sprite perform
// its frame and redraw each visible still image. Later children end up on
// top. The window is handed only the pixels a frame changed (compared with
// a copy of what it was last handed). Self-painting children (labels,
// images with RespondToPaint) are painted on the window after the picture.
//
// Scale: the window shows every picture pixel as a Scale x Scale block,
// nearest-neighbour, whatever the scale (and the screen's device pixel
// ratio on top of it). The panel's geometry (move, resize, setGeometry,
// width, height, rect, pos, geometry) is in picture pixels: the game places
// and measures its panels the same at every scale. A panel's place on a
// parent panel is in the parent's picture pixels; on any other widget it is
// in that widget's pixels. Mouse positions reach the handlers and the graphic
// children in picture pixels. QWidget's own members stay in the window's
// pixels; ShownSize names them where the window's size is meant.
class TGfxPanel : public QWidget {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(QObject* Sender)>;

    explicit TGfxPanel(QWidget* parent = nullptr);
    ~TGfxPanel() override;

    // Frames per second, 0 to 1000; 0 stops the ticks. A non-zero value ticks
    // at exactly that rate (the interval in microseconds); the nominal
    // interval is its whole milliseconds, 1000 div value.
    TFrameRate FramesPerSec() const { return FFramesPerSec; }
    void SetFramesPerSec(TFrameRate value);
    // Stops the frames (the rate reads 0) and, released, goes on at the old
    // rate with the next frame as far away as it was: a pause that leaves
    // the frames in step with every other held timer.
    void HoldFrames(bool held);
    bool FramesHeld() const { return FHeldRate != 0; }
    int NominalInterval() const { return FNominalInterval; }
    TThreadedTimer& FrameTimer() { return *FFrameTimer; }
    TWiper& Wiper() { return FWiper; }

    // The composed picture (Format_RGB32). Draw into it directly and mark
    // what changed with InvalidatePictureRect, or assign a new one.
    QImage& Picture() { return FPicture; }
    const QImage& Picture() const { return FPicture; }
    // Copies the picture (converted to Format_RGB32) and shows it.
    void SetPicture(const QImage& picture);
    // What images are erased back to: the picture as it was when the panel
    // was last shown or SaveBackground was last called.
    QImage& BackgroundCopy() { return FBackground; }
    // What the window shows while the show transition runs.
    const QImage& ScreenImage() const { return FScreen; }
    // Takes the current picture as the background copy; call it after
    // painting a new background into the picture of a shown panel.
    void SaveBackground();
    // Reacts to a new picture or layout: sizes the panel (AutoSize) and
    // repaints it unless the picture covers the whole panel.
    void PictureChanged();

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    // Fills the parts of the panel the picture does not cover.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    // Where the picture is shown: the whole panel (Stretch), centred
    // (Center) or at the top left in its own size.
    QRect PictureRect() const;

    // Picture pixel to window block, 1 to MaxScale. A panel lying on another
    // panel takes that panel's scale; a new scale goes down to the panels
    // lying on this one, and other widgets on it grow with it (place, size,
    // font pixel size).
    static constexpr int MaxScale = 8;
    int Scale() const { return FScale; }
    void SetScale(int scale);
    // The size on the window, in the window's pixels.
    QSize ShownSize() const { return QWidget::size(); }

    // Geometry in picture pixels (see the class comment).
    QRect geometry() const;
    QPoint pos() const { return geometry().topLeft(); }
    int x() const { return pos().x(); }
    int y() const { return pos().y(); }
    QSize size() const { return QSize(QWidget::width() / FScale, QWidget::height() / FScale); }
    int width() const { return size().width(); }
    int height() const { return size().height(); }
    QRect rect() const { return QRect(QPoint(), size()); }
    void setGeometry(const QRect& rect);
    void setGeometry(int x, int y, int w, int h) { setGeometry(QRect(x, y, w, h)); }
    void move(const QPoint& at) { setGeometry(QRect(at, size())); }
    void move(int x, int y) { move(QPoint(x, y)); }
    void resize(const QSize& size) { setGeometry(QRect(pos(), size)); }
    void resize(int w, int h) { resize(QSize(w, h)); }
    // A window position (in the panel's own window pixels) in picture pixels.
    QPoint ToPicturePixels(const QPointF& at) const;

    // The panel's own visibility flag (not whether its window is shown).
    bool Visible() const;
    void SetVisible(bool value) { setVisible(value); }
    void setVisible(bool visible) override;
    // True from creation and every hide until the next first paint.
    bool ShowPending() const { return FShowPending; }

    // Marks a rectangle of the picture for repaint (collected during a
    // frame, requested once at its end).
    void InvalidatePictureRect(const QRect& rect);
    // Repaints the marked areas at once.
    void Update();
    // Whether a frame is being composed now.
    bool Composing() const { return FComposing; }
    // A composed image erased in the middle of a frame (hidden by a
    // handler) may have cut into images drawn before it in that frame; they
    // are redrawn where they meet the rectangle when the frame ends.
    void NoteErasedDuringFrame(const QRect& rect) { FErasedDuringFrame.push_back(rect); }

    // One tick of the frame timer.
    void FrameTick();
    void ComposeFrame();
    // Handles window messages until some panel has composed a frame (in
    // virtual time also when no timer is left to compose one). Quiet panels
    // compose too while it waits, as every panel did before any was quiet.
    static void WaitForFrame();
    // Whether the panel's frames change nothing now (its timer is quiet after its next tick).
    bool FramesChangeNothing() const;

    // The graphic children.
    TGraphicHost* Host() const { return FHost; }

    NotifyEvent OnPerform;
    NotifyEvent OnShow;
    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    TGraphicControl::MouseEvent OnMouseDown;
    TGraphicControl::MouseEvent OnMouseUp;
    TGraphicControl::MouseMoveEvent OnMouseMove;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void StartShow();
    QString LogName() const;
    void RaiseShowDone();
    // The wipe of a show is over: OnShow, then its canvas is let go.
    void EndShow();
    QImage WhatLiesUnder() const;
    void DrawPicture(QPainter& painter, const QRect& clip);
    QRect PictureToWidget(const QRect& rect) const;
    // Picture pixels to window pixels and back (the smallest rectangle covering it).
    QRect ToWindow(const QRect& rect) const;
    QRect ToPicturePixels(const QRect& windowRect) const;
    // What is shown over a rectangle of the panel, in picture pixels.
    void PaintShown(QPainter& painter, const QRect& area);
    // Paints a rectangle of picture pixels on the window, each pixel a block,
    // inside the window rectangle being repainted.
    void PaintBlocks(QPainter& painter, const QRect& area, const QRect& windowRect);
    // Writes a rectangle of an image as blocks into a raster backing store; false when it can't.
    bool PaintStraightIn(QPainter& painter, const QPoint& at, const QRect& windowRect,
                         const QImage& source, const QRect& from, int factor);
    // The factor by which a parent's pixels relate to this panel's place.
    int PlaceScale() const;
    void AdoptParentScale();
    void RescaleChildren(int oldScale);
    void InvalidateWidgetRect(const QRect& rect);
    void FlushDirty();
    void HandChangesToWindow();
    void RepairErasedDuringFrame();
    // Ends quiet frames: something may have changed what a frame does.
    void WakeFrames();

    int FScale = 1;
    bool FPaletteAdapted = false;
    TFrameRate FFramesPerSec = 0;
    TFrameRate FHeldRate = 0;
    int FNominalInterval = 0;
    std::unique_ptr<TThreadedTimer> FFrameTimer;
    TWiper FWiper;
    bool FShowPending = true;
    // OnShow of a show without transition, not raised yet.
    bool FShowDone = false;
    QImage FPicture;
    QImage FBackground;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FCenter = false;

    QColor FColor = QColor(240, 240, 240);
    QImage FScreen;
    // What the window showed where the panel appears, taken as it is shown:
    // the wipe reveals the picture over it.
    QImage FUnder;
    TGraphicHost* FHost;
    // Repaint requests collected while a frame is composed.
    bool FComposing = false;
    std::vector<QRect> FDirty;
    // Picture rectangles drawn during a frame; only their changed pixels are repainted.
    std::vector<QRect> FDrawnInFrame;
    TShownCopy FShown;
    std::vector<QRect> FErasedDuringFrame;
    // Requested but not yet painted, for Update.
    QRect FUnpainted;
};
