#include "platform/Cursors.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <array>
#include <optional>

namespace {
std::array<std::optional<QCursor>, Cursors::Count>& Registered() {
    static std::array<std::optional<QCursor>, Cursors::Count> cursors;
    return cursors;
}

QCursor Standard(int number) {
    switch (number) {
    case crHammer: return QCursor(Qt::CrossCursor);
    case crFlip: return QCursor(Qt::SizeAllCursor);
    case crInvisible: return QCursor(Qt::BlankCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}
// Gives every window, menus and dialogs included, the program's arrow as it
// is first shown, unless the window has a cursor of its own; widgets inside
// take it from their window.
class DefaultArrow : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && !widget->testAttribute(Qt::WA_SetCursor))
                widget->setCursor(Cursors::Get(crArrowD));
        }
        return false;
    }
};

void UseArrowForEveryWindow() {
    static DefaultArrow* filter = nullptr;
    if (filter || !QApplication::instance()) return;
    filter = new DefaultArrow;
    filter->setParent(QApplication::instance());
    QApplication::instance()->installEventFilter(filter);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->testAttribute(Qt::WA_SetCursor)) window->setCursor(Cursors::Get(crArrowD));
}
} // namespace

void Cursors::Register(int number, const QCursor& cursor) {
    if (number < 0 || number >= Count) return;
    Registered()[static_cast<size_t>(number)] = cursor;
    if (number == crArrowD) UseArrowForEveryWindow();
}

QCursor Cursors::Get(int number) {
    if (number < 0 || number >= Count) number = crArrowD;
    const auto& slot = Registered()[static_cast<size_t>(number)];
    return slot ? *slot : Standard(number);
}

void Cursors::Nudge() {
    if (QApplication::platformName() == QLatin1String("offscreen")) return;
    QCursor::setPos(QCursor::pos());
}
