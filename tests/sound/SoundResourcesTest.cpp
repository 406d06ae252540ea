#include "resources/Resources_KX.h"
#include "sound/SoundOutput.h"
#include "sound/WaveSound.h"
#include "support/TestEnvironment.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
const struct {
    const char* Name;
    int Rate;
    int Bytes;
} sounds[] = {{"FLIP", 8000, 532},
              {"FLIP4", 22050, 11684},
              {"FLIP3", 22050, 5872},
              {"FLIP2", 22050, 1956},
              {"FLIP1", 11025, 5226}};

TEST(SoundResources, AreEightBitMonoPcmWavesOfTheirRatesAndSizes) {
    TestEnvironment::Reset();
    EXPECT_EQ(ResourceSoundNames().size(), 5);
    for (const auto& s : sounds) {
        const QByteArray file = ResourceSoundData(QLatin1String(s.Name));
        EXPECT_EQ(file.size(), s.Bytes) << s.Name;
        const auto wave = ParseWave(file);
        ASSERT_TRUE(wave) << s.Name;
        EXPECT_EQ(wave->FormatTag, 1) << s.Name;
        EXPECT_EQ(wave->Channels, 1) << s.Name;
        EXPECT_EQ(wave->BitsPerSample, 8) << s.Name;
        EXPECT_EQ(wave->SampleRate, s.Rate) << s.Name;
        EXPECT_EQ(wave->Samples.size(), s.Bytes - 44) << s.Name;
        EXPECT_EQ(qFromLittleEndian<uint32_t>(file.constData() + 4), uint32_t(s.Bytes - 8))
            << s.Name;
    }
}

TEST(SoundResources, AreAudibleAndStartAndEndInSilence) {
    for (const auto& s : sounds) {
        const auto wave = ParseWave(ResourceSoundData(QLatin1String(s.Name)));
        ASSERT_TRUE(wave) << s.Name;
        const QByteArray& d = wave->Samples;
        int peak = 0;
        for (char c : d)
            peak = std::max(peak, std::abs(static_cast<unsigned char>(c) - 128));
        EXPECT_GT(peak, 60) << s.Name;
        // No click: the first and last samples sit at the middle value.
        EXPECT_LE(std::abs(static_cast<unsigned char>(d.front()) - 128), 2) << s.Name;
        EXPECT_LE(std::abs(static_cast<unsigned char>(d.back()) - 128), 2) << s.Name;
    }
    const auto flip = ParseWave(ResourceSoundData(QStringLiteral("flip")));
    ASSERT_TRUE(flip);
    EXPECT_NEAR(flip->DurationMs(), 61, 1);
}

QByteArray MakeWave(int rate, int bits, const QByteArray& samples, bool oddChunk = false) {
    QByteArray f("RIFF");
    auto put32 = [&](uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        f.append(b, 4);
    };
    auto put16 = [&](uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        f.append(b, 2);
    };
    put32(0);
    f.append("WAVE");
    if (oddChunk) {
        f.append("LIST");
        put32(3);
        f.append("abc");
        f.append('\0'); // pad byte of the odd-sized chunk
    }
    f.append("fmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(uint32_t(rate));
    put32(uint32_t(rate * bits / 8));
    put16(uint16_t(bits / 8));
    put16(uint16_t(bits));
    f.append("data");
    put32(uint32_t(samples.size()));
    f.append(samples);
    return f;
}

TEST(WaveFiles, AreReadChunkByChunk) {
    const QByteArray samples(100, char(0x80));
    auto plain = ParseWave(MakeWave(8000, 8, samples));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Samples, samples);
    auto padded = ParseWave(MakeWave(11025, 8, samples, true));
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->SampleRate, 11025);
    EXPECT_EQ(padded->Samples, samples);
}

TEST(WaveFiles, DamagedFilesAreRefused) {
    const QByteArray good = MakeWave(8000, 8, QByteArray(100, char(0x80)));
    EXPECT_FALSE(ParseWave(QByteArray()));
    EXPECT_FALSE(ParseWave(good.left(30)));              // no data chunk
    EXPECT_FALSE(ParseWave(good.left(good.size() - 1))); // data cut short
    QByteArray wrong = good;
    wrong.replace(8, 4, "AVIX");
    EXPECT_FALSE(ParseWave(wrong));
    QByteArray huge = good;
    qToLittleEndian(uint32_t(0xfffffff0), huge.data() + 16); // fmt chunk beyond the end
    EXPECT_FALSE(ParseWave(huge));
    QByteArray noRate = good;
    qToLittleEndian(uint32_t(0), noRate.data() + 24);
    EXPECT_FALSE(ParseWave(noRate));
}

TEST(DeviceSamples, KeepTheLengthAndTheLoudnessOfTheSound) {
    for (const auto& s : sounds) {
        const auto wave = ParseWave(ResourceSoundData(QLatin1String(s.Name)));
        ASSERT_TRUE(wave);
        const QByteArray out = TQtSoundOutput::DeviceSamples(*wave);
        const double ms = 1000.0 * double(out.size() / 2) / TQtSoundOutput::DeviceRate;
        EXPECT_NEAR(ms, wave->DurationMs(), 0.1) << s.Name;
    }
    // 8-bit silence is 0, the extremes stay the extremes.
    TWaveSound square{1, 1, 8000, 8, QByteArray("\x80\x80\xff\xff\x00\x00\x80\x80", 8)};
    const QByteArray out = TQtSoundOutput::DeviceSamples(square);
    auto sample = [&](qsizetype i) { return qFromLittleEndian<int16_t>(out.constData() + 2 * i); };
    EXPECT_EQ(sample(0), 0);
    int high = 0, low = 0;
    for (qsizetype i = 0; i < out.size() / 2; ++i) {
        high = std::max<int>(high, sample(i));
        low = std::min<int>(low, sample(i));
    }
    EXPECT_EQ(high, 127 * 256);
    EXPECT_EQ(low, -128 * 256);
    EXPECT_EQ(sample(out.size() / 2 - 1), 0);
    EXPECT_TRUE(
        TQtSoundOutput::DeviceSamples(TWaveSound{3, 1, 8000, 32, QByteArray(8, 'x')}).isEmpty());
}
} // namespace
