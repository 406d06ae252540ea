#include "sound/SoundOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {
constexpr int BytesPerMs = TQtSoundOutput::DeviceRate * 2 / 1000;

// The endless source of the open stream: the current effect, then silence.
class TEffectStream : public QIODevice {
public:
    void Start(const QByteArray& samples, int leadInBytes) {
        FSamples = QByteArray(leadInBytes, '\0') + samples;
        FPos = 0;
    }
    void Clear() {
        FSamples.clear();
        FPos = 0;
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        maxSize &= ~qint64(1); // whole 16-bit samples
        const qint64 fromEffect = std::clamp<qint64>(FSamples.size() - FPos, 0, maxSize);
        std::memcpy(data, FSamples.constData() + FPos, static_cast<size_t>(fromEffect));
        std::memset(data + fromEffect, 0, static_cast<size_t>(maxSize - fromEffect));
        FPos += fromEffect;
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray FSamples;
    qint64 FPos = 0;
};
} // namespace

// Everything that touches the device. Its operations run on the output's own
// thread only, so the sink and its source are made there and belong to it.
class TSoundStreamWorker : public QObject {
public:
    explicit TSoundStreamWorker(const QAudioDevice& device) : FDevice(device) {}

    // Starting or stopping the sink may handle this thread's events, and so
    // run the next request inside the current one: such a request waits
    // until the current one is done (only the newest waits).
    void Open(const QByteArray& samples) { Request({Order::Play, samples}); }
    void Close() { Request({Order::Close, {}}); }

private:
    struct Order {
        enum Kind { Play, Close } What;
        QByteArray Samples;
    };

    void Request(Order order) {
        FPending = std::move(order);
        if (FBusy) return;
        FBusy = true;
        while (FPending) {
            const Order next = std::move(*FPending);
            FPending.reset();
            switch (next.What) {
            case Order::Play: DoPlay(next.Samples); break;
            case Order::Close: DoClose(); break;
            }
        }
        FBusy = false;
    }

    // A sink runs only while there is something to play; each start has a new one.
    void DoPlay(const QByteArray& samples) {
        if (!FIdle) {
            FIdle = new QTimer(this);
            FIdle->setSingleShot(true);
            connect(FIdle, &QTimer::timeout, this, [this] { Request({Order::Close, {}}); });
        }
        // The stream ends once the effect and IdleMs of silence after it have been played.
        const qint64 ms = samples.size() / BytesPerMs + TQtSoundOutput::LeadInMs;
        FIdle->start(static_cast<int>(ms + TQtSoundOutput::IdleMs));
        if (FSink) {
            FStream->Start(samples, 0);
            return;
        }
        QAudioFormat format;
        format.setSampleRate(TQtSoundOutput::DeviceRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        FStream = std::make_unique<TEffectStream>();
        FSink = std::make_unique<QAudioSink>(FDevice, format);
        FSink->setBufferSize(TQtSoundOutput::BufferMs * BytesPerMs);
        FStream->Start(samples, TQtSoundOutput::LeadInMs * BytesPerMs);
        FStream->open(QIODevice::ReadOnly);
        FSink->start(FStream.get());
        if (FSink->error() != QAudio::NoError) Complain();
    }

    // Nothing has played for a while (or the sounds are off): the stream stops, so that no
    // thread keeps feeding silence.
    void DoClose() {
        if (FIdle) FIdle->stop();
        if (FSink) FSink->stop();
        FSink.reset();
        FStream.reset();
    }

    static void Complain() {
        static bool said = false; // one line for the whole run
        if (said) return;
        said = true;
        std::fprintf(stderr,
                     "Kolvex: the sound device refused to play; the sound effects stay silent\n");
    }

    QAudioDevice FDevice;
    std::unique_ptr<TEffectStream> FStream;
    std::unique_ptr<QAudioSink> FSink;
    QTimer* FIdle = nullptr; // a child, made on this thread
    std::optional<Order> FPending;
    bool FBusy = false;
};

TQtSoundOutput::TQtSoundOutput() = default;

TQtSoundOutput::~TQtSoundOutput() {
    if (!FThread) return;
    TSoundStreamWorker* worker = FWorker.get();
    QMetaObject::invokeMethod(
        worker, [worker] { worker->Close(); }, Qt::BlockingQueuedConnection);
    FThread->quit();
    FThread->wait();
    // The thread has ended and the worker holds nothing of the device any more.
    FWorker.reset();
}

QByteArray TQtSoundOutput::DeviceSamples(const TWaveSound& sound) {
    if (sound.FormatTag != 1 || (sound.BitsPerSample != 8 && sound.BitsPerSample != 16) ||
        sound.Channels < 1 || sound.SampleRate < 1)
        return {};
    const int width = sound.BitsPerSample / 8, frame = width * sound.Channels;
    const qsizetype frames = sound.Samples.size() / frame;
    if (frames == 0) return {};
    auto at = [&](qsizetype i) -> double {
        const char* p = sound.Samples.constData() + i * frame; // the first channel
        return width == 1 ? (static_cast<unsigned char>(*p) - 128) * 256.0
                          : qFromLittleEndian<int16_t>(p);
    };
    const qsizetype out = frames * DeviceRate / sound.SampleRate;
    QByteArray data(out * 2, '\0');
    for (qsizetype i = 0; i < out; ++i) {
        const double pos = static_cast<double>(i) * sound.SampleRate / DeviceRate;
        const auto k = static_cast<qsizetype>(pos);
        const double t = pos - static_cast<double>(k);
        const double v = k + 1 < frames ? at(k) * (1 - t) + at(k + 1) * t : at(k);
        qToLittleEndian(static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0)),
                        data.data() + i * 2);
    }
    return data;
}

bool TQtSoundOutput::StartThread() {
    if (FThread) return true;
    if (FNoDevice) return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        // Qt has said so on a line of its own; there is nothing to play on.
        FNoDevice = true;
        return false;
    }
    FThread = std::make_unique<QThread>();
    FThread->setObjectName(QStringLiteral("Kolvex sound"));
    FWorker = std::make_unique<TSoundStreamWorker>(device);
    FWorker->moveToThread(FThread.get());
    FThread->start();
    return true;
}

void TQtSoundOutput::Prepare() {
    StartThread();
}

void TQtSoundOutput::Play(const QString& name, const TWaveSound& sound) {
    if (FNoDevice) return;
    auto it = FConverted.find(name);
    if (it == FConverted.end()) it = FConverted.emplace(name, DeviceSamples(sound)).first;
    if (it->second.isEmpty() || !StartThread()) return;
    TSoundStreamWorker* worker = FWorker.get();
    QMetaObject::invokeMethod(
        worker, [worker, samples = it->second] { worker->Open(samples); }, Qt::QueuedConnection);
}

void TQtSoundOutput::Stop() {
    if (!FThread) return;
    TSoundStreamWorker* worker = FWorker.get();
    QMetaObject::invokeMethod(
        worker, [worker] { worker->Close(); }, Qt::QueuedConnection);
}
