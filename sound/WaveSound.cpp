#include "sound/WaveSound.h"

#include <QtEndian>

namespace {
uint32_t Read32(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<uint32_t>(d.constData() + at);
}
uint16_t Read16(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<uint16_t>(d.constData() + at);
}
} // namespace

double TWaveSound::DurationMs() const {
    const int frameBytes = Channels * ((BitsPerSample + 7) / 8);
    if (SampleRate <= 0 || frameBytes <= 0) return 0;
    return 1000.0 * static_cast<double>(Samples.size() / frameBytes) / SampleRate;
}

std::optional<TWaveSound> ParseWave(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    TWaveSound sound;
    bool haveFormat = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = Read32(file, at + 4);
        const qsizetype body = at + 8;
        if (size > file.size() - body) return std::nullopt;
        if (id == "fmt ") {
            if (size < 16) return std::nullopt;
            sound.FormatTag = Read16(file, body);
            sound.Channels = Read16(file, body + 2);
            sound.SampleRate = static_cast<int>(Read32(file, body + 4));
            sound.BitsPerSample = Read16(file, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            sound.Samples = file.mid(body, size);
            haveData = true;
        }
        at = body + size + (size & 1); // chunks are padded to an even size
    }
    // A rate below what any sound card plays would grow without bound when
    // converted to the device's rate (one second of 1 Hz is 44 100 samples).
    constexpr int LowestRate = 4000, HighestRate = 384000;
    if (!haveFormat || !haveData || sound.Channels < 1 || sound.SampleRate < LowestRate ||
        sound.SampleRate > HighestRate || sound.BitsPerSample < 1)
        return std::nullopt;
    return sound;
}
