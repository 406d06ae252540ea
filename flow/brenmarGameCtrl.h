#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

// A game-neutral state machine that drives one game through its rounds:
// each round is prepared (with a new level and a new try when pending),
// performed step by step until a test ends it, and concluded; then the next
// round is prepared or the game ends. The owner decides when a step happens
// and supplies the work and the tests through the events.
//
// Event handlers may call Step again (re-entry): the inner call leaves the
// phase consistent, and the game-over answer is latched, so the outer call
// that resumes afterwards never continues a finished game.
class TbmGameController : public QObject {
public:
    enum TPhase : uint8_t { phInit = 0, phPerform = 1, phConclude = 2 };

    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TTestEvent = std::function<void(QObject* Sender, bool& Result)>;

    explicit TbmGameController(QObject* owner = nullptr);

    TPhase Phase() const { return FPhase; }
    bool StopRequested() const { return FStopRequested; }
    // True from the first prepared round until the game has finished; owners
    // ask for steps only while it holds.
    bool Running() const { return FRunning; }
    bool GameOver() const { return FGameOver; }
    bool TryPending() const { return FTryPending; }
    bool LevelPending() const { return FLevelPending; }

    TNotifyEvent OnPerform;
    TNotifyEvent OnInitGame;
    TNotifyEvent OnInitLevel;
    TNotifyEvent OnInitRound;
    TNotifyEvent OnInitTry;
    TNotifyEvent OnRoundCompleted;
    TNotifyEvent OnGameOver;
    TNotifyEvent OnGameFinished;
    TTestEvent OnTestGameOver;
    TTestEvent OnTestRoundCompleted;
    TTestEvent OnTestTryFailed;
    TNotifyEvent AfterRound;

    // Begins a game: prepares the first round and performs its first unit
    // of work. Returns what that Step returns.
    bool Start();
    // Advances the machine; false exactly when this step finished the game.
    bool Step();
    // Ends the game at the next step of a round, without the game-over event.
    void Stop() { FStopRequested = true; }

protected:
    virtual void DoInitGame();
    virtual void DoInitLevel();
    virtual void DoInitRound();
    virtual void DoInitTry();
    virtual void DoRoundCompleted();
    virtual bool DoTestGameOver();
    virtual bool DoTestTryFailed();
    virtual bool DoTestRoundCompleted();

private:
    void Fire(const TNotifyEvent& event);
    bool Ask(const TTestEvent& event);
    void PrepareRound();
    void PerformRound();
    bool ConcludeRound();

    TPhase FPhase = phInit;
    bool FStopRequested = false;
    bool FRunning = false;
    bool FGameOver = false;
    bool FTryPending = false;
    bool FLevelPending = false;
};
