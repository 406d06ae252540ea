#pragma once

#include "gfx/GraphicControl.h"

#include <QString>

// "Press Enter", small, across a panel while the game waits for the player
// to go on: the face over a dark shadow and a light edge, as the panel's big
// messages are drawn. Only drawn: it takes no clicks (they reach the panel
// beneath) and showing it changes nothing the game reads.
class TWaitHint : public TGraphicControl {
public:
    // Centred in the band of `panel` from 0 to `width` at `top`; hidden until a wait shows it.
    TWaitHint(QWidget* panel, int top, int width, const TTextFont& face);

    static QString Text() { return QStringLiteral("Press Enter"); }
    void Paint(QPainter& painter) override;

    // Shows the hint for as long as it lives (also when the wait ends by an exception).
    class During {
    public:
        explicit During(TWaitHint* hint);
        ~During();
        During(const During&) = delete;
        During& operator=(const During&) = delete;

    private:
        QPointer<TWaitHint> FHint;
    };

private:
    TTextFont FFace;
};
