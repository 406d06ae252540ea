#pragma once

#include "model/ModelOwners_KX.h"

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ClockTimer;
class TActionCollector;
class TBrick;
class TBricks;
class TDemoForm;
class TGameAction;
class TGameHostInterface;
class TGfxForm;
class TGfxPanel;
class TKolvexPlayer;
class TLabel;
class TPlayfield;
class TSessionCoordinator;
class TSimplePlayfield;
class TSprite;
class TWaitHint;
class TbmGameController;
class TComputerHand;
class QWidget;

// The game types.
enum TGameType : uint8_t { gtSpeed = 0, gtTime = 1, gtClean = 2 };

// One player's game. The form itself is never shown: its playfield panel sits
// on the main window's frame panel. It binds the game controller to the
// rules: the falling brick moves frame by frame, takes the player's actions,
// lands after resting, and the landing is resolved by the playfield logic
// with the zap, glass, teleport and fall animations shown on the panel.
class TGameForm : public QObject, public TLogicGameForm, public TPlayerGameForm {
public:
    static constexpr int PanelWidth = 160;
    static constexpr int PanelHeight = 320;
    static constexpr int CellSize = 16;
    // Frames a brick rests on something before it lands.
    static constexpr int RestFramesToLand = 10;

    TGameForm(TSessionCoordinator* coordinator, int gameIndex);
    ~TGameForm() override;

    // --- What the session and the main window use ---
    int GameIndex() const { return FGameIndex; }
    TSessionCoordinator* Coordinator() const { return FCoordinator; }
    TbmGameController& TheGame() { return *FTheGame; }
    TGfxPanel* GamePanel() const;
    QWidget* GamePanelWidget() const;
    TPlayfield* Playfield() const { return FPlayfield; }
    TKolvexPlayer* Player() const { return FPlayer; }
    int32_t Score() const;
    TActionCollector* Collector() const { return FCollector; }
    void SetCollector(TActionCollector* collector) { FCollector = collector; }
    // A well the computer plays: in each live brick frame its hand presses
    // into the collector where a person's keys would.
    void SetComputerHand(std::unique_ptr<TComputerHand> hand);
    TComputerHand* ComputerHand() const { return FComputerHand.get(); }
    bool IsComputer() const { return FComputerHand != nullptr; }

    int StartLevel() const { return FStartLevel; }
    int Level() const { return FLevel; }
    void SetLevel(int level) { FLevel = level; }
    TGameType GameType() const { return FGameType; }
    void SetGameType(uint8_t type);

    void QueueAction(uint8_t code) { FActions.push_back(code); }
    void ClearActions() { FActions.clear(); }
    const std::vector<uint8_t>& Actions() const { return FActions; }
    void ShowPaused(bool on);
    // Holds or releases everything that moves this game on in time: its
    // frames and the Time game's ticker.
    void HoldTime(bool held);
    bool IsPaused() const;
    void DrawCell(int x, int y);
    void EraseCell(int x, int y);
    // Whether the falling brick at pixel (left, top) in an orientation would
    // meet a cell of the playfield at any of the up to four cell positions it
    // straddles.
    bool BrickOverlaps(const TSimplePlayfield& playfield, int left, int top, int orientation) const;
    // The same against a single cell at (x, y), for the brick where it is now.
    bool BrickOverlapsCell(int x, int y) const;

    // --- Animations ---
    void StartTeleportIn(int x, int y, uint8_t colour);
    void RedrawMarkedCells(int32_t mark);

    // TLogicGameForm
    void StartZap(int x, int y) override;
    void StartGlass(int x, int y) override;
    void AnimateAreaFall(int left, int top, int width, int height, int32_t mark,
                         int distance) override;
    int32_t PendingZaps() const override { return FPendingZaps; }
    void SetPendingZaps(int32_t value) override { FPendingZaps = value; }
    bool ZapLine() const override;
    bool RaiseBobbles() const override;
    TCellTeleporter* Teleporter() const override;
    // TPlayerGameForm
    void ShowScore(int32_t score) override;

    // --- The state of the falling brick, for tests and the side views ---
    TBrick* CurrentBrick() const { return FCurrentBrick; }
    TSprite* BrickSprite() const;
    int BrickLeft() const;
    int BrickTop() const;
    int HorizontalSpeed() const { return FHorizontalSpeed; }
    int FallSpeed() const { return FFallSpeed; }
    int MoveColumns() const { return FMoveColumns; }
    int RestFrames() const { return FRestFrames; }
    bool Dropping() const { return FDropping; }
    int RowsTarget() const { return FRowsTarget; }
    int RowsDone() const { return FRowsDone; }
    int TimeTicks() const { return FTimeTicks; }
    // Ticks of 50 ms the Time game allows at a level.
    static int TimeAllowanceTicks(int level);
    const QImage& BricksImage() const { return FBricksImage; }
    // Whether this game draws its cells with the colour marks: fixed when the
    // game is made, like its brick pictures, whatever the option says later.
    bool ColourMarked() const { return FColourMarked; }
    const QImage& MaskImage() const { return FMaskImage; }
    TLabel* GameOverLabel() const { return FGameOverLabel; }
    TLabel* ScoreLabel() const { return FScoreLabel; }
    // "Press Enter" under "Game Over" while the game waits for the player.
    TWaitHint* WaitHint() const { return FWaitHint; }

    // The brick's top as actions are stamped with it. While the brick rests
    // its position stands still, so the frames it has rested are added in
    // units of RestStamp: a replay then applies a move made on the fifth
    // frame of rest on the fifth frame, not on the first. A falling brick's
    // stamp is its plain top.
    static constexpr int32_t RestStamp = 65536;
    static constexpr int MaxStampedRest = 0x7FFF;
    int32_t StampTop() const;
    // The brick's left as an action is stamped with it when the brick's
    // place alone would not tell it from an earlier moment of the game: the
    // number of the brick in the game, in units of BrickMark, is added.
    static constexpr int32_t BrickMark = 65536;
    static constexpr int MaxBrickMark = 32000;
    int32_t MarkedLeft() const;

    // Makes a brick of a kind the falling one, shown at a place in an
    // orientation, as a new brick would be (tests set up their scenes with it).
    void PutBrick(int kind, int left, int top, int orientation = 0);
    bool FallAnimDone() const { return FFallAnimDone; }

    // The collision test of the brick in an orientation at a column and row.
    bool BrickCollides(int column, int row, int orientation) const;

    // Speeds and targets of a level.
    void SetLevelSpeeds(int level);
    void SetTimeTargets(int level);
    void SetRowsDone(int rows);

    // Event handlers of the form, bound by name as its form description binds them.
    void TheGameInitGame(QObject* Sender);
    void TheGameInitRound(QObject* Sender);
    void TheGameInitTry(QObject* Sender);
    void TheGamePerform(QObject* Sender);
    void TheGameTestGameOver(QObject* Sender, bool& Result);
    void TheGameGameOver(QObject* Sender);
    void TheGameGameFinished(QObject* Sender);
    void TheGameAfterRound(QObject* Sender);
    void TheGameRoundCompleted(QObject* Sender);
    void TheGameTestTryCompletedWhenSpeed(QObject* Sender, bool& Result);
    void TheGameTestTryCompletedWhenTime(QObject* Sender, bool& Result);
    void TheGameTestTryCompletedWhenCleaning(QObject* Sender, bool& Result);
    void TimeTickerTimer();
    void SpriteBrickPerform(QObject* Sender);
    void SpriteBrickMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                              int X, int Y);
    void SpriteBrickMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void GamePanelMouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                            int X, int Y);
    void GamePanelMouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void GamePanelShow(QObject* Sender);
    void ZapSpritePerform(QObject* Sender);
    void ZapSpriteAnimFinished(QObject* Sender);
    void GlassRise(QObject* Sender);
    void TeleportSpritePerform(QObject* Sender);
    void TeleportSpriteAnimFinished(QObject* Sender);
    void FallSpritePerform(QObject* Sender);

    // The step request: the controller advances once per brick frame.
    static QEvent::Type StepRequestEvent();

protected:
    bool event(QEvent* event) override;

private:
    TGameHostInterface* Host() const;
    TGfxForm& Gfx() const;
    bool Replaying() const;
    // "Disable level increase" as the recording says, or as the menu said at the start.
    bool LevelFixedAtStart() const;
    bool MouseControlPossible() const;
    bool IsMouseForm() const;
    int PlayerCount() const;

    void CreateComponents();
    void CreateLabel(TLabel*& label, int left, int top, const QColor& color);
    void SetBrickPos(int left, int top);
    void PostStepRequest();
    void StepGame();
    void ResetPlayfield();
    void FillCleanRows();
    void NewBrick();
    void BrickLanded();
    void ApplyAction(uint8_t code);
    void FlipBrick();
    void MoveBrick();
    void SteerByMouse();
    bool CursorOverBrickCell() const;
    void UpdateCursors();
    void ConsumeReplayedStop();
    bool TakeReplayedAction(TDemoForm& demo, TGameAction& action);
    bool MatchesReplayedStop() const;
    void RecordLiveAction(TDemoForm& demo, uint8_t code);

    // The collision tests of the brick frame.
    bool CanFall() const;
    bool CanMoveLeft() const;
    bool CanMoveRight() const;
    bool CanStepLeft() const;
    bool CanStepRight() const;
    bool CanTurnTo(int orientation) const;

    // Draws a cell picture into the panel's picture, its background copy and BricksImage.
    void PaintCellPicture(int x, int y, const QImage& picture);
    TSprite* NewCellSprite(int x, int y, const QImage& picture, const QImage& mask, int frames);

    TSessionCoordinator* FCoordinator;
    int FGameIndex;

    // Components of the form.
    std::unique_ptr<TbmGameController> FTheGame;
    std::unique_ptr<ClockTimer> FTimeTicker;
    QPointer<TGfxPanel> FGamePanel;
    std::array<TSprite*, 7> FSpriteBrickType{};
    std::unique_ptr<TSprite> FZapSprite1;
    std::unique_ptr<TSprite> FTeleportSprite;
    TSprite* FFallSprite = nullptr;
    TLabel* FGameOverLabel = nullptr;
    TLabel* FLabel2 = nullptr;
    TLabel* FLabel3 = nullptr;
    QImage FBricksImage;
    QImage FMaskImage;
    TLabel* FScoreLabel = nullptr;
    TWaitHint* FWaitHint = nullptr;
    bool FColourMarked = false;

    // Fields.
    int FStartLevel = 0;
    // Fixed for the game's length, so that a replay rises (or not) as the game did.
    bool FLevelFixed = false;
    int FLevel = 0;
    TGameType FGameType = gtSpeed;
    TPlayfield* FPlayfield = nullptr;
    TKolvexPlayer* FPlayer = nullptr;
    TBricks* FBricks = nullptr;
    TBrick* FCurrentBrick = nullptr;
    std::vector<uint8_t> FActions;
    TActionCollector* FCollector = nullptr;
    std::unique_ptr<TComputerHand> FComputerHand;
    bool FHalfStepParity = false;
    int FRowsTarget = 0;
    int FTimeTicks = 0;
    int FRowsDone = 0;
    int FHorizontalSpeed = 2;
    int FFallSpeed = 2;
    bool FFallAnimDone = false;
    int FFallPixels = 0;
    int FMoveColumns = 0;
    int FRestFrames = 0;
    int FMouseX = -1;
    int FMouseY = -1;
    bool FDropping = false;
    int32_t FPendingZaps = 0;

    // Cells delivered by teleport into each place: a zap that began before a
    // delivery must not take the delivered cell away when it ends.
    std::array<uint16_t, 200> FArrivals{};
    int FPanelCursor = -1;
    // Bricks this game has been given, and the places its brick has been at
    // in the frames since it last recorded an action.
    int FBrickSerial = 0;
    std::vector<QPoint> FPassedSinceAction;
};
