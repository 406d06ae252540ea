#pragma once

#include "flow/GameHostInterface.h"
#include "flow/SessionResults_KX.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TSImage;
class TSessionCoordinator;

// A stand-in for the main window when games run without anyone watching:
// the frame panel with its markers and next-brick image on a window of its
// own, menu items held as plain values, no mouse control, and the waits for
// the user skipped as if Enter had been pressed. The headless companion, the
// benchmarks and the tests run real sessions on it.
class THeadlessHost : public QWidget, public TGameHostInterface {
public:
    THeadlessHost();
    ~THeadlessHost() override;

    // TGameMenuInterface
    int SelectedPlayers() override { return FPlayers; }
    uint8_t SelectedGameType() override { return FGameType; }
    int SelectedLevel() override { return FLevel; }
    void CheckPlayersItem(int players) override;
    void CheckLevelItem(int level) override;
    void SetGameType(uint8_t type) { FGameType = type; }
    uint8_t SelectedComputerWells() override { return FComputerWells; }
    uint8_t SelectedComputerStrength() override { return FComputerStrength; }
    // Bit k: well k is the computer's; strength 1 Easy, 2 Normal, 3 Hard.
    void SetComputer(uint8_t wells, uint8_t strength) {
        FComputerWells = wells;
        FComputerStrength = strength;
    }

    // TGameHostInterface
    TGfxPanel* FramePanel() override { return FFramePanel; }
    TSprite* RowsSprite() override { return FRowsSprite; }
    TSprite* TimeSprite() override { return FTimeSprite; }
    void ShowLevel(int level) override { FShownLevel = level; }
    bool IsMouseControlEnabled() override { return false; }
    bool IsLevelIncreaseDisabled() override { return FLevelIncreaseDisabled; }
    void FrameResized() override;
    void HideMenuPanel() override {}
    void GameEnded() override;
    void ShowRoundMessage(TGameForm*, uint8_t) override {}
    void WaitForUser(int) override {}
    TGfxForm* GfxForm() override { return FGfx.get(); }
    TDemoForm* DemoForm() override { return FDemo.get(); }
    TMouseControl* MouseControl() override { return nullptr; }
    TGameParamsForm* GameParams() override { return nullptr; }

    void SetLevelIncreaseDisabled(bool value) { FLevelIncreaseDisabled = value; }
    int ShownLevel() const { return FShownLevel; }
    TSImage* NextBrickImage() const { return FNextBrickImage; }

    // Frees the previous session and starts a new one with the selected
    // level and players, as the main window does.
    TSessionCoordinator* NewSession();
    TSessionCoordinator* Session() const { return FSession.get(); }
    bool SessionEnded() const { return FEnded; }

private:
    std::unique_ptr<TGfxForm> FGfx;
    std::unique_ptr<TDemoForm> FDemo;
    TGfxPanel* FFramePanel;
    TSprite* FRowsSprite;
    TSprite* FTimeSprite;
    TSImage* FNextBrickImage;
    std::unique_ptr<TSessionCoordinator> FSession;
    int FPlayers = 1;
    int FLevel = 0;
    uint8_t FGameType = 0;
    int FShownLevel = 0;
    bool FLevelIncreaseDisabled = false;
    uint8_t FComputerWells = 0;
    uint8_t FComputerStrength = 2;
    bool FEnded = false;
};

// Presses and releases the players' keys at random through the key-state
// table, from a generator of its own, so that the program's generator (and
// with it the bricks) is never touched.
class TRandomPlayer {
public:
    TRandomPlayer(uint32_t seed, int players);
    ~TRandomPlayer();
    // Called once per game frame.
    void Act();
    void ReleaseAll();

private:
    struct Hand {
        int HeldKey = 0;
        int FramesLeft = 0;
        int Idle = 0;
    };
    uint32_t Draw(uint32_t n);

    uint32_t FSeed;
    std::vector<Hand> FHands;
};

// Runs sessions on a headless host in virtual time.
class THeadlessSession {
public:
    // A game frame of the playfield panels, in milliseconds.
    static constexpr int FrameMs = 40;
    static constexpr int64_t DefaultMaxFrames = 1000000;

    struct RecordOptions {
        uint32_t Seed = 0;
        int Players = 1;
        int Level = 0;
        int Speed = 0;
        bool Clockwise = true;
        uint32_t Inputs = 0;
        int64_t MaxFrames = DefaultMaxFrames;
    };

    THeadlessSession();
    ~THeadlessSession();
    THeadlessHost& Host() { return *FHost; }

    // Replays a recording file. Games whose recorded actions run out go on
    // with no input until they end or maxFrames game frames have passed,
    // when they are stopped. Raises on a file that cannot be used.
    std::vector<TGameResult> Replay(const QString& fileName,
                                            int64_t maxFrames = DefaultMaxFrames);
    // Plays a session with a random player and writes its recording to outFile.
    std::vector<TGameResult> Record(const RecordOptions& options, const QString& outFile);

    // Runs the session until it has ended; after maxFrames game frames every
    // game is stopped. onFrame runs once per game frame of the session.
    void RunSession(int64_t maxFrames, const std::function<void()>& onFrame = {});
    std::vector<TGameResult> Results() const;
    // Game frames the last session ran.
    int64_t FramesRun() const { return FFramesRun; }

private:
    std::unique_ptr<THeadlessHost> FHost;
    int64_t FFramesRun = 0;
};
