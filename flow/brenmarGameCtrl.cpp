#include "flow/brenmarGameCtrl.h"

#include "platform/Application.h"

TbmGameController::TbmGameController(QObject* owner) : QObject(owner) {}

void TbmGameController::Fire(const TNotifyEvent& event) {
    if (event) event(this);
}

bool TbmGameController::Ask(const TTestEvent& event) {
    bool result = false;
    if (event) event(this, result);
    return result;
}

void TbmGameController::DoInitGame() {
    FGameOver = false;
    Fire(OnInitGame);
}

void TbmGameController::DoInitLevel() {
    Fire(OnInitLevel);
}

void TbmGameController::DoInitRound() {
    Fire(OnInitRound);
}

void TbmGameController::DoInitTry() {
    Fire(OnInitTry);
}

void TbmGameController::DoRoundCompleted() {
    Fire(OnRoundCompleted);
}

bool TbmGameController::DoTestGameOver() {
    if (FGameOver) return true;
    if (!OnTestGameOver) return false;
    const bool over = Ask(OnTestGameOver);
    if (over) FGameOver = true;
    return over;
}

bool TbmGameController::DoTestTryFailed() {
    return Ask(OnTestTryFailed);
}

bool TbmGameController::DoTestRoundCompleted() {
    return Ask(OnTestRoundCompleted);
}

bool TbmGameController::Start() {
    FLevelPending = true;
    FTryPending = true;
    FStopRequested = false;
    DoInitGame();
    FPhase = phInit;
    return Step();
}

void TbmGameController::PrepareRound() {
    if (FLevelPending) {
        DoInitLevel();
        FLevelPending = false;
    }
    DoInitRound();
    if (FTryPending) DoInitTry();
    FTryPending = false;
    FPhase = phPerform;
    FRunning = true;
}

void TbmGameController::PerformRound() {
    Fire(OnPerform);
    if (DoTestTryFailed() || DoTestRoundCompleted() || DoTestGameOver() || FStopRequested ||
        Application::Terminated())
        FPhase = phConclude;
}

bool TbmGameController::ConcludeRound() {
    Fire(AfterRound);
    if (DoTestTryFailed()) {
        FTryPending = true;
    } else if (DoTestRoundCompleted()) {
        DoRoundCompleted();
        FTryPending = true;
    }
    if (FGameOver || FStopRequested) {
        FRunning = false;
        if (!FStopRequested) Fire(OnGameOver);
        Fire(OnGameFinished);
        return false;
    }
    FPhase = phInit;
    return true;
}

bool TbmGameController::Step() {
    const TPhase entry = FPhase;
    bool result = true;
    switch (entry) {
    case phInit:
        PrepareRound();
        break;
    case phPerform:
        PerformRound();
        break;
    case phConclude:
        // No game event fires while the program shuts down.
        if (Application::Terminated()) return true;
        result = ConcludeRound();
        break;
    }
    // A round that ends runs straight on into the next one's first unit of work.
    if (FPhase != entry && result && FRunning) return Step();
    return result;
}
