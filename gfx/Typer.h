#pragma once

#include "gfx/GraphicControl.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class TGfxPanel;
class TSprite;

// Writes lines of text onto a graphics panel one letter at a time, like a
// typewriter: each letter gets a dark red drop shadow, a sparkle next to it
// and a pause of 75 ms, until the user asks to skip (Interrupted), after
// which the rest of the line appears at once. The text goes into both the
// panel's picture and its background copy, so sprites passing over it erase
// back to the text.
//
// The sparkles are a pool of six sprites shared by all typers, supplied by
// the show screen through SetSparkleSource (22 x 32 transparent sprites, 4
// frames, Delay 2, amOnce, adUp, Enabled and Visible False). A pool sprite is
// free while not Enabled; its OnAnimFinished must return it to the pool,
// which SparkleAnimFinished does.
class TTyper {
public:
    TTyper();

    // Pen position of the next line (top left of its first letter).
    int X = -1;
    int Y = -1;
    // Pixels added to the text height between lines.
    int LineSpacing = 1;
    // Lines are centred within this width, starting at X.
    int Width = 640;

    TGfxPanel* Panel() const { return FPanel; }
    // Types on the panel; the sparkle sprites move onto it.
    void SetPanel(TGfxPanel* panel);
    void SetPosition(const QPoint& P);

    // Writes one line in the font of the font source and moves Y down by
    // the line height (half of it for an empty line). Runs nested message
    // loops while it waits between letters and for the sparkles.
    void TypeLn(const QString& Text);
    // Shows a free sparkle near (X, Y); does nothing when all are busy.
    void StartMagic(int X, int Y);

    // Gives the six sparkle sprites; asked for when a typer is made and the pool is empty.
    static void SetSparkleSource(std::function<std::vector<TSprite*>()> source);
    // Gives the font of each line (the main window's font); without one the
    // panel's font in white is used.
    static void SetFontSource(std::function<TTextFont()> source);
    static const std::vector<QPointer<TSprite>>& SparklePool();
    // Empties the pool, so the next typer asks the source again.
    static void ClearSparklePool();
    // Sparkles started and not yet returned to the pool.
    static int ActiveSparkles();
    static void SetActiveSparkles(int count);
    // The finish handler of a sparkle sprite: back to the pool, hidden, its animation reset.
    static void SparkleAnimFinished(QObject* Sender);

private:
    bool SparklesCanRun() const;

    QPointer<TGfxPanel> FPanel;
};
