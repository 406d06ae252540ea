#pragma once

#include <QByteArray>
#include <optional>

// A RIFF WAVE file taken apart: its PCM format and its sample bytes.
struct TWaveSound {
    int FormatTag = 0; // 1 is PCM
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    QByteArray Samples;

    // Milliseconds of sound in Samples.
    double DurationMs() const;
};

// Reads the "fmt " and "data" chunks of a RIFF WAVE file; nothing when the
// data is not a WAVE file, is cut short or names an impossible format.
std::optional<TWaveSound> ParseWave(const QByteArray& file);
