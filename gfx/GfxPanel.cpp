#include "gfx/GfxPanel.h"

#include "gfx/FrameRateLog.h"
#include "gfx/RasterOps.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarPaletteMerger.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace {
// Set by every composed frame of any panel; WaitForFrame waits for it.
bool frameDone = false;
// WaitForFrames running: while any is, no panel is quiet.
int framesWanted = 0;

std::vector<TGfxPanel*>& AllPanels() {
    static std::vector<TGfxPanel*> panels;
    return panels;
}

// OnShow of a panel without a transition: raised after the paint, never inside it.
const QEvent::Type ShowDoneEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// More separate repaint requests per frame than this are sent as one
// rectangle around them all: cheaper than a region of many pieces.
constexpr size_t MaxSeparateRepaints = 8;

int FloorDiv(int value, int by) {
    return value >= 0 ? value / by : -((-value + by - 1) / by);
}

int CeilDiv(int value, int by) {
    return -FloorDiv(-value, by);
}
} // namespace

TGfxPanel::TGfxPanel(QWidget* parent) : QWidget(parent), FHost(TGraphicHost::Of(this)) {
    // The panel paints every pixel itself; nothing is erased behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    FHost->SetPaintsAfterWidget(false);
    FHost->InvalidateHandler = [this](const QRect& rect) { InvalidateWidgetRect(rect); };
    FHost->ControlsChanged = [this] { WakeFrames(); };
    AllPanels().push_back(this);
    FFrameTimer = std::make_unique<TThreadedTimer>();
    FFrameTimer->SetEnabled(false);
    FFrameTimer->SetOnTimer([this](QObject*) { FrameTick(); });
    FFrameTimer->SetThreadPriority(tpTimeCritical);
    SetFramesPerSec(100);
    if (auto* panel = dynamic_cast<TGfxPanel*>(parent)) SetScale(panel->Scale());
}

TGfxPanel::~TGfxPanel() {
    std::erase(AllPanels(), this);
    FFrameTimer.reset();
    FHost->ReleaseControls();
}

void TGfxPanel::HoldFrames(bool held) {
    if (held == FramesHeld() || (held && FFramesPerSec == 0)) return;
    if (held) {
        FHeldRate = FFramesPerSec;
        FFramesPerSec = 0;
    } else {
        FFramesPerSec = FHeldRate;
        FHeldRate = 0;
    }
    FFrameTimer->SetHeld(held);
}

void TGfxPanel::SetFramesPerSec(TFrameRate value) {
    if (FramesHeld()) {
        FHeldRate = 0;
        FFrameTimer->SetHeld(false);
    }
    value = std::min<TFrameRate>(value, 1000);
    if (value == 0) {
        FFramesPerSec = 0;
        FFrameTimer->SetInterval(0);
        return;
    }
    if (value == FFramesPerSec) return;
    FFramesPerSec = value;
    FNominalInterval = 1000 / value;
    FFrameTimer->SetIntervalUs((1000000 + value / 2) / value);
}

void TGfxPanel::SetPicture(const QImage& picture) {
    FPicture = RasterOps::ToRgb32(picture);
    PictureChanged();
    // A newly assigned picture is shown now, even one that covers the panel.
    update();
}

void TGfxPanel::SaveBackground() {
    FBackground = FPicture.copy();
}

void TGfxPanel::PictureChanged() {
    WakeFrames();
    FShown.Clear();
    if (!FPaletteAdapted) {
        FPaletteAdapted = true;
        AdaptToDisplay(MasterPalette(), FPicture);
    }
    if (FAutoSize && FPicture.width() > 0 && FPicture.height() > 0) resize(FPicture.size());
    // A covering picture needs no repaint: what is drawn into it marks its own rectangles.
    if (FPicture.width() >= width() && FPicture.height() >= height()) return;
    update();
}

void TGfxPanel::SetAutoSize(bool value) {
    FAutoSize = value;
    PictureChanged();
}

void TGfxPanel::SetCenter(bool value) {
    if (value == FCenter) return;
    FCenter = value;
    PictureChanged();
}

void TGfxPanel::SetStretch(bool value) {
    if (value == FStretch) return;
    FStretch = value;
    PictureChanged();
}

void TGfxPanel::SetColor(const QColor& value) {
    if (value == FColor) return;
    FColor = value;
    update();
}

QRect TGfxPanel::PictureRect() const {
    if (FStretch) return rect();
    if (FCenter)
        return QRect((width() - FPicture.width()) / 2, (height() - FPicture.height()) / 2,
                     FPicture.width(), FPicture.height());
    return QRect(0, 0, FPicture.width(), FPicture.height());
}

void TGfxPanel::SetScale(int scale) {
    scale = std::clamp(scale, 1, MaxScale);
    if (scale == FScale) return;
    const QRect units = geometry();
    const int old = FScale;
    FScale = scale;
    FHost->SetPixelScale(scale);
    setGeometry(units);
    RescaleChildren(old);
    update();
}

void TGfxPanel::RescaleChildren(int oldScale) {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow()) continue;
        if (auto* panel = dynamic_cast<TGfxPanel*>(widget)) {
            panel->SetScale(FScale);
            continue;
        }
        // Placed in window pixels at the old scale: whole multiples of it.
        const QRect place = widget->geometry();
        widget->setGeometry(place.x() / oldScale * FScale, place.y() / oldScale * FScale,
                            place.width() / oldScale * FScale, place.height() / oldScale * FScale);
        QFont font = widget->font();
        if (font.pixelSize() > 0) {
            font.setPixelSize(std::max(1, font.pixelSize() / oldScale * FScale));
            widget->setFont(font);
        }
    }
}

int TGfxPanel::PlaceScale() const {
    return dynamic_cast<const TGfxPanel*>(parentWidget()) ? FScale : 1;
}

void TGfxPanel::AdoptParentScale() {
    if (auto* panel = dynamic_cast<TGfxPanel*>(parentWidget())) SetScale(panel->Scale());
}

QRect TGfxPanel::geometry() const {
    const QRect shown = QWidget::geometry();
    const int place = PlaceScale();
    return QRect(FloorDiv(shown.x(), place), FloorDiv(shown.y(), place), shown.width() / FScale,
                 shown.height() / FScale);
}

void TGfxPanel::setGeometry(const QRect& rect) {
    const int place = PlaceScale();
    QWidget::setGeometry(rect.x() * place, rect.y() * place, rect.width() * FScale,
                         rect.height() * FScale);
}

QPoint TGfxPanel::ToPicturePixels(const QPointF& at) const {
    return ScaledDown(at, FScale);
}

QRect TGfxPanel::ToWindow(const QRect& rect) const {
    return QRect(rect.x() * FScale, rect.y() * FScale, rect.width() * FScale,
                 rect.height() * FScale);
}

QRect TGfxPanel::ToPicturePixels(const QRect& windowRect) const {
    if (windowRect.isEmpty()) return {};
    return RectLTRB(FloorDiv(windowRect.x(), FScale), FloorDiv(windowRect.y(), FScale),
                    CeilDiv(windowRect.x() + windowRect.width(), FScale),
                    CeilDiv(windowRect.y() + windowRect.height(), FScale));
}

bool TGfxPanel::Visible() const {
    // Qt counts a child of a window not yet shown as hidden; only an explicit hide counts here.
    return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

void TGfxPanel::setVisible(bool visible) {
    WakeFrames();
    if (!visible)
        FShowPending = true;
    else if (FShowPending && !isVisible())
        FUnder = WhatLiesUnder();
    QWidget::setVisible(visible);
}

QImage TGfxPanel::WhatLiesUnder() const {
    QWidget* under = parentWidget();
    if (!under || !under->isVisible()) return {};
    // A panel under it that has not shown itself yet would start its own show.
    if (auto* panel = dynamic_cast<TGfxPanel*>(under); panel && panel->ShowPending()) return {};
    const QRect place = QWidget::geometry();
    QImage image(place.size(), QImage::Format_RGB32);
    image.fill(FColor);
    under->render(&image, QPoint(), QRegion(place), QWidget::DrawWindowBackground);
    if (FScale == 1) return image;
    // What lies under is drawn at the same scale: one pixel of each block is the picture pixel.
    QImage pixels(size(), QImage::Format_RGB32);
    RasterOps::Blt(pixels, pixels.rect(), image, image.rect(), RasterOps::Op::Copy);
    return pixels;
}

QRect TGfxPanel::PictureToWidget(const QRect& rect) const {
    const QRect shown = PictureRect();
    if (!FStretch || FPicture.width() <= 0 || FPicture.height() <= 0)
        return rect.translated(shown.topLeft());
    const double sx = static_cast<double>(shown.width()) / FPicture.width();
    const double sy = static_cast<double>(shown.height()) / FPicture.height();
    const int left = static_cast<int>(rect.x() * sx);
    const int top = static_cast<int>(rect.y() * sy);
    const int right = static_cast<int>((rect.x() + rect.width()) * sx + 0.999);
    const int bottom = static_cast<int>((rect.y() + rect.height()) * sy + 0.999);
    return RectLTRB(left, top, right, bottom);
}

void TGfxPanel::InvalidatePictureRect(const QRect& rect) {
    WakeFrames();
    if (FComposing && !FStretch) {
        FDrawnInFrame.push_back(rect);
        return;
    }
    // Drawn from outside a frame: shown as it is now, and the copy follows.
    if (!FStretch) FShown.TakeChanges(FPicture, rect);
    InvalidateWidgetRect(PictureToWidget(rect));
}

void TGfxPanel::HandChangesToWindow() {
    std::vector<QRect> drawn = std::move(FDrawnInFrame);
    FDrawnInFrame.clear();
    const bool compared = FShown.Covers(FPicture);
    for (const QRect& r : drawn) {
        const QRect changed = PictureToWidget(FShown.TakeChanges(FPicture, r)) & rect();
        if (changed.isEmpty()) continue;
        FUnpainted |= changed;
        FDirty.push_back(changed);
    }
    // The first frame after a show or a new picture: from here on the window shows the picture.
    if (!compared) FShown.TakeAll(FPicture);
}

void TGfxPanel::InvalidateWidgetRect(const QRect& rect) {
    WakeFrames();
    const QRect clipped = rect & this->rect();
    if (clipped.isEmpty()) return;
    FUnpainted |= clipped;
    if (FComposing) {
        FDirty.push_back(clipped);
        return;
    }
    update(ToWindow(clipped));
}

void TGfxPanel::FlushDirty() {
    HandChangesToWindow();
    if (FDirty.size() > MaxSeparateRepaints) {
        QRect all;
        for (const QRect& r : FDirty)
            all |= r;
        update(ToWindow(all));
    } else {
        for (const QRect& r : FDirty)
            update(ToWindow(r));
    }
    FDirty.clear();
}

void TGfxPanel::Update() {
    FlushDirty();
    if (!FUnpainted.isEmpty() && isVisible()) repaint(ToWindow(FUnpainted));
    FUnpainted = QRect();
}

void TGfxPanel::FrameTick() {
    if (Application::Terminated()) return;
    if (FrameRateLog::Enabled()) FrameRateLog::Tick(this, LogName(), FFramesPerSec);
    const QPointer<TGfxPanel> self(this);
    if (FShowDone) {
        // The show came first, even when the tick overtook its posted notice.
        RaiseShowDone();
        if (!self) return;
    }
    if (!FWiper.Running() && !FShowPending) {
        if (Visible()) {
            ComposeFrame();
            if (!self) return;
        }
        if (OnPerform) {
            OnPerform(this);
            if (!self) return;
        }
    }
    if (FWiper.Running()) {
        FWiper.Step();
        if (!FWiper.Running()) EndShow();
        if (!self) return;
    }
    FFrameTimer->SetQuiet(FramesChangeNothing());
}

bool TGfxPanel::FramesChangeNothing() const {
    if (framesWanted > 0 || FShowDone || FWiper.Running()) return false;
    // A hidden panel's ticks do nothing at all.
    if (FShowPending) return true;
    if (OnPerform) return false;
    if (!Visible()) return true;
    // Still images are drawn again as they were; a sprite may move, animate or be freed.
    return std::none_of(FHost->Controls().begin(), FHost->Controls().end(),
                        [](const TGraphicControl* child) {
                            const auto* sprite = dynamic_cast<const TSprite*>(child);
                            return sprite && (sprite->Visible() || sprite->Killed());
                        });
}

void TGfxPanel::WakeFrames() {
    if (FFrameTimer) FFrameTimer->SetQuiet(false);
}

QString TGfxPanel::LogName() const {
    if (!objectName().isEmpty()) return objectName();
    const QWidget* parent = parentWidget();
    return QStringLiteral("%1/panel at %2,%3")
        .arg(parent ? parent->objectName() : QString())
        .arg(x())
        .arg(y());
}

void TGfxPanel::ComposeFrame() {
    FComposing = true;
    // A handler may even free the panel in the middle of its frame.
    const QPointer<TGfxPanel> self(this);
    struct EndFrame {
        const QPointer<TGfxPanel>& Panel;
        ~EndFrame() {
            if (!Panel) return;
            Panel->FComposing = false;
            Panel->FlushDirty();
        }
    } endFrame{self};
    // The list is read afresh at every index: handlers may add or free children.
    const std::vector<TGraphicControl*>& children = FHost->Controls();
    for (size_t i = 0; i < children.size(); ++i) {
        auto* image = dynamic_cast<TBM_CustomImage*>(children[i]);
        if (image && image->Visible() && !image->RespondToPaint()) image->Erase();
    }
    for (size_t i = 0; i < children.size();) {
        auto* sprite = dynamic_cast<TSprite*>(children[i]);
        if (sprite && sprite->Killed())
            delete sprite;
        else
            ++i;
    }
    for (size_t i = 0; i < children.size(); ++i) {
        TGraphicControl* child = children[i];
        if (!child->Visible()) continue;
        if (auto* sprite = dynamic_cast<TSprite*>(child))
            sprite->Perform();
        else if (auto* still = dynamic_cast<TSImage*>(child); still && !still->RespondToPaint())
            still->Draw();
        if (!self) return;
    }
    RepairErasedDuringFrame();
    frameDone = true;
}

void TGfxPanel::RepairErasedDuringFrame() {
    if (FErasedDuringFrame.empty()) return;
    // Redrawn bottom up; whatever is redrawn may in turn cut into images above it.
    std::vector<QRect> damaged = std::move(FErasedDuringFrame);
    FErasedDuringFrame.clear();
    const std::vector<TGraphicControl*>& children = FHost->Controls();
    for (size_t i = 0; i < children.size(); ++i) {
        auto* image = dynamic_cast<TBM_CustomImage*>(children[i]);
        if (!image || !image->Visible() || !image->Drawn() || !image->Composed()) continue;
        const QRect drawn = image->ComposedRect();
        const bool hit = std::any_of(damaged.begin(), damaged.end(),
                                     [&](const QRect& r) { return r.intersects(drawn); });
        if (!hit) continue;
        image->Draw();
        damaged.push_back(drawn);
    }
}

void TGfxPanel::WaitForFrame() {
    frameDone = false;
    ++framesWanted;
    struct Done {
        ~Done() { --framesWanted; }
    } done;
    for (TGfxPanel* panel : AllPanels())
        panel->WakeFrames();
    ProcessMessagesUntil([] { return frameDone; });
}

void TGfxPanel::StartShow() {
    WakeFrames();
    FShowPending = false;
    FShown.Clear();
    SaveBackground();
    if (!FFrameTimer->Enabled()) FFrameTimer->SetEnabled(true);
    if (FWiper.WipeType() == wtNone) {
        FShowDone = true;
        QCoreApplication::postEvent(this, new QEvent(ShowDoneEvent));
        return;
    }
    const QRect shown = PictureRect();
    if (FUnder.size() == size()) {
        FScreen = FUnder;
    } else {
        FScreen = QImage(size(), QImage::Format_RGB32);
        FScreen.fill(FColor);
    }
    FUnder = QImage();
    FWiper.SetTargetCanvas(&FScreen, [this](const QRect& r) { InvalidateWidgetRect(r); });
    FWiper.SetTargetRect(shown.x(), shown.y(), shown.width(), shown.height());
    FWiper.Start(0, 0, &FPicture);
}

void TGfxPanel::EndShow() {
    const QPointer<TGfxPanel> self(this);
    if (OnShow) OnShow(this);
    // From here on the window shows the picture: the wipe's canvas goes.
    if (self && !FWiper.Running()) FScreen = QImage();
}

void TGfxPanel::RaiseShowDone() {
    if (!FShowDone) return;
    FShowDone = false;
    if (OnShow) OnShow(this);
}

bool TGfxPanel::event(QEvent* event) {
    if (event->type() == ShowDoneEvent) {
        RaiseShowDone();
        return true;
    }
    if (event->type() == QEvent::ParentChange) AdoptParentScale();
    return QWidget::event(event);
}

void TGfxPanel::paintEvent(QPaintEvent* event) {
    if (event->rect().contains(ToWindow(FUnpainted))) FUnpainted = QRect();
    if (FShowPending && Visible()) StartShow();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Each rectangle of the region on its own: sparkles far apart repaint
    // their own few pixels, not the box around them all.
    for (const QRect& windowRect : event->region()) {
        const QRect area = ToPicturePixels(windowRect) & rect();
        if (!area.isEmpty()) PaintBlocks(painter, area, windowRect);
    }
}

void TGfxPanel::PaintBlocks(QPainter& painter, const QRect& area, const QRect& windowRect) {
    const qreal ratio = devicePixelRatioF();
    const int wholeRatio = ratio == std::floor(ratio) ? static_cast<int>(ratio) : 1;
    const int factor = FScale * wholeRatio;
    const QPoint at = area.topLeft() * FScale;
    // Where the window shows the picture alone, its pixels go straight out.
    const QRect shownPicture = PictureRect();
    if (!FWiper.Running() && !FStretch && shownPicture.contains(area) && !FHost->PaintsIn(area) &&
        PaintStraightIn(painter, at, windowRect, FPicture, area.translated(-shownPicture.topLeft()),
                        factor))
        return;
    // Composed in picture pixels, then each pixel becomes a block: crisp at
    // every scale, labels and text included.
    QImage shown(area.size(), QImage::Format_RGB32);
    {
        QPainter canvas(&shown);
        canvas.translate(-area.topLeft());
        PaintShown(canvas, area);
    }
    if (PaintStraightIn(painter, at, windowRect, shown, shown.rect(), factor)) return;
    QImage blocks = RasterOps::Enlarged(shown, factor);
    blocks.setDevicePixelRatio(wholeRatio);
    painter.drawImage(at, blocks);
}

bool TGfxPanel::PaintStraightIn(QPainter& painter, const QPoint& at, const QRect& windowRect,
                                const QImage& source, const QRect& from, int factor) {
    // On a raster backing store the blocks go straight into its pixels: no
    // copy, no conversion, no helper threads. Anything else is painted.
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return false;
    const QTransform toDevice = painter.deviceTransform();
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != factor / FScale ||
        toDevice.m22() != factor / FScale)
        return false;
    const QRect clip = toDevice.mapRect(windowRect);
    const QPoint origin = toDevice.map(at);
    return RasterOps::EnlargeInto(*static_cast<QImage*>(device), origin, clip, source, from,
                                  factor);
}

void TGfxPanel::PaintShown(QPainter& painter, const QRect& area) {
    painter.fillRect(area, FColor);
    if (FWiper.Running()) {
        painter.drawImage(area, FScreen, area);
        return;
    }
    DrawPicture(painter, area);
    FHost->PaintControls(painter, area);
}

void TGfxPanel::DrawPicture(QPainter& painter, const QRect& clip) {
    if (FPicture.isNull()) return;
    const QRect shown = PictureRect();
    painter.setClipRect(clip);
    if (shown.size() == FPicture.size())
        painter.drawImage(shown.topLeft(), FPicture);
    else
        painter.drawImage(shown, FPicture);
    painter.setClipping(false);
}

void TGfxPanel::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) {
        const QPoint at = ToPicturePixels(event->position());
        OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TGfxPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = ToPicturePixels(event->position());
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y());
    if (event->button() == Qt::LeftButton && rect().contains(at) && OnClick) OnClick(this);
}

void TGfxPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (OnDblClick) OnDblClick(this);
    mousePressEvent(event);
}

void TGfxPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!OnMouseMove) return;
    const QPoint at = ToPicturePixels(event->position());
    OnMouseMove(this, event->modifiers(), at.x(), at.y());
}
