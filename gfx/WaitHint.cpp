#include "gfx/WaitHint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

TWaitHint::TWaitHint(QWidget* panel, int top, int width, const TTextFont& face)
    : TGraphicControl(panel), FFace(face) {
    setObjectName(QStringLiteral("WaitHint"));
    const int height = QFontMetrics(face.Font).height() + 2;
    SetBounds(0, top, width, height);
    SetEnabled(false);
    SetVisible(false);
}

void TWaitHint::Paint(QPainter& painter) {
    const QRect bounds = BoundsRect();
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
    painter.setClipRect(bounds);
    painter.setFont(FFace.Font);
    const struct {
        QPoint Offset;
        QColor Colour;
    } layers[] = {{{0, 0}, Qt::white}, {{2, 2}, Qt::black}, {{1, 1}, FFace.Color}};
    for (const auto& layer : layers) {
        painter.setPen(layer.Colour);
        painter.drawText(bounds.adjusted(0, 0, 0, -2).translated(layer.Offset), flags, Text());
    }
}

TWaitHint::During::During(TWaitHint* hint) : FHint(hint) {
    if (FHint) FHint->SetVisible(true);
}

TWaitHint::During::~During() {
    if (FHint) FHint->SetVisible(false);
}
