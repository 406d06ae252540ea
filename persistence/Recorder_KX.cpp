#include "persistence/Recorder_KX.h"

#include "foundation/Error_KX.h"
#include "foundation/Random.h"
#include "persistence/AtomicFile_KX.h"
#include "persistence/GameMenuInterface.h"
#include "persistence/Settings_KX.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 HeaderSize = 19; // the settings (15 bytes) and the action count
constexpr qint64 ActionSize = 13;
// Only two players have keys: a third game cannot be created, so a recording
// of three players cannot be replayed.
constexpr int32_t ReplayablePlayers = 2;

void Prepare(QDataStream& stream) {
    stream.setByteOrder(QDataStream::LittleEndian);
}

QString Subject(const QString& fileName) {
    return fileName.isEmpty() ? QStringLiteral("The recording")
                              : QStringLiteral("The replay file \"%1\"").arg(fileName);
}

[[noreturn]] void Refuse(const QString& fileName, const QString& reason) {
    throw EReplayFileError(Subject(fileName) + QStringLiteral(" cannot be replayed: ") + reason +
                           '.');
}

// The flag bits above the player count.
constexpr int32_t LevelFixedFlag = 0x100;
constexpr int StrengthShift = 9;
constexpr int32_t StrengthBits = 0x3 << StrengthShift;
constexpr int WellsShift = 11;
constexpr int32_t WellsBits = 0x7 << WellsShift;
constexpr int32_t KnownFlags = LevelFixedFlag | StrengthBits | WellsBits;

bool PlausibleComputer(const TGameSettings& s) {
    // A strength goes with at least one computer well, and only wells that played.
    if ((s.ComputerWells == 0) != (s.ComputerStrength == 0)) return false;
    return (s.ComputerWells >> s.Players) == 0;
}

bool PlausibleSettings(const TGameSettings& s) {
    return s.Players >= 1 && s.Players <= ReplayablePlayers && s.GameType <= 2 && s.Level >= 0 && s.Level <= 4 &&
           s.Speed <= 2 && PlausibleComputer(s);
}

// Reads the settings and the action count, checking the count against the
// bytes that follow it before anything is allocated from it.
int32_t ReadHeader(QDataStream& stream, qint64 available, TGameSettings& settings,
                   const QString& fileName) {
    if (available < HeaderSize)
        Refuse(fileName,
               QStringLiteral("it is too short to hold a recording (%1 bytes)").arg(available));
    settings.LoadFromStream(stream);
    int32_t count = 0;
    stream >> count;
    if (stream.status() != QDataStream::Ok)
        Refuse(fileName, QStringLiteral("its header cannot be read"));
    const qint64 room = (available - HeaderSize) / ActionSize;
    if (count < 0 || count > room)
        Refuse(fileName,
               QStringLiteral("it claims %1 actions but has room for %2").arg(count).arg(room));
    if (settings.Players > ReplayablePlayers && settings.Players <= 3 &&
        PlausibleComputer(settings))
        Refuse(fileName, QStringLiteral("it is a game of %1 players, and only %2 players have keys")
                             .arg(settings.Players)
                             .arg(ReplayablePlayers));
    if (!PlausibleSettings(settings))
        Refuse(fileName, QStringLiteral("its game settings are impossible (players %1, game "
                                        "type %2, level %3, speed %4, computer wells %5 "
                                        "at strength %6)")
                             .arg(settings.Players)
                             .arg(settings.GameType)
                             .arg(settings.Level)
                             .arg(settings.Speed)
                             .arg(settings.ComputerWells)
                             .arg(settings.ComputerStrength));
    return count;
}

std::vector<TGameAction> ReadActions(QDataStream& stream, int32_t count, int32_t players,
                                     const QString& fileName) {
    std::vector<TGameAction> actions(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        TGameAction& action = actions[static_cast<size_t>(i)];
        action.LoadFromStream(stream);
        if (action.ActionCode > acStop)
            Refuse(
                fileName,
                QStringLiteral("action %1 has the unknown code %2").arg(i).arg(action.ActionCode));
        if (action.GameIndex < 0 || action.GameIndex >= players)
            Refuse(fileName,
                   QStringLiteral("action %1 belongs to game %2 of a recording of %3 players")
                       .arg(i)
                       .arg(action.GameIndex)
                       .arg(players));
    }
    if (stream.status() != QDataStream::Ok)
        Refuse(fileName, QStringLiteral("its actions cannot be read"));
    return actions;
}
} // namespace

void TGameAction::LoadFromStream(QDataStream& stream) {
    qint32 gameIndex = 0, left = 0, top = 0;
    quint8 code = 0;
    stream >> gameIndex >> left >> top >> code;
    GameIndex = gameIndex;
    BrickLeft = left;
    BrickTop = top;
    ActionCode = code;
}

void TGameAction::SaveToStream(QDataStream& stream) const {
    stream << qint32(GameIndex) << qint32(BrickLeft) << qint32(BrickTop) << quint8(ActionCode);
}

void TGameSettings::LoadFromStream(QDataStream& stream) {
    qint32 players = 0, level = 0, seed = 0;
    quint8 gameType = 0, clockwise = 0, speed = 0;
    stream >> players >> gameType >> level >> clockwise >> speed >> seed;
    // Unknown flag bits stay in the count, which then fails the plausibility check.
    LevelIncreaseDisabled = (players & LevelFixedFlag) != 0;
    ComputerStrength = static_cast<uint8_t>((players & StrengthBits) >> StrengthShift);
    ComputerWells = static_cast<uint8_t>((players & WellsBits) >> WellsShift);
    Players = players & ~KnownFlags;
    GameType = gameType;
    Level = level;
    RotationClockwise = clockwise != 0;
    Speed = speed;
    RandomSeed = seed;
}

void TGameSettings::SaveToStream(QDataStream& stream) const {
    const int32_t flags = (LevelIncreaseDisabled ? LevelFixedFlag : 0) |
                          ((ComputerStrength << StrengthShift) & StrengthBits) |
                          ((ComputerWells << WellsShift) & WellsBits);
    stream << qint32(Players | flags) << quint8(GameType)
           << qint32(Level) << quint8(RotationClockwise ? 1 : 0) << quint8(Speed)
           << qint32(RandomSeed);
}

void TGameSettings::Snapshot(TGameMenuInterface* menu) {
    if (menu) {
        Players = menu->SelectedPlayers();
        GameType = menu->SelectedGameType();
        Level = menu->SelectedLevel();
        LevelIncreaseDisabled = menu->IsLevelIncreaseDisabled();
        ComputerWells = menu->SelectedComputerWells();
        ComputerStrength = ComputerWells != 0 ? menu->SelectedComputerStrength() : 0;
    }
    RotationClockwise = ::Settings().RotationDirectionClockwise;
    Speed = static_cast<uint8_t>(::Settings().Speed);
    RandomSeed = static_cast<int32_t>(RandSeed());
}

void TRecordedData::LoadFromStream(QDataStream& stream) {
    const qint64 available = stream.device() ? stream.device()->bytesAvailable() : 0;
    TGameSettings settings;
    const int32_t count = ReadHeader(stream, available, settings, QString());
    std::vector<TGameAction> actions = ReadActions(stream, count, settings.Players, QString());
    FSettings = settings;
    FActions = std::move(actions);
}

void TRecordedData::SaveToStream(QDataStream& stream) const {
    FSettings.SaveToStream(stream);
    stream << qint32(GetCount());
    for (const TGameAction& action : FActions)
        action.SaveToStream(stream);
}

const TGameAction& TRecordedData::GetItemAdd(int index) const {
    if (index < 0 || index >= GetCount()) throw ERangeError();
    return FActions[static_cast<size_t>(index)];
}

QByteArray TRecordedData::ToBytes() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    Prepare(stream);
    SaveToStream(stream);
    return bytes;
}

void TRecordedData::FromBytes(const QByteArray& bytes, const QString& fileName) {
    QDataStream stream(bytes);
    Prepare(stream);
    TGameSettings settings;
    const int32_t count = ReadHeader(stream, bytes.size(), settings, fileName);
    std::vector<TGameAction> actions = ReadActions(stream, count, settings.Players, fileName);
    FSettings = settings;
    FActions = std::move(actions);
}

void TRecordedData::SaveToFile(const QString& fileName) const {
    QString error;
    if (!AtomicFile::Write(fileName, ToBytes(), AtomicFile::Links::Follow, &error))
        throw EReplayFileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, error));
}

void TRecordedData::LoadFromFile(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw EReplayFileError(
            QStringLiteral("Cannot open file \"%1\". It is not a file.").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EReplayFileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    // The header says how much follows; read no more than the file holds.
    const qint64 size = file.size();
    QByteArray bytes = file.read(HeaderSize);
    if (bytes.size() == HeaderSize) {
        QDataStream header(bytes);
        Prepare(header);
        TGameSettings ignored;
        const int32_t count = ReadHeader(header, size, ignored, fileName);
        bytes += file.read(ActionSize * count);
    }
    FromBytes(bytes, fileName);
}

TRecorder::TRecorder() : FData(std::make_shared<TRecordedData>()) {}

void TRecorder::Start(TGameMenuInterface* menu) {
    ProjectErrorReporter().Require(menu != nullptr, QString(),
                                   QStringLiteral("SnapshotGameParams"));
    FData->Settings().Snapshot(menu);
    FData->Clear();
    FRecording = true;
}

void TRecorder::RecordAction(int32_t gameIndex, int32_t brickLeft, int32_t brickTop,
                             uint8_t actionCode) {
    if (!FRecording) return;
    TGameAction action;
    action.GameIndex = gameIndex;
    action.BrickLeft = brickLeft;
    action.BrickTop = brickTop;
    action.ActionCode = actionCode;
    FData->Add(action);
}

void TRecorder::SaveDump(const QString& fileName) const {
    QString error;
    if (!AtomicFile::Write(fileName, FData->ToBytes(), AtomicFile::Links::Replace, &error))
        throw EReplayFileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, error));
}

void TReplayer::LoadFromFile(const QString& fileName) {
    auto data = std::make_shared<TRecordedData>();
    data->LoadFromFile(fileName);
    FData = std::move(data);
    FPosition = 0;
}

bool TReplayer::Start(TGameMenuInterface* menu, TGameBackgroundInterface* background) {
    if (!FData) return false;
    // A replay started before the previous one was wound up keeps the
    // player's own settings, not the previous recording's.
    RestorePlayerSettings();
    TSettings& settings = ::Settings();
    FReplaying = true;
    FSavedSettings.Snapshot(menu);
    FPosition = 0;
    FSavedSoundEffects = settings.SoundEffectEnabled;
    FRestorePending = true;
    const TGameSettings& recorded = FData->Settings();
    settings.RotationDirectionClockwise = recorded.RotationClockwise;
    settings.Speed = recorded.Speed;
    settings.SoundEffectEnabled = false;
    ApplySettings(background);
    if (menu) {
        menu->CheckPlayersItem(recorded.Players);
        if (recorded.ComputerWells != 0) menu->CheckAgainstComputerItem();
        menu->CheckLevelItem(recorded.Level);
    }
    SetRandSeed(static_cast<uint32_t>(recorded.RandomSeed));
    return true;
}

bool TReplayer::RestorePlayerSettings() {
    if (!FRestorePending) return false;
    FRestorePending = false;
    TSettings& settings = ::Settings();
    settings.RotationDirectionClockwise = FSavedSettings.RotationClockwise;
    settings.Speed = FSavedSettings.Speed;
    settings.SoundEffectEnabled = FSavedSoundEffects;
    return true;
}

const TGameAction& TReplayer::Current() const {
    if (!FData) throw ERangeError();
    return FData->GetItemAdd(FPosition);
}

bool TReplayer::Matches(int32_t gameIndex, int32_t brickLeft, int32_t brickTop) const {
    if (!HasMore()) return false;
    const TGameAction& action = Current();
    return action.GameIndex == gameIndex && action.BrickLeft == brickLeft &&
           action.BrickTop == brickTop;
}
