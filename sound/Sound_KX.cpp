#include "sound/Sound_KX.h"

#include "sound/SoundOutput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <map>

namespace {
bool soundOn = true;

std::unique_ptr<TSoundOutput>& Output() {
    static std::unique_ptr<TSoundOutput> output;
    return output;
}

// The built-in WAVE resources by upper-case name, read once.
const std::map<QString, TWaveSound>& Sounds() {
    static const std::map<QString, TWaveSound> sounds = [] {
        std::map<QString, TWaveSound> found;
        for (const QFileInfo& info : QDir(QStringLiteral(":/sounds"))
                                         .entryInfoList({QStringLiteral("*.wav")}, QDir::Files)) {
            QFile f(info.filePath());
            if (!f.open(QIODevice::ReadOnly)) continue;
            if (auto sound = ParseWave(f.readAll()))
                found[info.completeBaseName().toUpper()] = std::move(*sound);
        }
        return found;
    }();
    return sounds;
}

void ReportMissing(const QString& name) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "Kolvex: there is no sound \"%s\"\n", qPrintable(name));
}
} // namespace

bool SoundOn() {
    return soundOn;
}
// The output is readied while the sounds are on, so that the first effect is not late.
void EnableSounds() {
    soundOn = true;
    CurrentSoundOutput().Prepare();
}

void DisableSounds() {
    soundOn = false;
    if (Output()) Output()->Stop();
}

void InstallSoundOutput(std::unique_ptr<TSoundOutput> output) {
    Output() = std::move(output);
}

TSoundOutput& CurrentSoundOutput() {
    if (!Output()) {
        Output() = std::make_unique<TQtSoundOutput>();
        // The device's thread is ended while the application still exists.
        static bool cleanup = false;
        if (!cleanup) {
            cleanup = true;
            qAddPostRoutine([] { Output().reset(); });
        }
    }
    return *Output();
}

void PlaySoundResource(const QString& name) {
    if (!soundOn) return;
    const auto& sounds = Sounds();
    const auto it = sounds.find(name.toUpper());
    if (it == sounds.end()) {
        // The system would play its default sound instead.
        ReportMissing(name);
        QApplication::beep();
        return;
    }
    CurrentSoundOutput().Play(it->first, it->second);
}

void PlayFlip() {
    PlaySoundResource(QStringLiteral("Flip"));
}
void PlayFlipBlocked() {
    PlaySoundResource(QStringLiteral("Flip4"));
}
void PlayBrickStops() {
    PlaySoundResource(QStringLiteral("Flip3"));
}
void PlayBrickFixed() {
    PlaySoundResource(QStringLiteral("Flip2"));
}
void PlayAreaImpact() {
    PlaySoundResource(QStringLiteral("Flip1"));
}
