#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <deque>

class TSupplierCoordinator;

// Hands out the bricks of all players of a session, chosen at random with
// weights that shift with the first player's score, and keeps the queue the
// next-brick view shows.
class TBrickSupplier : public QObject {
public:
    static constexpr int KindCount = 7;

    explicit TBrickSupplier(QObject* owner = nullptr);

    // The session; without one the score counts as 0 and no view is refreshed.
    TSupplierCoordinator* Coordinator() const { return FCoordinator; }
    void SetCoordinator(TSupplierCoordinator* coordinator) { FCoordinator = coordinator; }

    // The kinds chosen but not yet handed out, the next first.
    const std::deque<int>& Queue() const { return FQueue; }

    // The weights of kinds 0 to 6 at a score of the first player.
    static std::array<int, KindCount> Weights(int32_t score);

    // One kind drawn from the program-wide generator (one draw per kind).
    int GenerateBrick();
    void AppendGenerated();
    // Entry i of the queue (0 = the next), generating kinds until it exists.
    int Peek(int i);
    // Hands out the next kind, keeps one queued and refreshes the view.
    int NextBrick();

private:
    std::deque<int> FQueue;
    TSupplierCoordinator* FCoordinator = nullptr;
};
