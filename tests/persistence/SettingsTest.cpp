#include "PersistenceFakes.h"
#include "persistence/Settings_KX.h"
#include "platform/SettingsStore.h"
#include "sound/Sound_KX.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {
// The settings file as text: group/name -> the string as stored.
QMap<QString, QString> StoredValues() {
    SettingsStore::Flush();
    QMap<QString, QString> values;
    QString group;
    for (const QByteArray& raw : ReadAll(SettingsStore::FileName()).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            group = line.mid(1, line.size() - 2);
        } else if (const int eq = line.indexOf('='); eq > 0) {
            QString value = line.mid(eq + 1);
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            values[group + '/' + line.left(eq)] = value;
        }
    }
    return values;
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { FreshStart(); }
};

TEST_F(SettingsTest, FirstStartGivesDefaultsAndExitWritesEveryValueAsAString) {
    Settings().Speed = 2;
    Settings().RotationDirectionClockwise = false;
    LoadSettings();
    const TSettings& s = Settings();
    EXPECT_TRUE(s.RotationDirectionClockwise);
    EXPECT_EQ(s.Speed, 0);
    EXPECT_FALSE(s.ShowLandingSpot);
    EXPECT_FALSE(s.ShowGridLines);
    EXPECT_FALSE(s.MarkColours);
    EXPECT_TRUE(s.SoundEffectEnabled);
    EXPECT_TRUE(s.MIDIMusicEnabled);
    EXPECT_TRUE(s.GameMusicEnabled);
    EXPECT_EQ(s.GameMusicNo, 0);
    EXPECT_TRUE(s.ScoreListPath.isEmpty());
    EXPECT_TRUE(s.PauseOnFocusLoss);
    EXPECT_EQ(s.WindowScale, 0);

    SaveSettings();
    const QMap<QString, QString> stored = StoredValues();
    const QMap<QString, QString> expected{
        {"Div/ScoreListPath", " "},
        {"Settings/RotationDirectionClockwise", "1"},
        {"Settings/Speed", "0"},
        {"Settings/ShowLandingSpot", "0"},
        {"Settings/ShowGridLines", "0"},
        {"Audio/SoundEffectEnabled", "1"},
        {"Audio/MIDIMusicEnabled", "1"},
        {"Audio/GameMusicEnabled", "1"},
        {"Audio/GameMusicNo", "0"},
        {"Settings/MarkColours", "0"},
        {"Settings/ComputerStrength", "2"},
        {"Keys/Player1Left", "113"},
        {"Keys/Player1Right", "114"},
        {"Keys/Player1Turn", "111"},
        {"Keys/Player1Drop", "116"},
        {"Keys/Player2Left", "38"},
        {"Keys/Player2Right", "40"},
        {"Keys/Player2Turn", "25"},
        {"Keys/Player2Drop", "39"},
        {"Keys/Pause", "33"},
        {"Window/PauseOnFocusLoss", "1"},
    };
    EXPECT_EQ(stored, expected);
}

TEST_F(SettingsTest, ChangedValuesSurviveSaveAndLoad) {
    TSettings& s = Settings();
    s.RotationDirectionClockwise = false;
    s.Speed = 2;
    s.ShowGridLines = true;
    s.ShowLandingSpot = true;
    s.MarkColours = true;
    s.SoundEffectEnabled = false;
    s.MIDIMusicEnabled = false;
    s.GameMusicEnabled = false;
    s.GameMusicNo = 3;
    s.ComputerStrength = 3;
    s.ScoreListPath = "/srv/kolvex/";
    SaveSettings();
    EXPECT_EQ(StoredValues().value("Div/ScoreListPath"), "/srv/kolvex/");
    EXPECT_EQ(StoredValues().value("Settings/Speed"), "2");

    s = TSettings{};
    LoadSettings();
    EXPECT_FALSE(s.RotationDirectionClockwise);
    EXPECT_EQ(s.Speed, 2);
    EXPECT_TRUE(s.ShowGridLines);
    EXPECT_TRUE(s.ShowLandingSpot);
    EXPECT_TRUE(s.MarkColours);
    EXPECT_FALSE(s.SoundEffectEnabled);
    EXPECT_FALSE(s.MIDIMusicEnabled);
    EXPECT_FALSE(s.GameMusicEnabled);
    EXPECT_EQ(s.GameMusicNo, 3);
    EXPECT_EQ(s.ComputerStrength, 3);
    EXPECT_EQ(s.ScoreListPath, "/srv/kolvex/");
}

TEST_F(SettingsTest, UnreadableValuesFallBackToTheirDefaults) {
    SettingsStore::Write("Settings", "Speed", "abc");
    SettingsStore::Write("Settings", "RotationDirectionClockwise", "yes");
    SettingsStore::Write("Audio", "GameMusicNo", "1.5");
    SettingsStore::Write("Audio", "SoundEffectEnabled", "");
    Settings().Speed = 1;
    LoadSettings();
    EXPECT_EQ(Settings().Speed, 0);
    EXPECT_TRUE(Settings().RotationDirectionClockwise);
    EXPECT_EQ(Settings().GameMusicNo, 0);
    EXPECT_TRUE(Settings().SoundEffectEnabled);
}

TEST_F(SettingsTest, SpeedOutsideItsThreeValuesReadsAsNormal) {
    for (const char* stored : {"3", "-1", "99"}) {
        SettingsStore::Write("Settings", "Speed", stored);
        Settings().Speed = 1;
        LoadSettings();
        EXPECT_EQ(Settings().Speed, 0) << stored;
    }
    // The computer's strength likewise: Easy to Hard, else Normal.
    for (const char* stored : {"0", "4", "x"}) {
        SettingsStore::Write("Settings", "ComputerStrength", stored);
        Settings().ComputerStrength = 1;
        LoadSettings();
        EXPECT_EQ(Settings().ComputerStrength, 2) << stored;
    }
    // The window's scale: 1x to 4x, else chosen anew at the start.
    for (const char* stored : {"5", "-1", "x"}) {
        SettingsStore::Write("Window", "Scale", stored);
        Settings().WindowScale = 2;
        LoadSettings();
        EXPECT_EQ(Settings().WindowScale, 0) << stored;
    }
    SettingsStore::Write("Settings", "Speed", "2");
    LoadSettings();
    EXPECT_EQ(Settings().Speed, 2);
}

TEST_F(SettingsTest, AnyNonZeroIntegerIsTrueAndIsWrittenBackAsOne) {
    SettingsStore::Write("Settings", "ShowGridLines", "5");
    SettingsStore::Write("Audio", "SoundEffectEnabled", "0");
    LoadSettings();
    EXPECT_TRUE(Settings().ShowGridLines);
    EXPECT_FALSE(Settings().SoundEffectEnabled);
    SaveSettings();
    EXPECT_EQ(StoredValues().value("Settings/ShowGridLines"), "1");
    EXPECT_EQ(StoredValues().value("Audio/SoundEffectEnabled"), "0");
}

TEST_F(SettingsTest, BlankScoreListPathMeansNoPathBothWays) {
    SettingsStore::Write("Div", "ScoreListPath", " ");
    Settings().ScoreListPath = "left over";
    LoadSettings();
    EXPECT_TRUE(Settings().ScoreListPath.isEmpty());
    SaveSettings();
    EXPECT_EQ(StoredValues().value("Div/ScoreListPath"), " ");
}

class ApplySettingsTest : public SettingsTest {
protected:
    FakeBackground background;
};

TEST_F(ApplySettingsTest, GridLinesAreNavyOnTheLastColumnOfTheFirstNineCells) {
    Settings().ShowGridLines = true;
    ApplySettings(&background);
    const QImage& image = background.GameBackground();
    ASSERT_EQ(image.size(), QSize(160, 320));
    const QRgb navy = qRgb(0, 0, 128);
    for (int x = 0; x < 160; ++x) {
        const bool line = x % 16 == 15 && x <= 143;
        EXPECT_EQ(image.pixel(x, 0), line ? navy : FakeBackground::Plain) << x;
        EXPECT_EQ(image.pixel(x, 318), line ? navy : FakeBackground::Plain) << x;
        EXPECT_EQ(image.pixel(x, 319), FakeBackground::Plain) << x;
    }
    EXPECT_EQ(background.GameBkgImage().pixel(15, 0), FakeBackground::Plain);
}

TEST_F(ApplySettingsTest, WithoutGridLinesTheBackgroundIsRebuiltPlain) {
    Settings().ShowGridLines = true;
    ApplySettings(&background);
    Settings().ShowGridLines = false;
    ApplySettings(&background);
    EXPECT_EQ(background.GameBackground(), background.GameBkgImage());
}

TEST_F(ApplySettingsTest, SetsTheSoundSwitch) {
    Settings().SoundEffectEnabled = false;
    ApplySettings(&background);
    EXPECT_FALSE(SoundOn());
    Settings().SoundEffectEnabled = true;
    ApplySettings(nullptr);
    EXPECT_TRUE(SoundOn());
}
} // namespace

TEST_F(SettingsTest, ChosenKeysSurviveSaveAndLoad) {
    TKeyTable keys = TKeyTable::Defaults();
    keys.SetKey(TKeyTable::Slot(1, 2), 44);
    keys.SetKey(TKeyTable::PauseSlot, 65);
    Settings().Keys = keys;
    SaveSettings();
    Settings().Keys = TKeyTable::Defaults();
    LoadSettings();
    EXPECT_EQ(Settings().Keys, keys);
}

TEST_F(SettingsTest, ADamagedKeyTableFallsBackToTheDefaults) {
    struct Case {
        const char* name;
        const char* value;   // stored for player two's turn key
        const char* another; // stored for player one's left key, or nullptr
    };
    const Case cases[] = {
        {"not a number", "abc", "44"},        {"no key", "0", nullptr},
        {"negative", "-3", nullptr},          {"a pad's code, not a key's", "520", nullptr},
        {"beyond any key", "70000", nullptr}, {"Escape, which leaves a field", "9", nullptr},
        {"used twice", "113", nullptr},       {"two keys made the same by hand", "44", "44"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshStart();
        SettingsStore::Write("Keys", "Player2Turn", c.value);
        if (c.another) SettingsStore::Write("Keys", "Player1Left", c.another);
        Settings().Keys.SetKey(0, 60);
        LoadSettings();
        const TKeyTable& keys = Settings().Keys;
        EXPECT_TRUE(keys.IsSound());
        // Either the damaged key alone or the whole table is back to its default.
        EXPECT_EQ(keys.PlayerKey(1, 2), TKeyTable::Defaults().PlayerKey(1, 2));
    }
}
