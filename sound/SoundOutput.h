#pragma once

#include "sound/WaveSound.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>

class QObject;
class QThread;
class TSoundStreamWorker;

// Where the effects are played. Play hands a sound over and returns at once,
// cutting off the sound still playing; Prepare readies the output for the
// effects to come, Stop silences it and releases the device. Failures are swallowed.
class TSoundOutput {
public:
    virtual ~TSoundOutput() = default;
    virtual void Prepare() {}
    virtual void Play(const QString& name, const TWaveSound& sound) = 0;
    virtual void Stop() = 0;
};

// Plays through Qt Multimedia on the default sound device, from a thread of
// its own so that opening the device never holds up the game. Prepare starts
// that thread; an effect starts a stream, which carries the current effect and
// then silence: every effect reaches the device whole and followed by silence
// (Qt's players drop about the last 100 ms they are given, and the shortest
// effect lasts 61 ms), and a new effect takes the place of the playing one at
// once. IdleMs after the last effect has ended the stream stops, so that
// nothing runs while nothing plays. An effect that starts the stream begins
// with LeadInMs of silence, which the device may swallow while it starts.
class TQtSoundOutput : public TSoundOutput {
public:
    static constexpr int DeviceRate = 44100; // 16-bit mono
    static constexpr int BufferMs = 80;
    static constexpr int LeadInMs = 60;
    static constexpr int IdleMs = 1500;

    TQtSoundOutput();
    ~TQtSoundOutput() override;
    void Prepare() override;
    void Play(const QString& name, const TWaveSound& sound) override;
    void Stop() override;

    // A sound in the stream's format: 16-bit signed mono at DeviceRate,
    // linearly interpolated from the first channel; empty for a format that
    // is not 8- or 16-bit PCM.
    static QByteArray DeviceSamples(const TWaveSound& sound);

private:
    bool StartThread();

    std::unique_ptr<QThread> FThread;
    std::unique_ptr<TSoundStreamWorker> FWorker; // lives in FThread
    std::map<QString, QByteArray> FConverted;
    bool FNoDevice = false;
};
