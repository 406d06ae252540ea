#include "gfx/Label.h"

#include <QFontMetrics>
#include <QPainter>

TLabel::TLabel(QWidget* parent) : TGraphicControl(parent) {
    AdjustSize();
}

void TLabel::SetCaption(const QString& value) {
    if (value == FCaption) return;
    FCaption = value;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFont(const TTextFont& value) {
    FFont = value;
    AdjustSize();
    Invalidate();
}

void TLabel::SetColor(const QColor& value) {
    if (value == FColor) return;
    FColor = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!FAutoSize) return;
    const QFontMetrics metrics(FFont.Font);
    SetBounds(Left(), Top(), metrics.horizontalAdvance(FCaption), metrics.height());
}

void TLabel::Paint(QPainter& painter) {
    const QRect bounds = BoundsRect();
    if (!FTransparent) painter.fillRect(bounds, FColor);
    if (FCaption.isEmpty()) return;
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    switch (FAlignment) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    painter.setClipRect(bounds);
    painter.setFont(FFont.Font);
    painter.setPen(FFont.Color);
    painter.drawText(bounds, flags, FCaption);
}
