#include "persistence/DemoF.h"

#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "persistence/Settings_KX.h"

namespace {
// The holder whose recorder the error dump saves.
TDemoForm* DumpHolder = nullptr;
} // namespace

TDemoForm::TDemoForm(TGameMenuInterface* menu, TGameBackgroundInterface* background,
                     QWidget* parent)
    : QWidget(parent), FMenu(menu), FBackground(background) {
    setWindowTitle(QStringLiteral("DemoForm"));
    FRecorder = std::make_unique<TRecorder>();
    FLastGameReplayer = std::make_unique<TReplayer>();
    FDemoReplayer = std::make_unique<TReplayer>();
    FCurrentReplayer = FLastGameReplayer.get();
    DumpHolder = this;
    TPrjError::SetDumpHook([this](const QString& fileName) { FRecorder->SaveDump(fileName); });
}

TDemoForm::~TDemoForm() {
    if (DumpHolder != this) return;
    DumpHolder = nullptr;
    TPrjError::SetDumpHook({});
}

bool TDemoForm::HasLastGame() const {
    const auto& data = FLastGameReplayer->Data();
    return data && data->GetCount() > 0;
}

void TDemoForm::StopReplaying() {
    if (FCurrentReplayer) FCurrentReplayer->Stop();
}

bool TDemoForm::MatchesNextAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop) const {
    return FCurrentReplayer && FCurrentReplayer->Matches(gameIndex, brickLeft, brickTop);
}

void TDemoForm::RecordAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop,
                             uint8_t actionCode) {
    FRecorder->RecordAction(gameIndex, brickLeft, brickTop, actionCode);
}

bool TDemoForm::StartReplay() {
    return FCurrentReplayer && FCurrentReplayer->Start(FMenu, FBackground);
}

void TDemoForm::StopRecording() {
    FRecorder->Stop();
    FLastGameReplayer->SetData(FRecorder->Data());
}

void TDemoForm::SaveRecording(const QString& fileName) {
    const auto& last = FLastGameReplayer->Data();
    if (FRecorder->Recording() || !last)
        FRecorder->SaveToFile(fileName);
    else
        last->SaveToFile(fileName);
}

bool TDemoForm::TakeReplayedAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop,
                                   TGameAction& action) {
    if (!MatchesNextAction(gameIndex, brickLeft, brickTop)) return false;
    action = FCurrentReplayer->Current();
    FCurrentReplayer->Advance();
    if (action.ActionCode != acStop)
        FRecorder->RecordAction(action.GameIndex, action.BrickLeft, action.BrickTop,
                                action.ActionCode);
    return true;
}

void TDemoForm::BeginNewGame() {
    RestorePlayerSettings();
    Randomize();
    StartRecording();
}

bool TDemoForm::BeginLastGameReplay() {
    if (!FLastGameReplayer->Data()) return false;
    RestorePlayerSettings();
    SelectLastGameReplayer();
    return StartReplay();
}

bool TDemoForm::BeginDemo(const QString& fileName) {
    FDemoReplayer->LoadFromFile(fileName);
    RestorePlayerSettings();
    SelectDemoReplayer();
    return StartReplay();
}

bool TDemoForm::BeginOldGame(const QString& fileName) {
    FLastGameReplayer->LoadFromFile(fileName);
    RestorePlayerSettings();
    SelectLastGameReplayer();
    if (!StartReplay()) return false;
    // Snapshot after the replay has put the recorded settings, players, level
    // and seed in force: the continued game is recorded as the game it is.
    StartRecording();
    // What the menu cannot say of it comes from the old recording: who played
    // which well, and whether the level stayed fixed.
    const TGameSettings& recorded = FLastGameReplayer->Data()->Settings();
    TGameSettings& continued = FRecorder->Data()->Settings();
    continued.ComputerWells = recorded.ComputerWells;
    continued.ComputerStrength = recorded.ComputerStrength;
    continued.LevelIncreaseDisabled = recorded.LevelIncreaseDisabled;
    return true;
}

void TDemoForm::EndOfGame() {
    if (IsRecording()) StopRecording();
    FLastGameReplayer->Stop();
    FDemoReplayer->Stop();
    RestorePlayerSettings();
}

void TDemoForm::RestorePlayerSettings() {
    const bool lastRestored = FLastGameReplayer->RestorePlayerSettings();
    const bool demoRestored = FDemoReplayer->RestorePlayerSettings();
    if (lastRestored || demoRestored) ApplySettings(FBackground);
}
