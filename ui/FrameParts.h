#pragma once

#include <QString>

class QWidget;
class TGfxForm;
class TGfxPanel;
class TLabel;
class TSImage;
class TSprite;

// The pieces of the main window's frame, each made in its place: the panel
// the games are played on, the level row with its mark and the "+" beyond
// level five, the next-brick image and the two markers.
namespace FrameParts {

inline constexpr int FrameWidth = 192;
inline constexpr int FrameHeight = 416;

TGfxPanel* MakeFramePanel(QWidget* parent, TGfxForm& gfx);
TSImage* MakeLevelMark(QWidget* frame);
// The number of level index (0 to 4).
TLabel* MakeLevelLabel(QWidget* frame, int index);
TLabel* MakePlusLabel(QWidget* frame);
TSImage* MakeNextBrickImage(QWidget* frame);
// The Rows and Time markers: small pictures that rock to and fro.
TSprite* MakeMarker(QWidget* frame, const QString& picture, int left);

} // namespace FrameParts
