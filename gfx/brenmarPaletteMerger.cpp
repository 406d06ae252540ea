#include "gfx/brenmarPaletteMerger.h"

#include "gfx/RasterOps.h"

#include <QGuiApplication>
#include <QScreen>

bool IsPaletteDisplay() {
    return false;
}

bool HasAtLeast256Colors() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return !screen || screen->depth() > 7;
}

// The master palette only ever existed for palette displays, which this
// platform does not have: there is nothing to merge.
void MergePalette(const QString&) {}

const TPalette* MasterPalette() {
    return nullptr;
}

void AdaptToDisplay(const TPalette* Palette, QImage& Graphic) {
    if (Graphic.isNull()) return;
    if (IsPaletteDisplay() && Palette) {
        Graphic = RenderWithPalette(*Palette, Graphic);
        return;
    }
    Graphic = RasterOps::ToRgb32(Graphic);
}

QImage RenderWithPalette(const TPalette& Palette, const QImage& Graphic) {
    if (Graphic.isNull() || Palette.isEmpty()) return Graphic;
    return Graphic.convertToFormat(QImage::Format_Indexed8, Palette, Qt::ThresholdDither);
}
