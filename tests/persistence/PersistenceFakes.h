#pragma once

#include "persistence/GameBackgroundInterface.h"
#include "persistence/GameMenuInterface.h"
#include "persistence/Settings_KX.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUuid>
#include <cstdlib>

// The main window's radio items, as a recording and a replay see them.
class FakeGameMenu : public TGameMenuInterface {
public:
    int Players = 1;
    uint8_t GameType = 0;
    int Level = 0;

    int SelectedPlayers() override { return Players; }
    uint8_t SelectedGameType() override { return GameType; }
    int SelectedLevel() override { return Level; }
    void CheckPlayersItem(int players) override {
        if (players >= 1 && players <= 3) Players = players;
    }
    void CheckLevelItem(int level) override {
        if (level >= 0 && level <= 4) Level = level;
    }
};

// The graphics holder: a plain background of one colour.
class FakeBackground : public TGameBackgroundInterface {
public:
    static constexpr QRgb Plain = 0xff408020;
    FakeBackground() : Source(160, 320, QImage::Format_RGB32) { Source.fill(Plain); }
    const QImage& GameBkgImage() const override { return Source; }
    QImage& GameBackground() override { return Working; }

    QImage Source;
    QImage Working;
};

// A fresh start: default settings in memory, an empty settings file, and a
// new folder of its own for the files a test writes.
inline QString FreshStart() {
    TestEnvironment::Reset();
    Settings() = TSettings{};
    // Clearing is only ever done to the private settings of the test run.
    if (!SettingsStore::FileName().startsWith(TestEnvironment::ScratchFolder())) std::abort();
    QSettings settings(QStringLiteral("Brenmar"), QStringLiteral("Kolvex"));
    settings.clear();
    settings.sync();
    const QString folder = TestEnvironment::ScratchFolder() + QStringLiteral("/files-") +
                           QUuid::createUuid().toString(QUuid::WithoutBraces);
    QDir().mkpath(folder);
    return folder;
}

inline QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

inline void WriteAll(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}
