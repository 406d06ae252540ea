// The stored settings values: every value of the settings file is a string
// the user may have edited. The input is one value per line, in the order
// of the names below.
#include "FuzzSupport.h"
#include "persistence/Settings_KX.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>
#include <array>
#include <utility>

namespace {
const std::array<std::pair<const char*, const char*>, 11> Values = {{
    {"Div", "ScoreListPath"},
    {"Settings", "RotationDirectionClockwise"},
    {"Settings", "Speed"},
    {"Settings", "ShowLandingSpot"},
    {"Settings", "ShowGridLines"},
    {"Settings", "MarkColours"},
    {"Settings", "ComputerStrength"},
    {"Audio", "SoundEffectEnabled"},
    {"Audio", "MIDIMusicEnabled"},
    {"Audio", "GameMusicEnabled"},
    {"Audio", "GameMusicNo"},
}};

QString Folder() {
    static QTemporaryDir folder;
    return folder.path();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SettingsStore::RedirectTo(Folder());
    const QString seeds = Fuzz::SeedFolder();
    if (seeds.isEmpty()) return 0;
    // The values as the program stores them: the defaults, then the other choices.
    QByteArray defaults, changed;
    SaveSettings();
    for (const auto& [group, name] : Values)
        defaults += SettingsStore::Read(group, name, QString()).toUtf8() + '\n';
    TSettings& s = Settings();
    s.RotationDirectionClockwise = false;
    s.Speed = 2;
    s.ShowLandingSpot = s.ShowGridLines = s.MarkColours = true;
    s.SoundEffectEnabled = false;
    s.ComputerStrength = 3;
    s.MIDIMusicEnabled = s.GameMusicEnabled = false;
    s.GameMusicNo = 1;
    s.ScoreListPath = QStringLiteral("/tmp/");
    SaveSettings();
    for (const auto& [group, name] : Values)
        changed += SettingsStore::Read(group, name, QString()).toUtf8() + '\n';
    Fuzz::WriteSeed(seeds, QStringLiteral("defaults.txt"), defaults);
    Fuzz::WriteSeed(seeds, QStringLiteral("changed.txt"), changed);
    std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> lines = Fuzz::Bytes(data, size).split('\n');
    for (size_t i = 0; i < Values.size(); ++i)
        SettingsStore::Write(Values[i].first, Values[i].second,
                             QString::fromUtf8(lines.value(static_cast<qsizetype>(i))));
    LoadSettings();
    // Whatever was stored, the program goes on with values it can use.
    const TSettings& s = Settings();
    Fuzz::Require(s.Speed >= 0 && s.Speed <= 2);
    Fuzz::Require(s.ComputerStrength >= 1 && s.ComputerStrength <= 3);
    return 0;
}
