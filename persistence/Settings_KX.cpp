#include "persistence/Settings_KX.h"

#include "persistence/GameBackgroundInterface.h"
#include "platform/SettingsStore.h"
#include "sound/Sound_KX.h"

#include <QPainter>

namespace {
const QString SettingsGroup = QStringLiteral("Settings");
const QString AudioGroup = QStringLiteral("Audio");
const QString DivGroup = QStringLiteral("Div");
const QString KeysGroup = QStringLiteral("Keys");
const QString WindowGroup = QStringLiteral("Window");

// An empty path is stored as a single blank, so that the value is never empty.
const QString BlankPath = QStringLiteral(" ");

int ReadInt(const QString& group, const QString& name, int defaultValue) {
    bool ok = false;
    const int value =
        SettingsStore::Read(group, name, QString::number(defaultValue)).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool ReadBool(const QString& group, const QString& name, bool defaultValue) {
    return ReadInt(group, name, defaultValue ? 1 : 0) != 0;
}

void WriteInt(const QString& group, const QString& name, int value) {
    SettingsStore::Write(group, name, QString::number(value));
}

void WriteBool(const QString& group, const QString& name, bool value) {
    WriteInt(group, name, value ? 1 : 0);
}
// A key out of range, unknown, or one used twice (a hand-edited file) makes
// the whole table the defaults: a player must never be left without a key.
TKeyTable ReadKeys() {
    const TKeyTable defaults = TKeyTable::Defaults();
    TKeyTable table;
    for (int slot = 0; slot < TKeyTable::SlotCount; ++slot) {
        const int key = ReadInt(KeysGroup, TKeyTable::StoredName(slot), defaults.Key(slot));
        if (key <= 0 || key > UINT16_MAX) return defaults;
        table.SetKey(slot, static_cast<uint16_t>(key));
    }
    return table.IsSound() ? table : defaults;
}

void WriteKeys(const TKeyTable& table) {
    for (int slot = 0; slot < TKeyTable::SlotCount; ++slot)
        WriteInt(KeysGroup, TKeyTable::StoredName(slot), table.Key(slot));
}
} // namespace

TSettings& Settings() {
    static TSettings settings;
    return settings;
}

void LoadSettings() {
    TSettings& s = Settings();
    const QString path = SettingsStore::Read(DivGroup, QStringLiteral("ScoreListPath"), BlankPath);
    s.ScoreListPath = path == BlankPath ? QString() : path;
    s.RotationDirectionClockwise =
        ReadBool(SettingsGroup, QStringLiteral("RotationDirectionClockwise"), true);
    s.Speed = ReadInt(SettingsGroup, QStringLiteral("Speed"), 0);
    // Only three speeds exist; anything else would leave the brick speeds unscaled.
    if (s.Speed < 0 || s.Speed > 2) s.Speed = 0;
    s.ShowLandingSpot = ReadBool(SettingsGroup, QStringLiteral("ShowLandingSpot"), false);
    s.ShowGridLines = ReadBool(SettingsGroup, QStringLiteral("ShowGridLines"), false);
    s.MarkColours = ReadBool(SettingsGroup, QStringLiteral("MarkColours"), false);
    s.ComputerStrength = ReadInt(SettingsGroup, QStringLiteral("ComputerStrength"), 2);
    if (s.ComputerStrength < 1 || s.ComputerStrength > 3) s.ComputerStrength = 2;
    s.SoundEffectEnabled = ReadBool(AudioGroup, QStringLiteral("SoundEffectEnabled"), true);
    s.MIDIMusicEnabled = ReadBool(AudioGroup, QStringLiteral("MIDIMusicEnabled"), true);
    s.GameMusicEnabled = ReadBool(AudioGroup, QStringLiteral("GameMusicEnabled"), true);
    s.GameMusicNo = ReadInt(AudioGroup, QStringLiteral("GameMusicNo"), 0);
    s.Keys = ReadKeys();
    s.ReplayFolder = SettingsStore::Read(DivGroup, QStringLiteral("ReplayFolder"), QString());
    s.WindowScale = ReadInt(WindowGroup, QStringLiteral("Scale"), 0);
    if (s.WindowScale < 0 || s.WindowScale > 4) s.WindowScale = 0;
    s.PauseOnFocusLoss = ReadBool(WindowGroup, QStringLiteral("PauseOnFocusLoss"), true);
}

void SaveSettings() {
    const TSettings& s = Settings();
    SettingsStore::Write(DivGroup, QStringLiteral("ScoreListPath"),
                         s.ScoreListPath.isEmpty() ? BlankPath : s.ScoreListPath);
    WriteBool(SettingsGroup, QStringLiteral("RotationDirectionClockwise"),
              s.RotationDirectionClockwise);
    WriteInt(SettingsGroup, QStringLiteral("Speed"), s.Speed);
    WriteBool(SettingsGroup, QStringLiteral("ShowLandingSpot"), s.ShowLandingSpot);
    WriteBool(SettingsGroup, QStringLiteral("ShowGridLines"), s.ShowGridLines);
    WriteBool(SettingsGroup, QStringLiteral("MarkColours"), s.MarkColours);
    WriteInt(SettingsGroup, QStringLiteral("ComputerStrength"), s.ComputerStrength);
    WriteBool(AudioGroup, QStringLiteral("SoundEffectEnabled"), s.SoundEffectEnabled);
    WriteBool(AudioGroup, QStringLiteral("MIDIMusicEnabled"), s.MIDIMusicEnabled);
    WriteBool(AudioGroup, QStringLiteral("GameMusicEnabled"), s.GameMusicEnabled);
    WriteInt(AudioGroup, QStringLiteral("GameMusicNo"), s.GameMusicNo);
    WriteKeys(s.Keys);
    if (!s.ReplayFolder.isEmpty())
        SettingsStore::Write(DivGroup, QStringLiteral("ReplayFolder"), s.ReplayFolder);
    if (s.WindowScale > 0) WriteInt(WindowGroup, QStringLiteral("Scale"), s.WindowScale);
    WriteBool(WindowGroup, QStringLiteral("PauseOnFocusLoss"), s.PauseOnFocusLoss);
    SettingsStore::Flush();
}

void ApplySettings(TGameBackgroundInterface* background) {
    const TSettings& s = Settings();
    if (background) {
        QImage& target = background->GameBackground();
        target = background->GameBkgImage().convertToFormat(QImage::Format_RGB32);
        if (s.ShowGridLines) {
            // One navy line on the last pixel column of each of the first nine
            // cells, from the top down to the row above the bottom one.
            QPainter painter(&target);
            for (int i = 0; i <= 8; ++i)
                painter.fillRect(16 * i + 15, 0, 1, 319, QColor(0, 0, 128));
        }
    }
    if (s.SoundEffectEnabled)
        EnableSounds();
    else
        DisableSounds();
}
