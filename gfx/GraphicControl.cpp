#include "gfx/GraphicControl.h"

#include "platform/Cursors.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

TTextFont MakeFont(const QString& family, int pixelSize, bool bold, bool italic,
                   const QColor& color) {
    TTextFont font;
    font.Font.setFamily(family);
    font.Font.setPixelSize(pixelSize);
    font.Font.setBold(bold);
    font.Font.setItalic(italic);
    font.Color = color;
    return font;
}

QPoint ScaledDown(const QPointF& at, int scale) {
    if (scale <= 1) return at.toPoint();
    return QPoint(static_cast<int>(std::floor(at.x() / scale)),
                  static_cast<int>(std::floor(at.y() / scale)));
}

// --- TGraphicControl -------------------------------------------------------

TGraphicControl::TGraphicControl(QWidget* parent) : QObject(parent) {
    if (parent) TGraphicHost::Of(parent)->Add(this);
}

TGraphicControl::~TGraphicControl() {
    if (!FHost) return;
    if (FVisible) Invalidate();
    FHost->Remove(this);
}

QWidget* TGraphicControl::Parent() const {
    return FHost ? FHost->Widget() : nullptr;
}

void TGraphicControl::SetParent(QWidget* parent) {
    if (parent == Parent()) return;
    if (FHost) {
        if (FVisible) Invalidate();
        FHost->Remove(this);
    }
    if (parent) {
        TGraphicHost::Of(parent)->Add(this);
        if (FVisible) Invalidate();
    }
}

int TGraphicControl::ChildIndex() const {
    if (!FHost) return -1;
    const auto& list = FHost->Controls();
    const auto at = std::find(list.begin(), list.end(), this);
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

void TGraphicControl::BringToFront() {
    if (!FHost) return;
    FHost->MoveTo(this, true);
    if (FVisible) Invalidate();
}

void TGraphicControl::SendToBack() {
    if (!FHost) return;
    FHost->MoveTo(this, false);
    if (FVisible) Invalidate();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    if (FVisible) Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FVisible) Invalidate();
}

void TGraphicControl::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Invalidate();
    if (FHost) FHost->NoteControlsChanged();
}

void TGraphicControl::InvalidateRect(const QRect& parentRect) const {
    if (FHost && !parentRect.isEmpty()) FHost->Invalidate(parentRect);
}

void TGraphicControl::Paint(QPainter&) {}

// --- TGraphicHost ----------------------------------------------------------

TGraphicHost::TGraphicHost(QWidget* widget) : QObject(widget), FWidget(widget) {
    setObjectName(QStringLiteral("graphicHost"));
    widget->installEventFilter(this);
    // Cursor shapes follow the pointer even without a button held.
    widget->setMouseTracking(true);
}

TGraphicHost::~TGraphicHost() {
    ReleaseControls();
}

void TGraphicHost::ReleaseControls() {
    for (TGraphicControl* control : FControls)
        control->FHost = nullptr;
    FControls.clear();
    FCapture = nullptr;
    InvalidateHandler = nullptr;
    ControlsChanged = nullptr;
}

TGraphicHost* TGraphicHost::Of(QWidget* widget) {
    if (TGraphicHost* host = Find(widget)) return host;
    return new TGraphicHost(widget);
}

TGraphicHost* TGraphicHost::Find(const QWidget* widget) {
    if (!widget) return nullptr;
    return widget->findChild<TGraphicHost*>(QStringLiteral("graphicHost"),
                                            Qt::FindDirectChildrenOnly);
}

void TGraphicHost::NoteControlsChanged() const {
    if (ControlsChanged) ControlsChanged();
}

void TGraphicHost::Add(TGraphicControl* control) {
    FControls.push_back(control);
    control->FHost = this;
    NoteControlsChanged();
}

void TGraphicHost::Remove(TGraphicControl* control) {
    std::erase(FControls, control);
    control->FHost = nullptr;
    NoteControlsChanged();
}

void TGraphicHost::MoveTo(TGraphicControl* control, bool front) {
    std::erase(FControls, control);
    if (front)
        FControls.push_back(control);
    else
        FControls.insert(FControls.begin(), control);
    NoteControlsChanged();
}

void TGraphicHost::Invalidate(const QRect& rect) const {
    if (InvalidateHandler)
        InvalidateHandler(rect);
    else
        FWidget->update(rect);
}

void TGraphicHost::PaintControls(QPainter& painter, const QRect& rect) const {
    // A control painting itself may not remove controls, but be safe against it.
    const std::vector<QPointer<TGraphicControl>> controls(FControls.begin(), FControls.end());
    for (const auto& control : controls) {
        if (!control || !control->Visible() || !control->PaintsSelf()) continue;
        if (!control->BoundsRect().intersects(rect)) continue;
        painter.save();
        control->Paint(painter);
        painter.restore();
    }
}

bool TGraphicHost::PaintsIn(const QRect& rect) const {
    return std::any_of(FControls.begin(), FControls.end(), [&](const TGraphicControl* control) {
        return control->Visible() && control->PaintsSelf() && control->BoundsRect().intersects(rect);
    });
}

TGraphicControl* TGraphicHost::ControlAt(const QPoint& point) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TGraphicControl* control = *it;
        if (control->Visible() && control->Enabled() && control->BoundsRect().contains(point))
            return control;
    }
    return nullptr;
}

bool TGraphicHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FWidget) return false;
    switch (event->type()) {
    case QEvent::Paint: {
        if (!FPaintsAfterWidget) return false;
        // The widget paints first; its controls go on top of its picture.
        static_cast<QObject*>(FWidget)->event(event);
        QPainter painter(FWidget);
        PaintControls(painter, static_cast<QPaintEvent*>(event)->rect());
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return HandleMouse(event);
    case QEvent::Leave:
        UpdateCursor(nullptr);
        return false;
    default:
        return false;
    }
}

bool TGraphicHost::HandleMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = ScaledDown(mouse->position(), FPixelScale);
    QPointer<TGraphicControl> target = FCapture ? FCapture.data() : ControlAt(at);
    if (event->type() == QEvent::MouseMove) UpdateCursor(target);
    if (!target) return false;
    const int x = at.x() - target->Left();
    const int y = at.y() - target->Top();
    const Qt::KeyboardModifiers shift = mouse->modifiers();
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (target->OnDblClick) target->OnDblClick(target);
        [[fallthrough]];
    case QEvent::MouseButtonPress:
        FCapture = target;
        if (target && target->OnMouseDown)
            target->OnMouseDown(target, mouse->button(), shift, x, y);
        break;
    case QEvent::MouseButtonRelease: {
        if (mouse->buttons() == Qt::NoButton) FCapture = nullptr;
        const bool inside = target->BoundsRect().contains(at);
        if (target->OnMouseUp) target->OnMouseUp(target, mouse->button(), shift, x, y);
        if (target && inside && mouse->button() == Qt::LeftButton && target->OnClick)
            target->OnClick(target);
        break;
    }
    default:
        if (target->OnMouseMove) target->OnMouseMove(target, shift, x, y);
        break;
    }
    return true;
}

void TGraphicHost::UpdateCursor(const TGraphicControl* over) {
    const int wanted = over ? over->Cursor() : -1;
    if (wanted == FShownCursor) return;
    if (wanted >= 0) {
        if (!FCursorOverridden) {
            FWidgetHadCursor = FWidget->testAttribute(Qt::WA_SetCursor);
            FSavedCursor = FWidget->cursor();
            FCursorOverridden = true;
        }
        FWidget->setCursor(Cursors::Get(wanted));
    } else if (FCursorOverridden) {
        if (FWidgetHadCursor)
            FWidget->setCursor(FSavedCursor);
        else
            FWidget->unsetCursor();
        FCursorOverridden = false;
    }
    FShownCursor = wanted;
}
