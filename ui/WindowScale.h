#pragma once

#include <QObject>
#include <QSize>
#include <array>

class QAction;
class QMenu;
class TBrenmarMMForm;
class TGfxPanel;

// How large the game is drawn: every picture pixel a whole block, 1x1 to 4x4
// in a window, as large as fits in full screen.
namespace WindowScale {

inline constexpr int Smallest = 1;
inline constexpr int Largest = 4;

// The scale of a first start: the largest at which the frame with the rows
// above it (the menu bar) takes at most 85% of the screen's available
// height and no more than its width; at least the smallest.
int FirstScale(QSize frame, int rowsAbove, QSize available);
// The largest whole scale at which the frame fits the screen; at least 1.
int FittingScale(QSize frame, QSize screen);
// The scale one step larger (+1) or smaller (-1), kept from the smallest to the largest.
int Stepped(int scale, int step);

} // namespace WindowScale

// The frame's scale and the window's size: "Window size" in the Options
// menu (1x to 4x, a larger and a smaller step on Ctrl+Plus and Ctrl+Minus),
// remembered in the settings. The window is sized to the frame at the
// chosen scale; in full screen the frame takes the largest scale that fits
// and sits in the middle of the black screen.
class TWindowSizer : public QObject {
public:
    // The items go into the menu before `before` (at its end without one).
    TWindowSizer(TBrenmarMMForm* window, TGfxPanel* frame, QMenu* menu, QAction* before);

    // The chosen scale of the window (not the one full screen uses).
    int Scale() const { return FScale; }
    // The player's choice: kept within 1 to 4, remembered, the window sized to it.
    void SetScale(int scale);
    // The remembered scale; on a first start the one that suits the screen.
    void Start();
    // The window takes the frame's size at the chosen scale.
    void Fit();
    // The frame takes its scale and its place in the client area.
    void FollowClient();

    std::array<QAction*, WindowScale::Largest> SizeItems{};
    QAction* LargerItem = nullptr;
    QAction* SmallerItem = nullptr;

private:
    void BuildMenu(QMenu* menu, QAction* before);
    void KeepOnScreen();

    TBrenmarMMForm* FWindow;
    TGfxPanel* FFrame;
    int FScale = 1;
};
