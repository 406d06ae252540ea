#include "Art.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace art {

namespace {
constexpr double Pi = 3.14159265358979323846;

void Append32(QByteArray& out, uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void Append16(QByteArray& out, uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

// RIFF WAVE, PCM, mono, 8 bits unsigned; the header is 44 bytes.
QByteArray Wave(int rate, const std::vector<double>& samples) {
    QByteArray out;
    const auto n = static_cast<uint32_t>(samples.size());
    out.append("RIFF", 4);
    Append32(out, 36 + n);
    out.append("WAVEfmt ", 8);
    Append32(out, 16);
    Append16(out, 1);
    Append16(out, 1);
    Append32(out, static_cast<uint32_t>(rate));
    Append32(out, static_cast<uint32_t>(rate));
    Append16(out, 1);
    Append16(out, 8);
    out.append("data", 4);
    Append32(out, n);
    for (double v : samples)
        out.append(
            static_cast<char>(std::clamp(static_cast<int>(std::lround(128 + 120 * v)), 1, 255)));
    return out;
}

// Synthesises count samples at rate: voice(t) with a short fade at both ends.
std::vector<double> Render(int rate, int count, const std::function<double(double)>& voice) {
    std::vector<double> s(static_cast<size_t>(count));
    const double fade = 0.004;
    const double length = double(count) / rate;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double edge = std::min({1.0, t / fade, (length - t) / fade});
        s[static_cast<size_t>(i)] = voice(t) * std::max(0.0, edge);
    }
    return s;
}

// White noise through a one-pole low pass, repeatable.
struct Noise {
    uint32_t State;
    double Low = 0;
    double Next(double smoothing) {
        State = State * 1664525u + 1013904223u;
        const double white = (State >> 8) / 8388608.0 - 1.0;
        Low += smoothing * (white - Low);
        return Low;
    }
};

double Square(double phase, int harmonics) {
    double v = 0;
    for (int k = 1; k <= 2 * harmonics - 1; k += 2)
        v += std::sin(phase * k) / k;
    return v * 4 / Pi;
}
} // namespace

std::map<QString, QByteArray> Sounds() {
    std::map<QString, QByteArray> sounds;
    // The brick turns: a quick rising blip.
    sounds[QStringLiteral("FLIP")] =
        Wave(8000, Render(8000, 488, [](double t) {
                 const double phase = 2 * Pi * (700 * t + 0.5 * 11500 * t * t);
                 const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.022);
                 return 0.8 * env * (std::sin(phase) + 0.25 * std::sin(2 * phase));
             }));
    // The turn is refused: a low double grumble.
    sounds[QStringLiteral("FLIP4")] =
        Wave(22050, Render(22050, 11640, [](double t) {
                 auto tone = [](double local, double f, double len) {
                     if (local < 0 || local > len) return 0.0;
                     const double env =
                         std::min(1.0, local / 0.01) * std::min(1.0, (len - local) / 0.04);
                     return env * (0.6 * Square(2 * Pi * f * local, 5) +
                                   0.4 * Square(2 * Pi * f * 1.012 * local, 3));
                 };
                 return 0.5 * (tone(t, 196, 0.18) + tone(t - 0.24, 147, 0.27));
             }));
    // The brick touches down: a soft knock.
    {
        Noise n{3};
        sounds[QStringLiteral("FLIP3")] =
            Wave(22050, Render(22050, 5828, [n](double t) mutable {
                     // The pitch falls from 220 Hz to 90 Hz as the knock dies.
                     const double phase =
                         2 * Pi * (90 * t + 130 * 0.03 * (1 - std::exp(-t / 0.03)));
                     const double body = std::exp(-t / 0.06) * std::sin(phase);
                     const double click = std::exp(-t / 0.006) * n.Next(0.35);
                     return 0.85 * body + 0.6 * click;
                 }));
    }
    // The brick is fixed in place: a dry clack.
    {
        Noise n{5};
        sounds[QStringLiteral("FLIP2")] =
            Wave(22050, Render(22050, 1912, [n](double t) mutable {
                     const double env = std::exp(-t / 0.016);
                     const double tone =
                         0.6 * std::sin(2 * Pi * 1250 * t) + 0.4 * std::sin(2 * Pi * 1870 * t);
                     return 0.75 * env * tone + 0.5 * std::exp(-t / 0.004) * n.Next(0.8);
                 }));
    }
    // A falling area lands: a heavy thud with a rumble.
    {
        Noise n{9};
        sounds[QStringLiteral("FLIP1")] =
            Wave(11025, Render(11025, 5182, [n](double t) mutable {
                     const double phase = 2 * Pi * (45 * t + 30 * 0.08 * (1 - std::exp(-t / 0.08)));
                     const double boom = std::exp(-t / 0.15) * std::sin(phase);
                     const double rumble = std::exp(-t / 0.09) * n.Next(0.08) * 3.0;
                     const double crack = std::exp(-t / 0.005) * n.Next(0.9);
                     return std::clamp(0.7 * boom + 0.45 * rumble + 0.3 * crack, -1.0, 1.0);
                 }));
    }
    return sounds;
}

} // namespace art
