#include "flow/SessionCoordinator_KX.h"

#include "flow/ActionCollector_KX.h"
#include "flow/BrickSupplierV_KX.h"
#include "flow/ComputerHand_KX.h"
#include "flow/GameF.h"
#include "flow/GameHostInterface.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "foundation/brenmarError.h"
#include "gfx/GfxPanel.h"
#include "gfx/Wiper.h"
#include "model/BrickSupplier_KX.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/ClockTimer.h"
#include "platform/Gamepads.h"
#include "platform/PadDevices.h"
#include "platform/KeyState.h"

#include <QFileSystemWatcher>
#include <QPainter>
#include <QPointer>

TSessionCoordinator::TSessionCoordinator(TGameHostInterface* host, QObject* owner)
    : QObject(owner), FHost(host) {}

TSessionCoordinator::~TSessionCoordinator() {
    StopPadPolling();
    // The games go first: their teardown may still reach the supplier and the view.
    FGames.clear();
}

void TSessionCoordinator::SetSupplier(TBrickSupplier* supplier) {
    FSupplier = supplier;
    if (supplier) supplier->SetCoordinator(this);
}

TGameForm* TSessionCoordinator::GetGame(int index) const {
    if (index < 0 || index >= Count()) throw ERangeError();
    return FGames[static_cast<size_t>(index)].get();
}

bool TSessionCoordinator::Replaying() const {
    TDemoForm* demo = FHost->DemoForm();
    return demo && demo->IsReplaying();
}

void TSessionCoordinator::CreateGame(int index, int level) {
    FRunningCount += 1;
    auto game = std::make_unique<TGameForm>(this, index);
    game->SetLevel(level);
    game->SetGameType(FHost->SelectedGameType());
    TGameForm* window = game.get();
    FGames.push_back(std::move(game));

    auto* collector = new TActionCollector(window);
    if (index >= 2)
        ErrorReporter().ProgramError(QStringLiteral("No def. keys"), QStringLiteral("3654"));
    // The keys in force as the game starts; a pad given to the player acts beside them.
    const TKeyTable& keys = Settings().Keys;
    for (int action = acMoveLeft; action <= acDrop; ++action) {
        collector->SetKey(action, keys.PlayerKey(index, action));
        collector->SetPadKey(action, static_cast<uint16_t>(KeyState::PadKey(index, action)));
    }
    collector->SetRepeat(acMoveLeft, true);
    collector->SetRepeat(acMoveRight, true);
    window->SetCollector(collector);
}

void TSessionCoordinator::SeatComputer() {
    // A replay's wells are the recording's; a new game's are the menu's.
    uint8_t wells = FHost->SelectedComputerWells();
    uint8_t strength = FHost->SelectedComputerStrength();
    if (Replaying()) {
        const TReplayer* replayer = FHost->DemoForm()->CurrentReplayer();
        const bool recorded = replayer && replayer->Data();
        wells = recorded ? replayer->Data()->Settings().ComputerWells : 0;
        strength = recorded ? replayer->Data()->Settings().ComputerStrength : 0;
    }
    if (strength < 1 || strength > 3) strength = 2;
    // Its own generator, from the game's seed: the bricks' generator is only read.
    const uint32_t seed = RandSeed();
    for (int i = 0; i < Count(); ++i) {
        if ((wells >> i & 1) == 0) continue;
        TGameForm& game = *GetGame(i);
        auto hand = std::make_unique<TComputerHand>(game, static_cast<TComputerStrength>(strength),
                                                    seed * 2654435761u + static_cast<uint32_t>(i));
        hand->SetStopWhenWon(true);
        game.SetComputerHand(std::move(hand));
    }
}

void TSessionCoordinator::WidenFrame(int players) {
    TGfxPanel* frame = FHost->FramePanel();
    FSavedFrameWidth = frame->width();
    frame->resize(FSavedFrameWidth * players, frame->height());
    FHost->FrameResized();

    FSavedFramePicture = frame->Picture().copy();
    FHasSavedFrame = true;
    QImage wide(FSavedFramePicture.width() * players, FSavedFramePicture.height(),
                QImage::Format_RGB32);
    wide.fill(Qt::black);
    {
        // The tiles come from the background copy: the composed picture also
        // holds the frame's markers, which only the first tile shows.
        const QImage& clean = frame->BackgroundCopy().size() == FSavedFramePicture.size()
                                  ? frame->BackgroundCopy()
                                  : FSavedFramePicture;
        QPainter painter(&wide);
        painter.drawImage(0, 0, FSavedFramePicture);
        for (int k = 1; k < players; ++k)
            painter.drawImage(k * FSavedFrameWidth, 0, clean);
    }
    frame->SetPicture(wide);
    frame->repaint();
}

void TSessionCoordinator::RestoreFrame() {
    TGfxPanel* frame = FHost->FramePanel();
    frame->resize(FSavedFrameWidth, frame->height());
    if (FHasSavedFrame) frame->SetPicture(FSavedFramePicture);
    FSavedFramePicture = QImage();
    FHasSavedFrame = false;
    for (const auto& game : FGames)
        game->GamePanel()->setVisible(false);
    FHost->FrameResized();
}

void TSessionCoordinator::StartPadPolling() {
    if (!Gamepads::Enabled()) return;
    if (!FPadTimer) FPadTimer = std::make_unique<ClockTimer>([this] { PollPads(); });
    WatchPadDevices();
    Gamepads::OnPause = [this] { RequestPause(); };
    FPadPolling = true;
    PollPads();
}

void TSessionCoordinator::PollPads() {
    Gamepads::Poll();
    PacePadPolling();
}

void TSessionCoordinator::WatchPadDevices() {
    if (FPadDevices || Gamepads::Running()) return;
    FPadDevices = new QFileSystemWatcher({PadDevices::HotplugFolder()}, this);
    connect(FPadDevices, &QFileSystemWatcher::directoryChanged, this, [this] {
        // /dev/input itself may have just come: watch it from now on.
        if (!FPadDevices->directories().contains(PadDevices::HotplugFolder()))
            FPadDevices->addPath(PadDevices::HotplugFolder());
        if (FPadPolling) PollPads();
    });
}

void TSessionCoordinator::PacePadPolling() {
    if (!FPadTimer) return;
    // Until SDL reads pads there is nothing to poll: the device watch looks again.
    if (!FPadPolling || !Gamepads::Running()) {
        FPadTimer->SetActive(false);
        return;
    }
    const bool fast = AnyGameMoving() && !Gamepads::Connected().empty();
    FPadTimer->SetInterval(fast ? 1000 / GameFrameRate : IdlePadPollMs);
    FPadTimer->SetActive(true);
}

bool TSessionCoordinator::AnyGameMoving() const {
    for (const auto& game : FGames)
        if (game->TheGame().Running() && game->GamePanel()->FramesPerSec() != 0) return true;
    return false;
}

void TSessionCoordinator::StopPadPolling() {
    FPadPolling = false;
    if (!FPadTimer) return;
    FPadTimer->SetActive(false);
    Gamepads::OnPause = nullptr;
}

void TSessionCoordinator::StartSession(int level, int players) {
    FActive = true;
    StartPadPolling();
    FTeleportedCells = 0;
    WidenFrame(players);
    for (int i = 0; i < players; ++i)
        CreateGame(i, level);
    SeatComputer();
    for (const auto& game : FGames)
        game->TheGame().Start();
    // Once at least: the panels' show transitions begin with their first paint.
    Application::ProcessMessages();
    TWiper::WaitForWipes();
    FHost->HideMenuPanel();
    for (const auto& game : FGames)
        if (game->TheGame().Running()) game->TheGame().Step();
}

void TSessionCoordinator::StopAll() {
    // A game that has already ended keeps its end: marked as stopped it would
    // lose its place in the score list. A paused game goes on, so that it
    // can take its stop (a pause of a lost focus must not hold Escape off).
    SetPaused([](bool) { return false; });
    for (const auto& game : FGames)
        if (game->TheGame().Running()) game->TheGame().Stop();
}

bool TSessionCoordinator::KeyDown(int scanCode) {
    if (scanCode == 0 || scanCode != Settings().Keys.PauseKey()) return false;
    RequestPause();
    return true;
}

void TSessionCoordinator::ForgetPresses() {
    for (const auto& game : FGames)
        if (game->Collector()) game->Collector()->ForgetPresses();
}

void TSessionCoordinator::RequestPause() {
    // Between ticks, so that every game is held at the same point of its
    // timeline and goes on from there as if it had never stopped.
    VirtualClock* scheduler = Clock::Current().Scheduler();
    if (!scheduler) {
        TogglePause();
        return;
    }
    scheduler->WhenNoTickRuns([session = QPointer<TSessionCoordinator>(this)] {
        if (session) session->TogglePause();
    });
}

void TSessionCoordinator::TogglePause() {
    SetPaused([](bool paused) { return !paused; });
}

void TSessionCoordinator::PauseAll() {
    SetPaused([](bool) { return true; });
}

void TSessionCoordinator::SetPaused(const std::function<bool(bool paused)>& next) {
    // Only the first two players can pause; a third game has no say. A game
    // that has ended keeps its "Game Over"; a game on its way out is not held
    // up by a pause.
    std::vector<TGameForm*> games;
    std::vector<bool> pausing;
    for (int i = 0; i < std::min(Count(), 2); ++i) {
        TGameForm* game = GetGame(i);
        if (!game->TheGame().Running()) continue;
        const bool paused = game->GamePanel()->FramesPerSec() == 0;
        if (next(paused) == paused) continue;
        if (!paused && game->TheGame().StopRequested()) continue;
        games.push_back(game);
        pausing.push_back(!paused);
    }
    // Every game is held before any label is shown (showing one lets other
    // timers tick), and released only after every label is hidden.
    for (size_t i = 0; i < games.size(); ++i)
        if (pausing[i]) games[i]->HoldTime(true);
    for (size_t i = 0; i < games.size(); ++i) {
        games[i]->ShowPaused(pausing[i]);
        if (games[i]->Collector()) games[i]->Collector()->ForgetPresses();
    }
    for (size_t i = 0; i < games.size(); ++i) {
        TGfxPanel* panel = games[i]->GamePanel();
        if (pausing[i]) continue;
        if (panel->FramesHeld())
            games[i]->HoldTime(false);
        else
            panel->SetFramesPerSec(GameFrameRate);
    }
    PacePadPolling();
}

void TSessionCoordinator::ForwardActions() {
    const bool replaying = Replaying();
    for (const auto& game : FGames) {
        TActionCollector* collector = game->Collector();
        if (!collector || !collector->HasActions()) continue;
        const uint8_t code = collector->PopAction();
        if (!replaying) game->QueueAction(code);
    }
}

void TSessionCoordinator::GameFinished() {
    FRunningCount -= 1;
    if (FRunningCount != 0) return;
    RestoreFrame();
    FActive = false;
    StopPadPolling();
    FHost->GameEnded();
}

void TSessionCoordinator::LoadFromStream(QIODevice& stream) {
    for (const auto& game : FGames)
        game->Playfield()->LoadFromStream(stream);
}

void TSessionCoordinator::SaveToStream(QIODevice& stream) const {
    for (const auto& game : FGames)
        game->Playfield()->SaveToStream(stream);
}

int32_t TSessionCoordinator::FirstPlayerScore() const {
    return FGames.empty() ? 0 : FGames.front()->Score();
}

void TSessionCoordinator::RefreshNextBrickView() {
    if (FView) FView->Refresh();
}

void TSessionCoordinator::TeleportCell(TPlayfield* sender, int x, int y) {
    if (FGames.size() <= 1) return;
    const TCell* cell = sender->GetCell(x, y);
    if (!cell) return;
    // The second player receives from the first; the first from everyone else.
    TGameForm* receiver = nullptr;
    for (const auto& game : FGames)
        if (game->Playfield() != sender) {
            receiver = game.get();
            break;
        }
    if (!receiver || !receiver->TheGame().Running()) return;
    if (receiver->BrickOverlapsCell(x, y)) return;
    TPlayfield* target = receiver->Playfield();
    if (target->GetFillMap(x, y) != 0) return;
    const uint8_t colour = cell->Colour;
    target->AddCell(x, y, TCell::cfBrick, colour);
    ++FTeleportedCells;
    receiver->StartTeleportIn(x, y, colour);
}
