#include "SimComputerGame.h"

#include "SimCommand.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"

#include <algorithm>

TComputerStrength SimParseStrength(const QString& text) {
    if (const auto s = ParseComputerStrength(text.toStdString())) return *s;
    throw SimUsageError("bad strength '" + text.toStdString() +
                        "' (random, easy, normal or hard)");
}

SimComputerGame::SimComputerGame(const Options& options) : FOptions(options) {}

int32_t SimComputerGame::Score(int player) const {
    return const_cast<THeadlessSession&>(FSession).Host().Session()->GetGame(player)->Score();
}

void SimComputerGame::Count(int player) {
    TGameForm& game = *FSession.Host().Session()->GetGame(player);
    const auto p = static_cast<size_t>(player);
    const void* brick = game.CurrentBrick();
    const bool fresh = brick != FBricks[p] || game.BrickTop() < FTops[p];
    FTops[p] = game.BrickTop();
    if (!fresh) return;
    const bool first = FBricks[p] == nullptr;
    FBricks[p] = brick;
    if (first) return;
    const TPlayfield& field = *game.Playfield();
    Tally& t = FTallies[p];
    t.Landings += 1;
    t.Lines += field.LinesRemoved();
    // A landing that zapped more than its full lines held took a bobble area.
    if (field.CellsZapped() > std::max(0, field.LinesRemoved() * TPlayfield::Columns - 2))
        t.AreaZaps += 1;
}

bool SimComputerGame::Decided() const {
    TSessionCoordinator* session = const_cast<THeadlessSession&>(FSession).Host().Session();
    if (session->Count() < 2) return false;
    for (int p = 0; p < 2; ++p) {
        TGameForm& game = *session->GetGame(p);
        if (!game.TheGame().Running() && Score(1 - p) > Score(p)) return true;
    }
    return false;
}

void SimComputerGame::Run() {
    THeadlessHost& host = FSession.Host();
    TSettings& settings = Settings();
    settings.Speed = 0;
    settings.RotationDirectionClockwise = true;
    settings.SoundEffectEnabled = false;
    ApplySettings(host.GfxForm());
    host.CheckPlayersItem(FOptions.Players);
    host.CheckLevelItem(FOptions.Level);
    host.SetGameType(0);
    SetRandSeed(FOptions.Seed);
    if (!FOptions.RecordTo.isEmpty()) host.DemoForm()->StartRecording();
    TSessionCoordinator* session = host.NewSession();
    for (int p = 0; p < session->Count(); ++p)
        FHands.push_back(std::make_unique<TComputerHand>(
            *session->GetGame(p), FOptions.Strengths[static_cast<size_t>(p)],
            FOptions.Seed * 2654435761u + static_cast<uint32_t>(p) + 1));
    bool stopped = false;
    FSession.RunSession(FOptions.MaxFrames, [&] {
        for (size_t p = 0; p < FHands.size(); ++p) {
            Count(static_cast<int>(p));
            FHands[p]->Frame();
        }
        if (FOptions.StopWhenDecided && !stopped && Decided()) {
            stopped = true;
            session->StopAll();
        }
    });
    if (!FOptions.RecordTo.isEmpty()) host.DemoForm()->SaveRecording(FOptions.RecordTo);
}
