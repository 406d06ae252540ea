#include "ui/WindowScale.h"

#include "gfx/GfxPanel.h"
#include "persistence/Settings_KX.h"
#include "ui/brenmarMMForm.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

namespace WindowScale {

int FirstScale(QSize frame, int rowsAbove, QSize available) {
    // 85% in whole pixels, without floating-point surprises at the edge.
    const int roomHeight = available.height() * 85 / 100;
    for (int scale = Largest; scale > Smallest; --scale)
        if (frame.height() * scale + rowsAbove <= roomHeight &&
            frame.width() * scale <= available.width())
            return scale;
    return Smallest;
}

int FittingScale(QSize frame, QSize screen) {
    if (frame.width() <= 0 || frame.height() <= 0) return 1;
    return std::max(1, std::min(screen.width() / frame.width(), screen.height() / frame.height()));
}

int Stepped(int scale, int step) {
    return std::clamp(scale + step, Smallest, Largest);
}

} // namespace WindowScale

using namespace WindowScale;

TWindowSizer::TWindowSizer(TBrenmarMMForm* window, TGfxPanel* frame, QMenu* menu, QAction* before)
    : QObject(window), FWindow(window), FFrame(frame) {
    setObjectName(QStringLiteral("WindowSizer"));
    BuildMenu(menu, before);
}

void TWindowSizer::BuildMenu(QMenu* menu, QAction* before) {
    auto* sizes = new QMenu(QStringLiteral("&Window size"), menu);
    menu->insertMenu(before, sizes);
    auto* group = new QActionGroup(this);
    for (int scale = Smallest; scale <= Largest; ++scale) {
        QAction* item = sizes->addAction(QStringLiteral("&%1x").arg(scale));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, scale] { SetScale(scale); });
        SizeItems[static_cast<size_t>(scale - Smallest)] = item;
    }
    sizes->addSeparator();
    LargerItem = sizes->addAction(QStringLiteral("&Larger"));
    LargerItem->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus),
                              QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(LargerItem, &QAction::triggered, this, [this] { SetScale(Stepped(FScale, +1)); });
    SmallerItem = sizes->addAction(QStringLiteral("&Smaller"));
    SmallerItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(SmallerItem, &QAction::triggered, this, [this] { SetScale(Stepped(FScale, -1)); });
    // In full screen the menu bar is hidden: the window carries the keys as well.
    FWindow->addActions({LargerItem, SmallerItem});
}

void TWindowSizer::SetScale(int scale) {
    FScale = std::clamp(scale, Smallest, Largest);
    Settings().WindowScale = FScale;
    SizeItems[static_cast<size_t>(FScale - Smallest)]->setChecked(true);
    Fit();
    KeepOnScreen();
}

void TWindowSizer::KeepOnScreen() {
    // A window that grows keeps its place, unless that would take part of it off the screen.
    const QScreen* screen = FWindow->screen();
    if (!screen || !FWindow->isVisible() || FWindow->FullScreen()) return;
    const QRect area = screen->availableGeometry();
    QRect place = FWindow->frameGeometry();
    if (place.right() > area.right()) place.moveRight(area.right());
    if (place.bottom() > area.bottom()) place.moveBottom(area.bottom());
    if (place.left() < area.left()) place.moveLeft(area.left());
    if (place.top() < area.top()) place.moveTop(area.top());
    if (place.topLeft() != FWindow->frameGeometry().topLeft()) FWindow->move(place.topLeft());
}

void TWindowSizer::Start() {
    int scale = Settings().WindowScale;
    if (scale < Smallest || scale > Largest) {
        const QScreen* screen = FWindow->screen();
        const QSize available = screen ? screen->availableGeometry().size() : QSize();
        scale = FirstScale(FFrame->size(), FWindow->menuBar()->sizeHint().height(), available);
    }
    SetScale(scale);
}

void TWindowSizer::Fit() {
    FWindow->SetClientSize(FFrame->width() * FScale, FFrame->height() * FScale);
    FollowClient();
}

void TWindowSizer::FollowClient() {
    const QSize client = FWindow->ClientSize();
    FFrame->SetScale(FWindow->FullScreen() ? FittingScale(FFrame->size(), client) : FScale);
    const QSize shown = FFrame->ShownSize();
    FFrame->move(client.width() / 2 - shown.width() / 2, client.height() / 2 - shown.height() / 2);
}
