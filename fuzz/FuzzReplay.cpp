// The replay and demo files: the reader checks the whole file before the
// program uses any of it.
#include "FuzzSupport.h"
#include "persistence/Recorder_KX.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QString seeds = Fuzz::SeedFolder();
    if (seeds.isEmpty()) return 0;
    TRecordedData two;
    two.Settings().Players = 2;
    two.Settings().RandomSeed = 4711;
    for (int i = 0; i < 40; ++i) {
        TGameAction action;
        action.GameIndex = i % 2;
        action.BrickLeft = 16 * (i % 9);
        action.BrickTop = 16 * i;
        action.ActionCode = static_cast<uint8_t>(i % 5);
        two.Add(action);
    }
    Fuzz::WriteSeed(seeds, QStringLiteral("two-players.rep"), two.ToBytes());
    std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRecordedData recording;
    try {
        recording.FromBytes(Fuzz::Bytes(data, size), QStringLiteral("fuzz.rep"));
    } catch (const EReplayFileError&) {
        return 0;
    }
    // What was taken can be played: every action belongs to a game of the recording.
    const TGameSettings& s = recording.Settings();
    Fuzz::Require(s.Players >= 1 && s.Players <= 2);
    for (int i = 0; i < recording.GetCount(); ++i) {
        const TGameAction& action = recording.GetItemAdd(i);
        Fuzz::Require(action.GameIndex >= 0 && action.GameIndex < s.Players);
        Fuzz::Require(action.ActionCode <= acStop);
    }
    // And what it writes back reads back the same.
    TRecordedData again;
    again.FromBytes(recording.ToBytes(), QStringLiteral("again.rep"));
    Fuzz::Require(again.ToBytes() == recording.ToBytes());
    return 0;
}
