#include "platform/Cursors.h"

#include <QGuiApplication>
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
} // namespace

void Cursors::Register(int number, const QCursor& cursor) {
    if (number < 0 || number >= Count) return;
    Registered()[static_cast<size_t>(number)] = cursor;
}

QCursor Cursors::Get(int number) {
    if (number < 0 || number >= Count) number = crArrowD;
    const auto& slot = Registered()[static_cast<size_t>(number)];
    return slot ? *slot : Standard(number);
}

void Cursors::Nudge() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    QCursor::setPos(QCursor::pos());
}
