#include "flow/HeadlessSession_KX.h"

#include "flow/BrickSupplierV_KX.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/SessionResults_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "model/BrickSupplier_KX.h"
#include "model/KolvexPlayer.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/KeyState.h"
#include "resources/Resources_KX.h"
#include "sound/Sound_KX.h"

#include <stdexcept>

namespace {
constexpr int FrameWidth = 192;
constexpr int FrameHeight = 416;

TSprite* MakeMarker(QWidget* frame, const QString& picture, int left) {
    auto* sprite = new TSprite(frame);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetPicture(LoadResourcePicture(picture));
    sprite->SetTransparent(true);
    sprite->SetBounds(left, 80, 8, 8);
    sprite->Animation().SetFrameCount(4);
    sprite->Animation().SetCurrentFrame(0);
    sprite->Animation().SetAnimMode(amPingPong);
    return sprite;
}

VirtualClock& Virtual() {
    auto* clock = dynamic_cast<VirtualClock*>(&Clock::Current());
    if (!clock) throw std::logic_error("a headless session runs in virtual time only");
    return *clock;
}
} // namespace

// --- THeadlessHost -------------------------------------------------------------

THeadlessHost::THeadlessHost() {
    setObjectName(QStringLiteral("HeadlessHost"));
    FGfx = std::make_unique<TGfxForm>();
    FDemo = std::make_unique<TDemoForm>(this, FGfx.get());
    FFramePanel = new TGfxPanel(this);
    FFramePanel->setGeometry(0, 0, FrameWidth, FrameHeight);
    FFramePanel->SetFramesPerSec(72);
    FFramePanel->SetPicture(FGfx->FrameImage());
    FRowsSprite = MakeMarker(FFramePanel, QStringLiteral("RowsSprite"), 4);
    FTimeSprite = MakeMarker(FFramePanel, QStringLiteral("TimeSprite"), 180);
    FNextBrickImage = new TSImage(FFramePanel);
    FNextBrickImage->SetTransparent(true);
    FNextBrickImage->SetRespondToPaint(true);
    FNextBrickImage->SetBounds(70, 32, 48, 48);
    FNextBrickImage->SetVisible(false);
    resize(FrameWidth, FrameHeight);
    show();
}

THeadlessHost::~THeadlessHost() {
    // The games go before the frame their panels sit on.
    FSession.reset();
}

void THeadlessHost::CheckPlayersItem(int players) {
    if (players >= 1 && players <= 3) FPlayers = players;
}

void THeadlessHost::CheckLevelItem(int level) {
    if (level >= 0 && level <= 4) FLevel = level;
}

void THeadlessHost::FrameResized() {
    if (width() < FFramePanel->width()) resize(FFramePanel->width(), height());
}

void THeadlessHost::GameEnded() {
    FEnded = true;
    FDemo->EndOfGame();
}

TSessionCoordinator* THeadlessHost::NewSession() {
    FSession.reset();
    FEnded = false;
    FSession = std::make_unique<TSessionCoordinator>(this);
    FGfx->SetColourMarks(Settings().MarkColours);
    auto* supplier = new TBrickSupplier(FSession.get());
    auto* view = new TBrickSupplierView(FSession.get(), *FGfx, FNextBrickImage);
    view->SetSupplier(supplier);
    FSession->SetSupplier(supplier);
    FSession->SetNextBrickView(view);
    FSession->StartSession(FLevel, FPlayers);
    return FSession.get();
}

// --- TRandomPlayer -------------------------------------------------------------

TRandomPlayer::TRandomPlayer(uint32_t seed, int players)
    : FSeed(seed), FHands(static_cast<size_t>(std::clamp(players, 0, 2))) {}

TRandomPlayer::~TRandomPlayer() {
    ReleaseAll();
}

uint32_t TRandomPlayer::Draw(uint32_t n) {
    RandomGenerator generator(FSeed);
    const uint32_t value = generator.Next(n);
    FSeed = generator.Seed();
    return value;
}

void TRandomPlayer::Act() {
    for (size_t p = 0; p < FHands.size(); ++p) {
        Hand& hand = FHands[p];
        if (hand.HeldKey != 0) {
            if (--hand.FramesLeft > 0) continue;
            KeyState::SetDown(hand.HeldKey, false);
            hand.HeldKey = 0;
            hand.Idle = static_cast<int>(Draw(10));
            continue;
        }
        if (hand.Idle > 0) {
            --hand.Idle;
            continue;
        }
        // Mostly sideways moves and turns; a drop now and then.
        const uint32_t choice = Draw(100);
        int action = 0;
        int frames = 1;
        if (choice < 36) {
            action = 0;
            frames = 1 + static_cast<int>(Draw(8));
        } else if (choice < 72) {
            action = 1;
            frames = 1 + static_cast<int>(Draw(8));
        } else if (choice < 93) {
            action = 2;
            frames = 1 + static_cast<int>(Draw(2));
        } else {
            action = 3;
        }
        // The keys the session gave the collectors.
        hand.HeldKey = Settings().Keys.PlayerKey(static_cast<int>(p), action);
        hand.FramesLeft = frames;
        KeyState::SetDown(hand.HeldKey, true);
    }
}

void TRandomPlayer::ReleaseAll() {
    for (Hand& hand : FHands) {
        if (hand.HeldKey != 0) KeyState::SetDown(hand.HeldKey, false);
        hand.HeldKey = 0;
    }
}

// --- THeadlessSession ----------------------------------------------------------

THeadlessSession::THeadlessSession() : FHost(std::make_unique<THeadlessHost>()) {}

THeadlessSession::~THeadlessSession() = default;

void THeadlessSession::RunSession(int64_t maxFrames, const std::function<void()>& onFrame) {
    VirtualClock& clock = Virtual();
    TSessionCoordinator* session = FHost->Session();
    const uint64_t start = clock.Now();
    int64_t frame = 0;
    bool stopped = false;
    int idle = 0;
    FFramesRun = 0;
    while (session->IsActive() || !FHost->SessionEnded()) {
        const int64_t now = static_cast<int64_t>(clock.Now() - start) / FrameMs;
        if (now != frame) {
            frame = now;
            if (onFrame && !stopped) onFrame();
        }
        if (frame >= maxFrames && !stopped) {
            stopped = true;
            session->StopAll();
        }
        Application::HandleMessage();
        // Without a due frame only pending events can get things going again.
        idle = clock.HasActiveTimers() ? 0 : idle + 1;
        if (idle > 1000)
            throw std::runtime_error("the session stalled: no game frame is due any more");
        if (Application::Terminated())
            throw std::runtime_error("the program ended during the session");
    }
    // The end of the session was posted; let it be handled before the results are read.
    Application::ProcessMessages();
    FFramesRun = static_cast<int64_t>(clock.Now() - start) / FrameMs;
}

std::vector<TGameResult> THeadlessSession::Results() const {
    return SessionResults::Collect(FHost->Session());
}

std::vector<TGameResult> THeadlessSession::Replay(const QString& fileName,
                                                          int64_t maxFrames) {
    TDemoForm& demo = *FHost->DemoForm();
    demo.LoadLastGame(fileName);
    const auto& data = demo.LastGameReplayer().Data();
    // Nobody chooses a game type here: the recorded one is played.
    FHost->SetGameType(data->Settings().GameType);
    if (!demo.BeginLastGameReplay()) throw std::runtime_error("nothing to replay");
    DisableSounds();
    FHost->NewSession();
    RunSession(maxFrames);
    return Results();
}

std::vector<TGameResult> THeadlessSession::Record(const RecordOptions& options,
                                                          const QString& outFile) {
    TDemoForm& demo = *FHost->DemoForm();
    TSettings& settings = Settings();
    settings.Speed = options.Speed;
    settings.RotationDirectionClockwise = options.Clockwise;
    settings.SoundEffectEnabled = false;
    ApplySettings(FHost->GfxForm());
    FHost->CheckPlayersItem(options.Players);
    FHost->CheckLevelItem(options.Level);
    FHost->SetGameType(0);
    SetRandSeed(options.Seed);
    demo.StartRecording();
    FHost->NewSession();
    TRandomPlayer player(options.Inputs, options.Players);
    RunSession(options.MaxFrames, [&] { player.Act(); });
    player.ReleaseAll();
    demo.SaveRecording(outFile);
    return Results();
}
