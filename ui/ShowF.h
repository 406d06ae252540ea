#pragma once

#include "gfx/GraphicControl.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class TGfxPanel;
class TScoreList;
class TSprite;
class TTyper;
class TWaitHint;

// One row of the top-score table: "#" and the rank, then the name and the
// score, or "  -  -  -" for a place nobody holds yet. Equal scores share a rank.
struct TTopScoreRow {
    int Rank = 0;
    bool Empty = true;
    QString Name;
    QString Score;
};

// The show screen: a form that is never shown itself. Its panel is laid into
// the main window's frame, over the title menu, for the top-score table, the
// name entry, the credits, and (over a playfield) the round messages. Text
// is typed under a headline; every presentation runs inside its call and
// waits, interruptibly, for the user's click or key.
class TShowForm : public QWidget {
public:
    // frame: the main window's frame panel, where presentations are laid.
    explicit TShowForm(TGfxPanel* frame, TScoreList* scores, QWidget* parent = nullptr);
    ~TShowForm() override;

    TGfxPanel* ShowPanel;
    TTextFont HeadLineFont;
    TTextFont MainTextFont;
    TTextFont SmallFont;
    QLineEdit* NameEdit;
    std::array<TSprite*, 3> TyperMagicA{};
    std::array<TSprite*, 3> TyperMagicB{};

    void SetScoreList(TScoreList* scores) { FScores = scores; }
    // What the main window's key handler does with a key while a name is
    // entered (its key preview); it sees the key before the name field does.
    std::function<void(int key)> OnPreviewKey;

    // The panel is in the frame: a presentation is open.
    bool IsShowPanelVisible() const;
    // The font lines are typed in.
    const TTextFont& TypingFont() const { return FTypingFont; }

    void OpenPresentation(const QString& headline);
    // The same laid over a playfield panel, taking its picture as background, without a wipe.
    void OpenRoundMessage(const QString& headline, TGfxPanel* playfield);
    void ClosePresentation();
    // Types one line of the open presentation.
    void TypeLn(const QString& text);

    void ShowTopScores();
    // Asks for a name when the score has a place in the list; true when an
    // entry was stored. playerIndex: 0 or more in a game of several players, else -1.
    bool EnterName(int playerIndex, int32_t score);
    bool NameEntryOpen() const;
    // Ends the name entry without storing the name.
    void CancelNameEntry();
    void ShowCredits();
    // The end of a game against the computer: who won, and both scores.
    void ShowMatchEnd(int32_t person, int32_t computer);
    void ShowCleaned(TGfxPanel* playfield);
    void ShowTimeRound(TGfxPanel* playfield);

    // The table of the open presentation (from the current score list).
    void DrawTopScoreTable();
    static std::vector<TTopScoreRow> TopScoreRows(const TScoreList& list);
    // "Press Enter" under the top-score table while it waits for the player.
    TWaitHint* WaitHint() const { return FWaitHint; }
    // The same over the middle of the frame's first well, for waits with nothing on it.
    TWaitHint* FrameWaitHint() const;
    // The lines typed since the presentation opened, the headline first.
    const QStringList& PresentedLines() const { return FLines; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateSparkles();
    void BeginPresentation(const QString& headline);
    void CreditsPage(const QString& headline, const std::function<void()>& lines,
                     const QString& closing);
    void DrawText(const QString& text, int x, int y);
    void DrawTextClipped(const QString& text, const QRect& clip);
    void HideNameEdit();

    QPointer<TGfxPanel> FFrame;
    TScoreList* FScores;
    TWaitHint* FWaitHint = nullptr;
    QPointer<TWaitHint> FFrameWaitHint;
    QPointer<TGfxPanel> FPanelGuard;
    TTextFont FTypingFont;
    std::unique_ptr<TTyper> FTyper;
    QImage FSavedPicture;
    QStringList FLines;
    bool FPresenting = false;
    bool FRoundMessage = false;
};
