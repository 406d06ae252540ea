#pragma once

#include <QImage>
#include <array>
#include <functional>
#include <memory>

class ClockTimer;
class QObject;
class QWidget;
class TGfxPanel;
class TGraphicControl;
class TSImage;
class TSprite;

// The three choices of the title screen.
enum TTitleChoice { tcStart = 0, tcTopScores = 1, tcCredits = 2 };

// The title menu on the main window's frame: a panel with the menu picture,
// the highlighted versions of its three choices (exactly one shown at a
// time), the hover zones that highlight them, and the tinsel that sparkles
// over it every 75 ms while it is shown.
class TTitleMenu {
public:
    static constexpr int TitleTag = 543;
    static constexpr int TinselInterval = 75;

    // The panel is laid on the frame at (16, 80) and shows the menu picture.
    TTitleMenu(QWidget* frame, const QImage& menuPicture);
    ~TTitleMenu();
    TTitleMenu(const TTitleMenu&) = delete;
    TTitleMenu& operator=(const TTitleMenu&) = delete;

    TGfxPanel* MenuPanel;
    TSImage* StartImage;
    TSImage* TopScoreImage;
    TSImage* CreditsImage;
    std::array<TGraphicControl*, 3> PaintBox{};
    TSprite* BlueTinselSprite;
    TSprite* RedTinselSprite;
    TSprite* PurpleTinselSprite;
    ClockTimer& TintleTimer() { return *FTintleTimer; }

    // A click on the highlighted choice's image.
    std::function<void(TTitleChoice)> OnActivate;
    // The first time the menu panel has been shown (after the hover zones appeared).
    std::function<void()> OnFirstShow;

    TSImage* ImageOf(TTitleChoice choice) const;
    TTitleChoice Highlighted() const { return FHighlighted; }
    void Highlight(TTitleChoice choice);
    // Up: start to credits, top scores to start, credits to top scores; Down the other way.
    void MoveUp();
    void MoveDown();
    void HideHighlights();

    // One sparkle at a free place of the panel, away from the choices and
    // the other sparkles; nothing while the program is ending.
    void AddTinsel();
    void TintleTimerTimer();

    void MenuPanelShow(QObject* Sender);

private:
    TSImage* MakeChoiceImage(const QString& name, int left, int top, int width, int height,
                             TTitleChoice choice);
    TSprite* MakeTemplate(const QString& name);

    TTitleChoice FHighlighted = tcStart;
    bool FFirstShow = true;
    std::unique_ptr<ClockTimer> FTintleTimer;
};
