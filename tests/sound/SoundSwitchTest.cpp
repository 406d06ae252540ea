#include "sound/SoundOutput.h"
#include "sound/Sound_KX.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
struct Request {
    QString Name;
    int Rate;
};

class TRecordingOutput : public TSoundOutput {
public:
    explicit TRecordingOutput(std::vector<Request>& log) : FLog(log) {}
    void Play(const QString& name, const TWaveSound& sound) override {
        FLog.push_back({name, sound.SampleRate});
    }
    void Stop() override { ++Stops; }
    int Stops = 0;

private:
    std::vector<Request>& FLog;
};

// Collects what the code under test writes to standard error.
class StderrCapture {
public:
    StderrCapture() {
        FFile.open();
        std::fflush(stderr);
        FSaved = dup(2);
        dup2(FFile.handle(), 2);
    }
    QString Finish() {
        std::fflush(stderr);
        dup2(FSaved, 2);
        close(FSaved);
        QFile f(FFile.fileName());
        f.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(f.readAll());
    }

private:
    QTemporaryFile FFile;
    int FSaved = -1;
};

class SoundSwitch : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        auto output = std::make_unique<TRecordingOutput>(Log);
        Output = output.get();
        InstallSoundOutput(std::move(output));
        EnableSounds();
    }
    void TearDown() override {
        InstallSoundOutput(nullptr);
        EnableSounds();
    }
    std::vector<Request> Log;
    TRecordingOutput* Output = nullptr;
};

TEST_F(SoundSwitch, EachEventPlaysItsOwnSound) {
    PlayFlip();
    PlayFlipBlocked();
    PlayBrickStops();
    PlayBrickFixed();
    PlayAreaImpact();
    ASSERT_EQ(Log.size(), 5u);
    const QString names[] = {"FLIP", "FLIP4", "FLIP3", "FLIP2", "FLIP1"};
    const int rates[] = {8000, 22050, 22050, 22050, 11025};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Log[i].Name, names[i]);
        EXPECT_EQ(Log[i].Rate, rates[i]);
    }
}

TEST_F(SoundSwitch, NamesAreMatchedWithoutRegardToCase) {
    PlaySoundResource(QStringLiteral("fLiP3"));
    PlaySoundResource(QStringLiteral("flip"));
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[0].Name, QStringLiteral("FLIP3"));
    EXPECT_EQ(Log[1].Name, QStringLiteral("FLIP"));
}

TEST_F(SoundSwitch, WhileOffNothingIsRequestedAtAll) {
    DisableSounds();
    EXPECT_FALSE(SoundOn());
    EXPECT_EQ(Output->Stops, 1); // the device is let go
    PlayFlip();
    PlayFlipBlocked();
    PlayBrickStops();
    PlayBrickFixed();
    PlayAreaImpact();
    StderrCapture capture;
    PlaySoundResource(QStringLiteral("NoSuchSound"));
    EXPECT_TRUE(capture.Finish().isEmpty());
    EXPECT_TRUE(Log.empty());
    EnableSounds();
    EXPECT_TRUE(SoundOn());
    PlayFlip();
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(SoundSwitch, EffectsAreHandedOnAtOnceAndNeverQueued) {
    // The output cuts off the playing effect; nothing waits for it to end.
    for (int i = 0; i < 50; ++i)
        PlayBrickFixed();
    EXPECT_EQ(Log.size(), 50u);
}

TEST_F(SoundSwitch, AMissingSoundIsReportedOnceAndPlaysNothing) {
    StderrCapture capture;
    for (int i = 0; i < 5; ++i)
        PlaySoundResource(QStringLiteral("NoSuchSound"));
    PlaySoundResource(QString());
    const QString said = capture.Finish();
    EXPECT_TRUE(Log.empty());
    EXPECT_LE(said.count(QLatin1Char('\n')), 1) << qPrintable(said);
    PlayFlip();
    EXPECT_EQ(Log.size(), 1u);
}

// The tests run without a sound server: the real player must shrug it off.
TEST(SoundDevice, NoDeviceNeverBlocksAndSaysAtMostOneLine) {
    TestEnvironment::Reset();
    InstallSoundOutput(nullptr);
    StderrCapture capture;
    QElapsedTimer timer;
    timer.start();
    EnableSounds();
    for (int i = 0; i < 20; ++i) {
        PlayFlip();
        PlayAreaImpact();
        PlayFlipBlocked();
    }
    DisableSounds();
    EnableSounds();
    PlayBrickStops();
    const qint64 took = timer.elapsed();
    InstallSoundOutput(nullptr);
    const QString said = capture.Finish();
    EXPECT_LT(took, 2000);
    EXPECT_LE(said.count(QLatin1Char('\n')), 1) << qPrintable(said);
}
} // namespace
