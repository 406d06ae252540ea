#pragma once

#include "persistence/Recorder_KX.h"

#include <QWidget>

class TGameBackgroundInterface;
class TGameMenuInterface;

// The recording holder: an invisible form, never shown, that lives for the
// whole run. It owns the recorder, the replayer of the last game and the
// replayer of the demo, and installs the error reporter's recording dump.
//
// Who calls what:
// - the main window (ui/) starts games through BeginNewGame, BeginLastGameReplay,
//   BeginDemo and BeginOldGame, each followed by creating the session, loads
//   and saves replay files, and calls EndOfGame from its game-ended handler;
//   its menu enabling reads HasLastGame;
// - the game window (flow/) asks IsReplaying once per brick frame; while
//   replaying it shows the take-over message when HasMoreActions is false
//   (then StopReplaying), and otherwise applies every action that
//   TakeReplayedAction hands it; while playing live it calls RecordAction for
//   each action before applying it, and for the stop (code 4) when its game
//   has finished;
// - the session coordinator (flow/) reads IsReplaying to keep live input out.
class TDemoForm : public QWidget {
public:
    // The menu and the background holder are the main window and the graphics
    // holder form; either may be given later (they are created first at start-up).
    explicit TDemoForm(TGameMenuInterface* menu = nullptr,
                       TGameBackgroundInterface* background = nullptr, QWidget* parent = nullptr);
    ~TDemoForm() override;

    void SetGameMenu(TGameMenuInterface* menu) { FMenu = menu; }
    void SetGameBackground(TGameBackgroundInterface* background) { FBackground = background; }

    // The operations of the holder.
    bool HasLastGame() const;
    void SelectLastGameReplayer() { FCurrentReplayer = FLastGameReplayer.get(); }
    void SelectDemoReplayer() { FCurrentReplayer = FDemoReplayer.get(); }
    bool IsReplaying() const { return FCurrentReplayer && FCurrentReplayer->Replaying(); }
    bool HasMoreActions() const { return FCurrentReplayer && FCurrentReplayer->HasMore(); }
    // "Start old game...": the replay is recorded as it goes, and the player
    // takes over when its actions run out.
    bool ContinuesOldGame() const { return IsReplaying() && IsRecording(); }
    void StopReplaying();
    bool MatchesNextAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop) const;
    void RecordAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop, uint8_t actionCode);
    void StartRecording() { FRecorder->Start(FMenu); }
    bool IsRecording() const { return FRecorder->Recording(); }
    // Returns false when the current replayer has nothing to play.
    bool StartReplay();
    // Stops the recorder; "Replay" then plays the game just recorded.
    void StopRecording();
    // Saves the recording in progress while a game is recorded, and otherwise
    // the game that "Replay" would play (the last recorded or the loaded one).
    // Raises EReplayFileError when the file cannot be written.
    void SaveRecording(const QString& fileName);

    // For the game window while replaying: when the next action was recorded
    // by this game at this brick position, hands it over, moves past it and
    // returns true. Call it until it returns false and apply each action in
    // turn; after a stop (code 4) leave the frame and ask no more: the stop is
    // moved past like any action, so that in a game of two the other player's
    // later actions still come to match. While a continued game is
    // recorded ("Start old game..."), every replayed move, turn and drop is
    // recorded as it is handed over, so that the recording holds the whole
    // game; the stop is recorded by the game window when its game finishes.
    bool TakeReplayedAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop,
                            TGameAction& action);

    // How games start. Each raises EReplayFileError (changing nothing) when its
    // file cannot be used, and returns false when there is nothing to replay.
    // A new game from the title screen: seeds from the clock and records.
    void BeginNewGame();
    // "Replay": the last game, or the file last loaded with LoadLastGame.
    bool BeginLastGameReplay();
    // "Demo": the fixed recording in the named file ("DemoData.dat").
    bool BeginDemo(const QString& fileName);
    // "Start old game...": replays the file and records the continued game
    // under the recorded settings and seed, old actions included.
    bool BeginOldGame(const QString& fileName);
    // "Load Replay..." of a ".rep" file: "Replay" then plays it.
    void LoadLastGame(const QString& fileName) { FLastGameReplayer->LoadFromFile(fileName); }
    // The game-ended handler: ends recording and replay alike and puts back
    // the player's own settings if a replay had changed them.
    void EndOfGame();
    // Puts back the player's settings changed by a replay that has not been
    // wound up by EndOfGame (call it before the settings are saved at exit).
    void RestorePlayerSettings();

    TRecorder& Recorder() { return *FRecorder; }
    TReplayer& LastGameReplayer() { return *FLastGameReplayer; }
    TReplayer& DemoReplayer() { return *FDemoReplayer; }
    TReplayer* CurrentReplayer() { return FCurrentReplayer; }

private:
    TGameMenuInterface* FMenu;
    TGameBackgroundInterface* FBackground;
    std::unique_ptr<TRecorder> FRecorder;
    std::unique_ptr<TReplayer> FLastGameReplayer;
    std::unique_ptr<TReplayer> FDemoReplayer;
    TReplayer* FCurrentReplayer = nullptr;
};
