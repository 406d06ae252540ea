#pragma once

#include "platform/Exception.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QDataStream;
class TGameBackgroundInterface;
class TGameMenuInterface;

// A replay file that cannot be opened, written or used. The replayer that
// raised it keeps the data it had.
class EReplayFileError : public Exception {
public:
    using Exception::Exception;
};

// Action codes of a recording.
enum : uint8_t {
    acMoveLeft = 0,
    acMoveRight = 1,
    acTurn = 2,
    acDrop = 3,
    acStop = 4, // the end of that player's game
};

// One applied player action, stamped with the falling brick's pixel position.
// Stream form: GameIndex, BrickLeft, BrickTop (32-bit signed each), ActionCode (8-bit).
class TGameAction {
public:
    virtual ~TGameAction() = default;
    virtual void LoadFromStream(QDataStream& stream);
    virtual void SaveToStream(QDataStream& stream) const;

    int32_t GameIndex = 0;
    int32_t BrickLeft = 0;
    int32_t BrickTop = 0;
    uint8_t ActionCode = 0;
};

// The game parameters at the start of a recorded game.
// Stream form: Players (32), GameType (8), Level (32), RotationClockwise (8),
// Speed (8), RandomSeed (32), little-endian, no padding: 15 bytes. The players
// field holds the count in its low byte; bit 8 tells whether the level stayed
// fixed ("Disable level increase"); bits 9 and 10 the computer's strength and
// bits 11 to 13 which wells it played (bit 11 the first). Older files have
// these bits clear.
class TGameSettings {
public:
    virtual ~TGameSettings() = default;
    virtual void LoadFromStream(QDataStream& stream);
    virtual void SaveToStream(QDataStream& stream) const;

    // Takes the checked menu items (when a menu is given), the rotation and
    // speed settings and the current random seed.
    void Snapshot(TGameMenuInterface* menu);

    int32_t Players = 1;
    uint8_t GameType = 0;
    int32_t Level = 0;
    bool RotationClockwise = true;
    uint8_t Speed = 0;
    int32_t RandomSeed = 0;
    bool LevelIncreaseDisabled = false;
    // Bit k: well k was played by the computer.
    uint8_t ComputerWells = 0;
    // 1 Easy, 2 Normal, 3 Hard; 0 when no well was the computer's.
    uint8_t ComputerStrength = 0;
};

// A recorded game: its settings and its actions in the order they were applied.
// The file form is the settings, the action count and the actions: 19 + 13 x N bytes.
class TRecordedData {
public:
    virtual ~TRecordedData() = default;
    virtual void LoadFromStream(QDataStream& stream);
    virtual void SaveToStream(QDataStream& stream) const;

    TGameSettings& Settings() { return FSettings; }
    const TGameSettings& Settings() const { return FSettings; }

    void Clear() { FActions.clear(); }
    int GetCount() const { return static_cast<int>(FActions.size()); }
    void Add(const TGameAction& action) { FActions.push_back(action); }
    // Raises ERangeError for an index outside the list.
    const TGameAction& GetItemAdd(int index) const;

    // The file form as bytes.
    QByteArray ToBytes() const;
    // Reads a whole file form. A short file, an impossible count or an action
    // that no game could have recorded raises EReplayFileError naming the file;
    // this object is then unchanged.
    void FromBytes(const QByteArray& bytes, const QString& fileName);

    // Replaces the file (through a temporary file renamed over it).
    // Raises EReplayFileError when it cannot be written.
    void SaveToFile(const QString& fileName) const;
    // Raises EReplayFileError when the file cannot be opened or used.
    void LoadFromFile(const QString& fileName);

private:
    TGameSettings FSettings;
    std::vector<TGameAction> FActions;
};

// Writes the game being played into its recorded data.
class TRecorder {
public:
    TRecorder();

    // Snapshots the game parameters, clears the actions and starts recording.
    // Without a menu the missing main window is reported (ProjectErrorReporter).
    void Start(TGameMenuInterface* menu);
    void RecordAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop, uint8_t actionCode);
    void Stop() { FRecording = false; }
    bool Recording() const { return FRecording; }

    void SaveToFile(const QString& fileName) const { FData->SaveToFile(fileName); }
    // The error dump: a symbolic link planted at the name is replaced, not followed.
    void SaveDump(const QString& fileName) const;

    // Shared with the last-game replayer once a recorded game has ended.
    const std::shared_ptr<TRecordedData>& Data() const { return FData; }

private:
    std::shared_ptr<TRecordedData> FData;
    bool FRecording = false;
};

// Plays a recorded game back: the game windows ask it, frame by frame,
// whether the next action was recorded at their brick's present position.
class TReplayer {
public:
    // Reads the file into new data; on failure (EReplayFileError) the
    // replayer keeps its previous data and position.
    void LoadFromFile(const QString& fileName);

    // Starts the replay: keeps the player's settings, puts the recorded
    // rotation direction and speed in force, silences the sounds, applies the
    // settings, checks the recorded players and level items and sets the
    // recorded seed. Returns false (and changes nothing) without data.
    bool Start(TGameMenuInterface* menu, TGameBackgroundInterface* background);
    void Stop() { FReplaying = false; }
    // Puts back the rotation direction, speed and sound effects that were in
    // force before the replay started, once. Returns whether there was
    // anything to put back; the caller applies the settings.
    bool RestorePlayerSettings();

    bool HasMore() const { return FData && FPosition < FData->GetCount(); }
    bool Matches(int32_t gameIndex, int32_t brickLeft, int32_t brickTop) const;
    // Raises ERangeError when there is no next action.
    const TGameAction& Current() const;
    void Advance() { ++FPosition; }

    bool Replaying() const { return FReplaying; }
    int Position() const { return FPosition; }
    const std::shared_ptr<TRecordedData>& Data() const { return FData; }
    void SetData(std::shared_ptr<TRecordedData> data) { FData = std::move(data); }
    const TGameSettings& SavedSettings() const { return FSavedSettings; }
    bool SavedSoundEffects() const { return FSavedSoundEffects; }

private:
    std::shared_ptr<TRecordedData> FData;
    TGameSettings FSavedSettings;
    bool FReplaying = false;
    int FPosition = 0;
    bool FSavedSoundEffects = true;
    bool FRestorePending = false;
};
