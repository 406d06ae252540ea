#include "gfx/Sprite.h"

#include "GfxTestSupport.h"
#include "gfx/SImage.h"
#include "gfx/brenmarUtils.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <vector>

using namespace GfxTest;

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

class SpriteTest : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }

    static TSprite* MakeSprite(QWidget* panel, const QImage& picture, int left, int top,
                               int frames = 1) {
        auto* sprite = new TSprite(panel);
        sprite->SetPicture(picture);
        sprite->SetBounds(left, top, picture.width() / frames, picture.height());
        sprite->Animation().SetFrameCount(frames);
        sprite->Animation().SetCurrentFrame(0);
        sprite->Animation().SetDelay(-1);
        return sprite;
    }
    // A strip of `frames` frames of w x h, frame i filled with colour 10 * (i + 1).
    static QImage Strip(int frames, int w, int h) {
        QImage image(w * frames, h, QImage::Format_RGB32);
        for (int i = 0; i < frames; ++i)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    image.setPixel(i * w + x, y, qRgb(10 * (i + 1), 0, 0));
        return image;
    }
    static int ShownFrame(const TGfxPanel& panel, const TSprite& sprite) {
        const QRect r = sprite.ComposedRect();
        return qRed(panel.Picture().pixel(r.x(), r.y())) / 10 - 1;
    }
};

} // namespace

TEST_F(SpriteTest, AMovingSpriteIsErasedFromTheBackgroundCopyAndRedrawnWhereItMoved) {
    const QImage background = Gradient(60, 40);
    ShownPanel shown(background);
    TSprite* sprite = MakeSprite(&shown.Panel, Solid(8, 6, Red), 10, 10);
    sprite->SetHoriSpeed(3);
    sprite->SetVertSpeed(1);
    shown.RunFrames(1);
    EXPECT_EQ(sprite->ComposedRect(), QRect(13, 11, 8, 6));
    shown.RunFrames(1);
    const QImage& picture = shown.Panel.Picture();
    EXPECT_EQ(sprite->ComposedRect(), QRect(16, 12, 8, 6));
    EXPECT_EQ(Differences(picture, Solid(60, 40, Red), QRect(16, 12, 8, 6)), 0);
    QImage expected = background;
    FillRectColor(expected, QRect(16, 12, 8, 6), QColor(Red));
    EXPECT_EQ(Differences(picture, expected, picture.rect()), 0);
}

TEST_F(SpriteTest, MaskedDrawAndsTheMaskThenOrsThePicture) {
    const QImage background = Solid(20, 20, 0xFF304050);
    ShownPanel shown(background);
    // Left half opaque red, right half transparent; one stray non-black pixel in the transparent
    // part.
    QImage picture = Solid(8, 8, 0xFF000000);
    QImage mask = Solid(8, 8, 0xFFFFFFFF);
    FillRectColor(picture, QRect(0, 0, 4, 8), QColor(Red));
    FillRectColor(mask, QRect(0, 0, 4, 8), Qt::black);
    picture.setPixel(6, 6, 0xFF0F0F0F);
    TSprite* sprite = MakeSprite(&shown.Panel, picture, 5, 5);
    sprite->SetMask(mask);
    EXPECT_TRUE(sprite->Transparent());
    shown.RunFrames(1);
    const QImage& out = shown.Panel.Picture();
    EXPECT_EQ(out.pixel(5, 5), Red);
    EXPECT_EQ(out.pixel(8, 12), Red);
    EXPECT_EQ(out.pixel(9, 5), 0xFF304050u);
    EXPECT_EQ(out.pixel(11, 11), 0xFF304050u | 0xFF0F0F0Fu);
}

TEST_F(SpriteTest, TransparentWithoutMaskDerivesOneFromBlackPixels) {
    ShownPanel shown(Solid(20, 20, 0xFF204060));
    QImage picture = Solid(6, 6, 0xFF000000);
    FillRectColor(picture, QRect(0, 0, 3, 6), QColor(Blue));
    TSprite* sprite = MakeSprite(&shown.Panel, picture, 2, 2);
    sprite->SetTransparent(true);
    EXPECT_EQ(sprite->Mask().pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(sprite->Mask().pixel(5, 0), 0xFFFFFFFFu);
    shown.RunFrames(1);
    EXPECT_EQ(shown.Panel.Picture().pixel(2, 2), Blue);
    EXPECT_EQ(shown.Panel.Picture().pixel(6, 2), 0xFF204060u);

    // Transparent set before any picture: the mask comes with the picture.
    auto* late = new TSprite(&shown.Panel);
    late->SetTransparent(true);
    late->SetPicture(picture);
    late->SetBounds(10, 10, 6, 6);
    late->Animation().SetFrameCount(1);
    late->Animation().SetCurrentFrame(0);
    shown.RunFrames(1);
    EXPECT_EQ(shown.Panel.Picture().pixel(10, 10), Blue);
    EXPECT_EQ(shown.Panel.Picture().pixel(14, 10), 0xFF204060u);
}

// One mask for every image of one picture; a picture changed afterwards gets its own.
TEST_F(SpriteTest, ImagesOfOnePictureShareItsMaskUntilThePictureChanges) {
    ShownPanel shown(Solid(20, 20, 0xFF204060));
    QImage picture = Solid(6, 6, 0xFF000000);
    FillRectColor(picture, QRect(0, 0, 3, 6), QColor(Blue));
    TSprite* first = MakeSprite(&shown.Panel, picture, 0, 0);
    TSprite* second = MakeSprite(&shown.Panel, picture, 8, 0);
    first->SetTransparent(true);
    second->SetTransparent(true);
    EXPECT_EQ(first->Mask().cacheKey(), second->Mask().cacheKey());

    FillRectColor(picture, QRect(0, 0, 6, 6), QColor(Blue));
    TSprite* third = MakeSprite(&shown.Panel, picture, 0, 8);
    third->SetTransparent(true);
    EXPECT_EQ(third->Mask().pixel(5, 0), 0xFF000000u);
    EXPECT_EQ(first->Mask().pixel(5, 0), 0xFFFFFFFFu);
}

TEST_F(SpriteTest, ChildOrderIsPaintOrder) {
    ShownPanel shown(Solid(30, 30, 0xFF000000));
    TSprite* bottom = MakeSprite(&shown.Panel, Solid(10, 10, Red), 5, 5);
    MakeSprite(&shown.Panel, Solid(10, 10, Blue), 10, 10);
    shown.RunFrames(1);
    EXPECT_EQ(shown.Panel.Picture().pixel(12, 12), Blue);
    EXPECT_EQ(shown.Panel.Picture().pixel(7, 7), Red);
    bottom->BringToFront();
    shown.RunFrames(1);
    EXPECT_EQ(shown.Panel.Picture().pixel(12, 12), Red);
}

TEST_F(SpriteTest, AKilledSpriteIsGoneInTheNextFrame) {
    const QImage background = Gradient(30, 30);
    ShownPanel shown(background);
    QPointer<TSprite> sprite = MakeSprite(&shown.Panel, Solid(6, 6, Red), 4, 4);
    int performs = 0;
    sprite->OnPerform = [&](QObject*) { ++performs; };
    shown.RunFrames(1);
    sprite->SetKilled(true);
    shown.RunFrames(1);
    EXPECT_TRUE(sprite.isNull());
    EXPECT_EQ(performs, 1);
    EXPECT_EQ(Differences(shown.Panel.Picture(), background, background.rect()), 0);
}

TEST_F(SpriteTest, AnInvisibleChildIsNeitherErasedNorDrawn) {
    const QImage background = Gradient(30, 30);
    ShownPanel shown(background);
    TSprite* sprite = MakeSprite(&shown.Panel, Solid(6, 6, Red), 4, 4);
    sprite->SetHoriSpeed(2);
    shown.RunFrames(1);
    sprite->SetVisible(false);
    // Hiding restores the background at once, with no frame in between.
    EXPECT_EQ(Differences(shown.Panel.Picture(), background, background.rect()), 0);
    // Something drawn into the picture where the sprite was stays there.
    FillRectColor(shown.Panel.Picture(), QRect(6, 4, 6, 6), QColor(Blue));
    const int left = sprite->Left();
    int performs = 0;
    sprite->OnPerform = [&](QObject*) { ++performs; };
    shown.RunFrames(3);
    EXPECT_EQ(performs, 0);
    EXPECT_EQ(sprite->Left(), left);
    EXPECT_EQ(shown.Panel.Picture().pixel(7, 5), Blue);
}

TEST_F(SpriteTest, StillImagesAreRedrawnEveryFrameAndACentredOneIsErasedWhereItWasDrawn) {
    const QImage background = Gradient(40, 40);
    ShownPanel shown(background);
    auto* image = new TSImage(&shown.Panel);
    image->SetPicture(Solid(4, 4, Blue));
    image->SetCenter(true);
    image->SetBounds(10, 10, 11, 9);
    EXPECT_EQ(image->ImageRect(), QRect(3, 2, 4, 4));
    shown.RunFrames(1);
    EXPECT_EQ(image->ComposedRect(), QRect(13, 12, 4, 4));
    EXPECT_EQ(Differences(shown.Panel.Picture(), Solid(40, 40, Blue), QRect(13, 12, 4, 4)), 0);
    image->SetLeft(20);
    shown.RunFrames(1);
    QImage expected = background;
    FillRectColor(expected, QRect(23, 12, 4, 4), QColor(Blue));
    EXPECT_EQ(Differences(shown.Panel.Picture(), expected, expected.rect()), 0);
}

TEST_F(SpriteTest, ASelfPaintingImageIsNotComposedButPaintedOnTheWindow) {
    const QImage background = Gradient(30, 30);
    ShownPanel shown(background);
    auto* image = new TSImage(&shown.Panel);
    image->SetPicture(Solid(5, 5, Red));
    image->SetBounds(3, 3, 5, 5);
    image->SetRespondToPaint(true);
    shown.RunFrames(2);
    EXPECT_EQ(Differences(shown.Panel.Picture(), background, background.rect()), 0);
    const QImage window = shown.Panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(window.pixel(4, 4), Red);
    EXPECT_EQ(window.pixel(10, 10), background.pixel(10, 10));
}

TEST_F(SpriteTest, TextDrawnIntoTheBackgroundSurvivesASpritePassingOverIt) {
    ShownPanel shown(Solid(40, 20, 0xFF000000));
    FillRectColor(shown.Panel.Picture(), QRect(10, 5, 10, 10), QColor(Blue));
    FillRectColor(shown.Panel.BackgroundCopy(), QRect(10, 5, 10, 10), QColor(Blue));
    const QImage withText = shown.Panel.Picture().copy();
    TSprite* sprite = MakeSprite(&shown.Panel, Solid(6, 6, Red), 0, 7);
    sprite->SetHoriSpeed(4);
    shown.RunFrames(10);
    sprite->SetVisible(false);
    EXPECT_EQ(Differences(shown.Panel.Picture(), withText, withText.rect()), 0);
}

TEST_F(SpriteTest, OnceFinishedFiresRightAfterTheLastFrameIsDrawnAndAgainAtLaterSteps) {
    ShownPanel shown(Solid(30, 30, 0xFF000000));
    TSprite* sprite = MakeSprite(&shown.Panel, Strip(4, 5, 5), 2, 2, 4);
    sprite->Animation().SetDelay(0);
    std::vector<int> frames;
    std::vector<int> finishedAt;
    sprite->OnAnimFinished = [&](QObject* sender) {
        EXPECT_EQ(sender, sprite);
        EXPECT_EQ(ShownFrame(shown.Panel, *sprite), 3);
        finishedAt.push_back(static_cast<int>(frames.size()));
    };
    shown.Panel.OnPerform = [&](QObject*) { frames.push_back(ShownFrame(shown.Panel, *sprite)); };
    shown.Frames = 0;
    RunUntil([&] { return frames.size() >= 6; });
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 3, 3}));
    // Raised during frames 4, 5 and 6 (OnPerform counts the frame after the sprites).
    EXPECT_EQ(finishedAt, (std::vector<int>{3, 4, 5}));
}

TEST_F(SpriteTest, EdgeAndFinishEventsOfAPingPongSwing) {
    ShownPanel shown(Solid(40, 30, 0xFF000000));
    TSprite* sprite = MakeSprite(&shown.Panel, Strip(5, 5, 5), 2, 2, 5);
    TAnimation& animation = sprite->Animation();
    animation.SetAnimMode(amPingPong);
    animation.SetAnimDirection(adDown);
    animation.SetCurrentFrame(4);
    animation.SetDelay(4);
    std::vector<int> frames;
    int edges = 0;
    int finishes = 0;
    std::vector<int> edgeFrames;
    sprite->OnAnimTouchedEdge = [&](QObject*) {
        ++edges;
        edgeFrames.push_back(static_cast<int>(frames.size()));
    };
    sprite->OnAnimFinished = [&](QObject*) { ++finishes; };
    shown.Panel.OnPerform = [&](QObject*) { frames.push_back(ShownFrame(shown.Panel, *sprite)); };
    RunUntil([&] { return frames.size() >= 50; });
    std::vector<int> expected;
    for (const int f : {4, 3, 2, 1, 0, 1, 2, 3, 4, 3})
        for (int i = 0; i < 5; ++i)
            expected.push_back(f);
    EXPECT_EQ(frames, expected);
    // First edge at the turn at 0 (frame 25), then again at every step after it.
    ASSERT_GE(edgeFrames.size(), 2u);
    EXPECT_EQ(edgeFrames[0], 24);
    EXPECT_EQ(edgeFrames[1], 29);
    // Finished at the turn at 4 (frame 45) and raised again at the next step (frame 50).
    EXPECT_EQ(finishes, 2);
    EXPECT_TRUE(animation.Finished());
}

TEST_F(SpriteTest, AFrozenAnimationStillMovesAndDrawsButRaisesNothing) {
    ShownPanel shown(Solid(60, 30, 0xFF000000));
    TSprite* sprite = MakeSprite(&shown.Panel, Strip(3, 5, 5), 2, 2, 3);
    sprite->Animation().SetDelay(-1);
    sprite->Animation().SetAnimMode(amCont);
    sprite->SetHoriSpeed(1);
    int events = 0;
    sprite->OnAnimTouchedEdge = [&](QObject*) { ++events; };
    sprite->OnAnimFinished = [&](QObject*) { ++events; };
    shown.RunFrames(10);
    EXPECT_EQ(sprite->Animation().CurrentFrame(), 0);
    EXPECT_EQ(ShownFrame(shown.Panel, *sprite), 0);
    EXPECT_EQ(sprite->ComposedRect().x(), 12);
    EXPECT_EQ(events, 0);
}

TEST_F(SpriteTest, AHandlerMayFreeItsSpriteInTheMiddleOfTheFrame) {
    ShownPanel shown(Solid(30, 30, 0xFF000000));
    QPointer<TSprite> sprite = MakeSprite(&shown.Panel, Strip(2, 5, 5), 2, 2, 2);
    sprite->Animation().SetDelay(0);
    TSprite* after = MakeSprite(&shown.Panel, Solid(4, 4, Blue), 20, 20);
    sprite->OnAnimFinished = [&](QObject* sender) { delete sender; };
    shown.RunFrames(3);
    EXPECT_TRUE(sprite.isNull());
    EXPECT_TRUE(after->Drawn());
}

TEST_F(SpriteTest, AnimationSequencesOfEveryModeAndDirection) {
    struct Case {
        TAnimMode Mode;
        TAnimDirection Direction;
        int Start;
        std::vector<int> Frames; // CurrentFrame after each step
        int FirstEdge;           // step (1-based) at which the edge flag is first set
        int FirstFinish;         // 0 for never
    };
    const std::vector<Case> cases = {
        {amOnce, adUp, 0, {1, 2, 3, 3, 3}, 4, 4},
        {amOnce, adDown, 3, {2, 1, 0, 0, 0}, 4, 4},
        {amCont, adUp, 2, {3, 0, 1, 2, 3, 0}, 2, 0},
        {amCont, adDown, 1, {0, 3, 2, 1, 0, 3}, 2, 0},
        {amPingPong, adUp, 2, {3, 2, 1, 0, 1, 2}, 2, 5},
        {amPingPong, adDown, 1, {0, 1, 2, 3, 2, 1}, 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.Mode << " direction " << c.Direction);
        TAnimation animation;
        animation.SetFrameCount(4);
        animation.SetAnimMode(c.Mode);
        animation.SetAnimDirection(c.Direction);
        animation.SetCurrentFrame(c.Start);
        int firstEdge = 0;
        int firstFinish = 0;
        for (size_t i = 0; i < c.Frames.size(); ++i) {
            EXPECT_TRUE(animation.Step());
            EXPECT_EQ(animation.CurrentFrame(), c.Frames[i]) << "step " << i + 1;
            if (!firstEdge && animation.TouchedEdge()) firstEdge = static_cast<int>(i) + 1;
            if (!firstFinish && animation.Finished()) firstFinish = static_cast<int>(i) + 1;
        }
        EXPECT_EQ(firstEdge, c.FirstEdge);
        EXPECT_EQ(firstFinish, c.FirstFinish);
    }
}

TEST_F(SpriteTest, DelayCountsPanelFramesBetweenStepsAndResetClearsTheFlags) {
    TAnimation animation;
    animation.SetFrameCount(2);
    animation.SetCurrentFrame(0);
    animation.SetDelay(2);
    std::vector<bool> moved;
    for (int i = 0; i < 6; ++i)
        moved.push_back(animation.Step());
    EXPECT_EQ(moved, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_TRUE(animation.Finished());
    animation.Reset();
    EXPECT_FALSE(animation.Finished());
    EXPECT_FALSE(animation.TouchedEdge());
    EXPECT_EQ(animation.CurrentFrame(), 1);
    int changes = 0;
    animation.OnChange = [&] { ++changes; };
    animation.SetFrameCount(2);
    animation.SetFrameCount(3);
    EXPECT_EQ(changes, 1);
}

TEST_F(SpriteTest, ASpriteHiddenInTheMiddleOfAFrameLeavesNoHoleInThoseDrawnBeforeIt) {
    ShownPanel shown(Solid(40, 40, 0xFF000000));
    TSprite* below = MakeSprite(&shown.Panel, Solid(20, 20, Blue), 5, 5);
    TSprite* above = MakeSprite(&shown.Panel, Solid(6, 6, 0xFF00FF00), 20, 20);
    TSprite* top = MakeSprite(&shown.Panel, Solid(8, 8, Red), 10, 10);
    TSprite* hider = MakeSprite(&shown.Panel, Solid(2, 2, Red), 38, 0);
    shown.RunFrames(1);
    // Hidden after it has been drawn in this frame, as a finished sparkle hides itself.
    hider->OnPerform = [&](QObject*) { top->SetVisible(false); };
    shown.RunFrames(1);
    const QImage& picture = shown.Panel.Picture();
    EXPECT_EQ(picture.pixel(12, 12), Blue);
    EXPECT_EQ(picture.pixel(22, 22), 0xFF00FF00u) << "redrawn below, still on top";
    EXPECT_EQ(picture.pixel(30, 30), 0xFF000000u);
    EXPECT_FALSE(top->Drawn());
    EXPECT_TRUE(below->Drawn() && above->Drawn());
}
