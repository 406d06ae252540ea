#pragma once

#include "ai/ComputerPlayer_KX.h"
#include "flow/ComputerHand_KX.h"
#include "flow/HeadlessSession_KX.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

// Throws SimUsageError for a word that names no strength.
TComputerStrength SimParseStrength(const QString& text);

// One headless session of computer players, one for each well.
class SimComputerGame {
public:
    struct Options {
        uint32_t Seed = 0;
        int Players = 2;
        int Level = 0;
        std::array<TComputerStrength, 2> Strengths{TComputerStrength::Hard, TComputerStrength::Hard};
        int64_t MaxFrames = THeadlessSession::DefaultMaxFrames;
        // Stop once one game has ended behind the other: the winner is known.
        bool StopWhenDecided = false;
        // Where the recording goes; none when empty.
        QString RecordTo;
    };
    // What one player's landings removed.
    struct Tally {
        int Landings = 0;
        int Lines = 0;
        int AreaZaps = 0;
    };

    explicit SimComputerGame(const Options& options);
    void Run();
    THeadlessSession& Session() { return FSession; }
    const Tally& TallyOf(int player) const { return FTallies[static_cast<size_t>(player)]; }
    int32_t Score(int player) const;

private:
    void Count(int player);
    bool Decided() const;

    Options FOptions;
    THeadlessSession FSession;
    std::vector<std::unique_ptr<TComputerHand>> FHands;
    std::array<Tally, 2> FTallies{};
    std::array<const void*, 2> FBricks{};
    std::array<int, 2> FTops{};
};
