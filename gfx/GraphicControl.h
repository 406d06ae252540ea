#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <vector>

class QPainter;
class QWidget;
class TGraphicHost;

// A font with its colour, as a form gives it ("white bold italic 13-pixel Arial").
struct TTextFont {
    QFont Font;
    QColor Color = Qt::black;
};
// A font of the given family and pixel size.
TTextFont MakeFont(const QString& family, int pixelSize, bool bold = false, bool italic = false,
                   const QColor& color = Qt::black);

// A window position in units of `scale` window pixels (floor, so a
// position left of or above the widget stays outside it).
QPoint ScaledDown(const QPointF& at, int scale);

// A non-windowed control: a rectangle on a parent widget that paints itself
// after the parent's own picture and receives the mouse over its rectangle.
// The parent keeps its graphic controls in child order (later ones on top).
//
// Owner and parent: the QObject parent is the owner that frees the control;
// the parent widget is where it is shown. The constructor makes one widget
// both; SetParent moves the control to another widget and keeps the owner.
class TGraphicControl : public QObject {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(QObject* Sender)>;
    using MouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button,
                                          Qt::KeyboardModifiers Shift, int X, int Y)>;
    using MouseMoveEvent =
        std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TGraphicControl(QWidget* parent);
    ~TGraphicControl() override;
    TGraphicControl(const TGraphicControl&) = delete;
    TGraphicControl& operator=(const TGraphicControl&) = delete;

    QWidget* Parent() const;
    // Shows the control on another widget (on top of its graphic controls), or on none.
    virtual void SetParent(QWidget* parent);
    // Position in the child order of the parent (0 = bottom), -1 without parent.
    int ChildIndex() const;
    void BringToFront();
    void SendToBack();

    // Position and size in the parent's coordinates.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Moves and sizes; a visible control marks its old and new rectangles for repaint.
    virtual void SetBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }

    bool Visible() const { return FVisible; }
    // Marks the control's rectangle for repaint when the value changes.
    virtual void SetVisible(bool value);
    // A disabled control lets the mouse through to what lies beneath.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    // The cursor number (platform/Cursors.h) shown over the control; -1 keeps the parent's.
    int Cursor() const { return FCursor; }
    void SetCursor(int value) { FCursor = value; }
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    // Marks the control's rectangle (or a rectangle in parent coordinates) for repaint.
    void Invalidate() const { InvalidateRect(BoundsRect()); }
    void InvalidateRect(const QRect& parentRect) const;

    // Whether the parent should call Paint when it repaints this area.
    virtual bool PaintsSelf() const { return true; }
    // Draws the control; the painter is the parent's, in parent coordinates.
    virtual void Paint(QPainter& painter);

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;

protected:
    TGraphicHost* Host() const { return FHost; }

private:
    friend class TGraphicHost;

    TGraphicHost* FHost = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    int FCursor = -1;
    int FTag = 0;
};

// The graphic controls of one widget. It paints them after the widget's own
// paintEvent, routes mouse events to the top-most visible, enabled control
// under the pointer (a pressed control keeps the mouse until release) and
// shows that control's cursor. Made on first use; a child of its widget.
class TGraphicHost : public QObject {
    Q_OBJECT
public:
    // The host of a widget, made when it has none yet.
    static TGraphicHost* Of(QWidget* widget);
    // The host of a widget, or nullptr.
    static TGraphicHost* Find(const QWidget* widget);
    ~TGraphicHost() override;

    QWidget* Widget() const { return FWidget; }
    // In child order, bottom first.
    const std::vector<TGraphicControl*>& Controls() const { return FControls; }

    // Where the controls' repaint requests go; the widget's update() by
    // default. A widget may route them (the graphics panel collects them per frame).
    std::function<void(const QRect&)> InvalidateHandler;
    void Invalidate(const QRect& rect) const;
    // Told when a control comes, goes, changes place in the order or is shown or hidden.
    std::function<void()> ControlsChanged;
    void NoteControlsChanged() const;

    // Paints the self-painting visible controls that meet the rectangle, bottom first.
    void PaintControls(QPainter& painter, const QRect& rect) const;
    // Whether PaintControls would paint anything in the rectangle.
    bool PaintsIn(const QRect& rect) const;
    // When true (the default) the host paints the controls itself after the
    // widget's paintEvent; a widget that wants to decide when they are
    // painted turns this off and calls PaintControls from its paintEvent.
    void SetPaintsAfterWidget(bool value) { FPaintsAfterWidget = value; }

    // Unlinks every control from the widget. A widget class that hosts
    // controls calls this from its destructor, so that controls freed later
    // (its QObject children among them) no longer touch it.
    void ReleaseControls();

    // Window pixels per unit of the controls' coordinates (a scaled panel's
    // picture pixel); mouse positions are divided by it.
    void SetPixelScale(int scale) { FPixelScale = scale < 1 ? 1 : scale; }

    // The top-most visible, enabled control containing the point, or nullptr.
    TGraphicControl* ControlAt(const QPoint& point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TGraphicHost(QWidget* widget);
    friend class TGraphicControl;
    void Add(TGraphicControl* control);
    void Remove(TGraphicControl* control);
    void MoveTo(TGraphicControl* control, bool front);
    bool HandleMouse(QEvent* event);
    void UpdateCursor(const TGraphicControl* over);

    QWidget* FWidget;
    std::vector<TGraphicControl*> FControls;
    bool FPaintsAfterWidget = true;
    int FPixelScale = 1;
    QPointer<TGraphicControl> FCapture;
    bool FCursorOverridden = false;
    bool FWidgetHadCursor = false;
    QCursor FSavedCursor;
    int FShownCursor = -1;
};
