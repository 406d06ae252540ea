#pragma once

#include "gfx/GraphicControl.h"

#include <QString>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A line of text as a graphic control: painted on its parent after the
// parent's own picture, so on a graphics panel it floats over the composed
// picture. Transparent by default (the program's labels all sit on
// pictures); AutoSize fits the control to its caption.
class TLabel : public TGraphicControl {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    const TTextFont& Font() const { return FFont; }
    void SetFont(const TTextFont& value);
    // The background filled behind the text when not Transparent.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);

    void Paint(QPainter& painter) override;

private:
    void AdjustSize();

    QString FCaption;
    TTextFont FFont;
    QColor FColor = QColor(240, 240, 240);
    bool FTransparent = true;
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
};
