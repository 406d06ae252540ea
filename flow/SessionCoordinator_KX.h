#pragma once

#include "model/ModelOwners_KX.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class ClockTimer;
class QFileSystemWatcher;
class QIODevice;
class TBrickSupplier;
class TBrickSupplierView;
class TGameForm;
class TGameHostInterface;

// One start of play: one game window per player, side by side on the main
// window's frame panel, started together and ended when the last of them has
// finished. It forwards queued input, pauses, stops, routes teleported cells
// from one player's playfield to another's and owns the session's brick
// supplier and next-brick view.
class TSessionCoordinator : public QObject, public TSupplierCoordinator, public TCellTeleporter {
public:
    // The frame rate of a running game, also the rate a paused game resumes at.
    static constexpr int GameFrameRate = 25;
    static constexpr int IdlePadPollMs = 200;

    explicit TSessionCoordinator(TGameHostInterface* host, QObject* owner = nullptr);
    ~TSessionCoordinator() override;

    TGameHostInterface* Host() const { return FHost; }

    // The supplier and its view are made by the main window with this
    // coordinator as their owner.
    void SetSupplier(TBrickSupplier* supplier);
    TBrickSupplier* Supplier() const { return FSupplier; }
    void SetNextBrickView(TBrickSupplierView* view) { FView = view; }
    TBrickSupplierView* NextBrickView() const { return FView; }

    // level: the starting level 0 to 4; players: 1 to 3.
    void StartSession(int level, int players);
    bool IsActive() const { return FActive; }
    int Count() const { return static_cast<int>(FGames.size()); }
    // ERangeError for an index outside the session.
    TGameForm* GetGame(int index) const;
    int RunningCount() const { return FRunningCount; }

    void StopAll();
    // The pause key in force (a key's place, a scan code); returns whether the key was used.
    bool KeyDown(int scanCode);
    // The pause key or a pad's Start: TogglePause once no tick is running.
    void RequestPause();
    // Pauses the first two running games, or lets them go on.
    void TogglePause();
    // Pauses the games the pause key would pause, unless they are paused
    // already; only the pause key lets them go on.
    void PauseAll();
    // Every game's collector drops the presses no sample has seen yet.
    void ForgetPresses();
    // Moves at most one queued action of every game into its action list.
    void ForwardActions();
    // A game has finished.
    void GameFinished();

    // Every player's playfield in player order, in the playfield's stream form.
    virtual void LoadFromStream(QIODevice& stream);
    virtual void SaveToStream(QIODevice& stream) const;

    // TSupplierCoordinator
    int32_t FirstPlayerScore() const override;
    void RefreshNextBrickView() override;
    // TCellTeleporter
    void TeleportCell(TPlayfield* sender, int x, int y) override;
    // Cells teleported into another well since the session started.
    int TeleportedCells() const { return FTeleportedCells; }

private:
    // Sets each pausable game to next(whether it is paused now).
    void SetPaused(const std::function<bool(bool paused)>& next);
    void CreateGame(int index, int level);
    void SeatComputer();
    // Pads are read while the session runs, paused or not.
    void StartPadPolling();
    void StopPadPolling();
    void PollPads();
    // Until a pad device is first plugged in, SDL stays unloaded and nothing
    // polls: a watch on the input devices wakes the polling.
    void WatchPadDevices();
    // At the frame rate while a pad is plugged in and a game moves; else a
    // few times a second, enough to find a new pad or a Start press.
    void PacePadPolling();
    bool AnyGameMoving() const;
    void WidenFrame(int players);
    void RestoreFrame();
    bool Replaying() const;

    TGameHostInterface* FHost;
    std::vector<std::unique_ptr<TGameForm>> FGames;
    int FRunningCount = 0;
    int FSavedFrameWidth = 0;
    QImage FSavedFramePicture;
    bool FHasSavedFrame = false;
    bool FActive = false;
    int FTeleportedCells = 0;
    TBrickSupplier* FSupplier = nullptr;
    TBrickSupplierView* FView = nullptr;
    std::unique_ptr<ClockTimer> FPadTimer;
    bool FPadPolling = false;
    QFileSystemWatcher* FPadDevices = nullptr;
};
