#include "gfx/Wiper.h"

#include "GfxTestSupport.h"
#include "foundation/Random.h"
#include "gfx/brenmarUtils.h"

#include <gtest/gtest.h>
#include <vector>

using namespace GfxTest;

namespace {

constexpr QRgb Before = 0xFF102030;

class WiperTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        ClearBoth();
    }
    void TearDown() override { ClearBoth(); }

    // A wiper revealing a w x h gradient onto a target that shows `Before`,
    // at (offset, offset) of a target larger by 2 x offset.
    void Prepare(TWipeType type, int block, int frames, int w, int h, int offset = 0) {
        Picture = Gradient(w, h, 3);
        Target = Solid(w + 2 * offset, h + 2 * offset, Before);
        Wiper.SetWipeType(type);
        Wiper.SetBlockSize(block);
        Wiper.SetFrameCount(frames);
        Wiper.SetTargetCanvas(&Target, [this](const QRect& r) { Marked |= r; });
        Wiper.SetTargetRect(offset, offset, w, h);
        Offset = offset;
    }
    int Uncovered() const {
        return Differences(Target.copy(Offset, Offset, Picture.width(), Picture.height()), Picture,
                           Picture.rect());
    }
    int Steps() {
        int steps = 0;
        while (Wiper.Running() && steps < 10000) {
            Wiper.Step();
            ++steps;
        }
        return steps;
    }

    QImage Picture;
    QImage Target;
    TWiper Wiper;
    QRect Marked;
    int Offset = 0;
};

struct Covering {
    TWipeType Type;
    int Block;
    int Frames;
    int Width;
    int Height;
};

} // namespace

TEST_F(WiperTest, EveryCoveringPatternRevealsThePictureInExactlyFrameCountSteps) {
    const std::vector<Covering> cases = {
        {wtPlait, 40, 20, 160, 320}, {wtBlinds, 32, 16, 192, 416}, {wtMosaic, 2, 36, 90, 64},
        {wtRow, 16, 8, 100, 30},     {wtFence, 2, 20, 160, 40},    {wtFence, 2, 20, 192, 30},
        {wtFence, 4, 20, 30, 10},    {wtZoomIn, 16, 8, 64, 48},    {wtTriangle, 16, 12, 70, 50},
        {wtMask, 16, 7, 50, 61},
    };
    for (const Covering& c : cases) {
        SCOPED_TRACE(testing::Message() << "wipe type " << c.Type);
        Prepare(c.Type, c.Block, c.Frames, c.Width, c.Height, 3);
        const QImage outside = Target;
        Wiper.Start(0, 0, &Picture);
        ASSERT_TRUE(Wiper.Running());
        for (int i = 0; i < c.Frames - 1; ++i)
            Wiper.Step();
        EXPECT_TRUE(Wiper.Running());
        EXPECT_GT(Uncovered(), 0) << "complete before the last step";
        Wiper.Step();
        EXPECT_FALSE(Wiper.Running());
        EXPECT_EQ(Uncovered(), 0);
        // Nothing outside the wiped area is touched.
        QImage frame = Target;
        FillRectColor(frame, QRect(3, 3, c.Width, c.Height), QColor(Before));
        EXPECT_EQ(Differences(frame, outside, frame.rect()), 0);
        EXPECT_TRUE(Marked.contains(QRect(3, 3, c.Width, c.Height)));
    }
}

TEST_F(WiperTest, BlindsStepsOpenOneStripAboveAndBelowEachBandMiddle) {
    Prepare(wtBlinds, 32, 16, 192, 416);
    Wiper.Start(0, 0, &Picture);
    Wiper.Step();
    // 13 bands, one row on each side of each middle line: rows 15 and 16, 47 and 48, ...
    EXPECT_EQ(Uncovered(), 192 * 416 - 13 * 2 * 192);
    for (int k = 0; k < 13; ++k) {
        EXPECT_EQ(Target.pixel(5, 32 * k + 15), Picture.pixel(5, 32 * k + 15));
        EXPECT_EQ(Target.pixel(5, 32 * k + 16), Picture.pixel(5, 32 * k + 16));
        EXPECT_EQ(Target.pixel(5, 32 * k + 17), Before);
    }
}

TEST_F(WiperTest, PlaitWidensHorizontalAndVerticalLinesTogether) {
    Prepare(wtPlait, 40, 20, 160, 320);
    Wiper.Start(0, 0, &Picture);
    Wiper.Step();
    EXPECT_EQ(Target.pixel(19, 200), Picture.pixel(19, 200)); // vertical line pair at x 19, 20
    EXPECT_EQ(Target.pixel(100, 60), Picture.pixel(100, 60)); // horizontal pair at y 59, 60
    EXPECT_EQ(Target.pixel(18, 200), Before);
    Wiper.Step();
    EXPECT_EQ(Target.pixel(18, 200), Picture.pixel(18, 200));
    EXPECT_EQ(Target.pixel(21, 200), Picture.pixel(21, 200));
}

TEST_F(WiperTest, InterruptCopiesTheRestAtOnceAndEndsOnThatStep) {
    ArmSkip();
    Prepare(wtPlait, 40, 20, 160, 320);
    Wiper.Start(0, 0, &Picture);
    Wiper.Step();
    Wiper.Step();
    ASSERT_GT(Uncovered(), 0);
    RequestSkip();
    Wiper.Step();
    EXPECT_FALSE(Wiper.Running());
    EXPECT_EQ(Uncovered(), 0);
    EXPECT_FALSE(TWiper::AnyWipeRunning());
}

TEST_F(WiperTest, SmallerPictureLimitsTheWipedArea) {
    Prepare(wtBlinds, 32, 16, 100, 100);
    const QImage small = Gradient(50, 40, 9);
    Wiper.Start(0, 0, &small);
    Steps();
    EXPECT_EQ(Differences(Target.copy(0, 0, 50, 40), small, small.rect()), 0);
    EXPECT_EQ(Target.pixel(50, 10), Before);
    EXPECT_EQ(Target.pixel(10, 40), Before);
}

TEST_F(WiperTest, MosaicWithMoreFramesThanBlocksRevealsOneBlockPerStepThenRunsEmpty) {
    Prepare(wtMosaic, 8, 10, 16, 16);
    Wiper.Start(0, 0, &Picture);
    std::vector<int> uncovered;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(Wiper.Running()) << "ended early at step " << i;
        Wiper.Step();
        uncovered.push_back(Uncovered());
    }
    EXPECT_FALSE(Wiper.Running());
    EXPECT_EQ(uncovered, (std::vector<int>{192, 128, 64, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(WiperTest, MosaicOrderIsTheRandomInsertionOrderOfTheProgramGenerator) {
    // 5 columns by 3 rows of 4 x 4 blocks, one block per step.
    SetRandSeed(12345);
    RandomGenerator reference(12345);
    std::vector<QPoint> expected;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 3; ++j) {
            const auto at = reference.Next(static_cast<uint32_t>(expected.size()));
            expected.insert(expected.begin() + at, QPoint(i, j));
        }
    Prepare(wtMosaic, 4, 15, 20, 12);
    Wiper.Start(0, 0, &Picture);
    EXPECT_EQ(RandSeed(), reference.Seed());
    for (const QPoint& block : expected) {
        const QImage before = Target;
        Wiper.Step();
        const QRect r(block.x() * 4, block.y() * 4, 4, 4);
        EXPECT_EQ(Differences(Target, before, Target.rect()), 16);
        EXPECT_EQ(Differences(Target, Picture, r), 0) << "block " << block.x() << "," << block.y();
    }
}

TEST_F(WiperTest, ZoomInGrowsFromTheCentreOverWhatWasShown) {
    Prepare(wtZoomIn, 16, 4, 40, 40);
    Wiper.Start(0, 0, &Picture);
    Wiper.Step();
    // A quarter-size picture in the middle, the old content around it.
    EXPECT_EQ(Target.pixel(0, 0), Before);
    EXPECT_EQ(Target.pixel(14, 14), Before);
    EXPECT_EQ(Target.pixel(15, 15), Picture.pixel(0, 0));
    EXPECT_EQ(Target.pixel(24, 24), Picture.pixel(36, 36));
}

TEST_F(WiperTest, RunningCountCoversAllWipersAndSurvivesARestart) {
    Prepare(wtBlinds, 32, 16, 64, 64);
    TWiper other;
    QImage otherTarget = Solid(64, 64, Before);
    other.SetWipeType(wtRow);
    other.SetTargetCanvas(&otherTarget, nullptr);
    other.SetTargetRect(0, 0, 64, 64);
    Wiper.Start(0, 0, &Picture);
    Wiper.Start(0, 0, &Picture);
    other.Start(0, 0, &Picture);
    EXPECT_TRUE(TWiper::AnyWipeRunning());
    Steps();
    EXPECT_TRUE(TWiper::AnyWipeRunning());
    while (other.Running())
        other.Step();
    EXPECT_FALSE(TWiper::AnyWipeRunning());
}

TEST_F(WiperTest, DegenerateSettingsNeitherCrashNorRunForEver) {
    for (const TWipeType type :
         {wtBlinds, wtPlait, wtMosaic, wtRow, wtFence, wtZoomIn, wtTriangle}) {
        Prepare(type, 0, 0, 30, 20);
        Wiper.Start(0, 0, &Picture);
        EXPECT_EQ(Steps(), 1);
        Prepare(type, -5, 3, 30, 20);
        Wiper.Start(0, 0, &Picture);
        EXPECT_EQ(Steps(), 3);
    }
    EXPECT_FALSE(TWiper::AnyWipeRunning());
}
