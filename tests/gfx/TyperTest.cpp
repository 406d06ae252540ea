#include "gfx/Typer.h"

#include "GfxTestSupport.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace GfxTest;

namespace {

// Stands in for the show screen: owns the six sparkle sprites and returns
// them to the pool when their animation ends.
class SparkleHolder {
public:
    SparkleHolder() {
        QImage strip = Solid(88, 32, 0xFF000000);
        for (int i = 0; i < 4; ++i)
            FillRectColor(strip, QRect(22 * i + 8, 12, 6, 8), QColor(0xFF, 0xFF, 0x40));
        for (int i = 0; i < 6; ++i) {
            auto* sprite = new TSprite(&FOwner);
            sprite->SetPicture(strip);
            sprite->SetBounds(0, 0, 22, 32);
            sprite->SetTransparent(true);
            sprite->Animation().SetFrameCount(4);
            sprite->Animation().SetDelay(2);
            sprite->SetEnabled(false);
            sprite->SetVisible(false);
            sprite->OnAnimFinished = [this](QObject* sender) {
                ++Finished;
                TTyper::SparkleAnimFinished(sender);
            };
            Sprites.push_back(sprite);
        }
    }
    QWidget FOwner;
    std::vector<TSprite*> Sprites;
    int Finished = 0;
};

class TyperTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        ClearBoth();
        ArmSkip();
        TTyper::ClearSparklePool();
        TTyper::SetActiveSparkles(0);
        TTyper::SetSparkleSource([this] { return Holder.Sprites; });
        Font =
            MakeFont(QStringLiteral("Liberation Mono"), 19, true, false, QColor(0xC0, 0xC0, 0xC0));
        TTyper::SetFontSource([this] { return Font; });
    }
    void TearDown() override {
        TTyper::SetSparkleSource(nullptr);
        TTyper::SetFontSource(nullptr);
        TTyper::ClearSparklePool();
        ClearBoth();
    }
    static uint64_t Now() { return TestEnvironment::Clock().Now(); }

    SparkleHolder Holder;
    TTextFont Font;
};

} // namespace

TEST_F(TyperTest, EachLetterPausesWithASparkleAndTheLineWaitsForTheLastOne) {
    ShownPanel shown(Solid(200, 80, 0xFF000000), 36);
    TTyper typer;
    EXPECT_EQ(TTyper::SparklePool().size(), 6u);
    typer.SetPanel(&shown.Panel);
    EXPECT_EQ(Holder.Sprites[0]->Parent(), &shown.Panel);
    typer.Width = 200;
    typer.SetPosition(QPoint(0, 10));
    const uint64_t start = Now();
    typer.TypeLn(QStringLiteral("Kolvex"));
    const uint64_t elapsed = Now() - start;
    // Six pauses of 75 ms; the last sparkle runs 12 panel frames of 27 ms after its letter started.
    EXPECT_GE(elapsed, 5u * 75u + 12u * 27u);
    EXPECT_LT(elapsed, 6u * 75u + 14u * 27u);
    EXPECT_EQ(Holder.Finished, 6);
    EXPECT_EQ(TTyper::ActiveSparkles(), 0);
    for (const TSprite* sprite : Holder.Sprites) {
        EXPECT_FALSE(sprite->Enabled());
        EXPECT_FALSE(sprite->Visible());
    }
    const int lineHeight = QFontMetrics(Font.Font).height() + 1;
    EXPECT_EQ(typer.Y, 10 + lineHeight);
}

TEST_F(TyperTest, TheTextIsCentredWithAShadowInPictureAndBackground) {
    ShownPanel shown(Solid(200, 60, 0xFF000000), 36);
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    typer.Width = 200;
    typer.SetPosition(QPoint(0, 5));
    typer.TypeLn(QStringLiteral("HHH"));
    const QImage& picture = shown.Panel.Picture();
    int grey = 0;
    int shadow = 0;
    QRect extent;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb p = picture.pixel(x, y);
            if (p == Font.Color.rgb()) {
                ++grey;
                extent |= QRect(x, y, 1, 1);
            }
            if (p == qRgb(0x80, 0, 0)) ++shadow;
        }
    EXPECT_GT(grey, 20);
    EXPECT_GT(shadow, 5);
    const int textWidth = QFontMetrics(Font.Font).horizontalAdvance(QStringLiteral("HHH"));
    EXPECT_NEAR(extent.center().x(), 100, 3);
    EXPECT_LE(extent.width(), textWidth);
    EXPECT_EQ(Differences(picture, shown.Panel.BackgroundCopy(), picture.rect()), 0);
}

TEST_F(TyperTest, AfterAnInterruptTheRestOfTheLineAppearsAtOnceButRunningSparklesAreAwaited) {
    ShownPanel shown(Solid(300, 60, 0xFF000000), 36);
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    typer.Width = 300;
    typer.SetPosition(QPoint(0, 5));
    int frames = 0;
    shown.Panel.OnPerform = [&](QObject*) {
        if (++frames == 5) RequestSkip();
    };
    const uint64_t start = Now();
    typer.TypeLn(QStringLiteral("ABCDEFGHIJKLMNOP"));
    const uint64_t elapsed = Now() - start;
    // The skip came after about two letters; only those had sparkles.
    EXPECT_GE(Holder.Finished, 2);
    EXPECT_LE(Holder.Finished, 3);
    EXPECT_LT(elapsed, 16u * 75u);
    EXPECT_EQ(TTyper::ActiveSparkles(), 0);
    EXPECT_TRUE(Interrupted()) << "the typer leaves the request for its caller";
}

TEST_F(TyperTest, AnEmptyLineDrawsNothingAndMovesHalfALine) {
    ShownPanel shown(Gradient(100, 50), 36);
    const QImage before = shown.Panel.Picture().copy();
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    typer.SetPosition(QPoint(0, 10));
    typer.TypeLn(QString());
    const int lineHeight = QFontMetrics(Font.Font).height() + 1;
    EXPECT_EQ(typer.Y, 10 + lineHeight / 2);
    EXPECT_EQ(Differences(shown.Panel.Picture(), before, before.rect()), 0);
    EXPECT_EQ(Holder.Finished, 0);
}

TEST_F(TyperTest, LettersRemainAfterASpritePassesOverThem) {
    ShownPanel shown(Solid(200, 40, 0xFF000000), 36);
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    typer.Width = 200;
    typer.SetPosition(QPoint(0, 5));
    typer.TypeLn(QStringLiteral("WWWW"));
    const QImage typed = shown.Panel.Picture().copy();
    auto* sprite = new TSprite(&shown.Panel);
    sprite->SetPicture(Solid(10, 30, 0xFF00FF00));
    sprite->SetBounds(0, 2, 10, 30);
    sprite->Animation().SetFrameCount(1);
    sprite->Animation().SetCurrentFrame(0);
    sprite->SetHoriSpeed(5);
    shown.RunFrames(40);
    sprite->SetVisible(false);
    EXPECT_EQ(Differences(shown.Panel.Picture(), typed, typed.rect()), 0);
}

TEST_F(TyperTest, AllSparklesBusyTypesWithoutOne) {
    ShownPanel shown(Solid(100, 40, 0xFF000000), 36);
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    for (TSprite* sprite : Holder.Sprites)
        sprite->SetEnabled(true);
    typer.StartMagic(10, 10);
    EXPECT_EQ(TTyper::ActiveSparkles(), 0);
    Holder.Sprites[3]->SetEnabled(false);
    typer.StartMagic(10, 10);
    EXPECT_EQ(TTyper::ActiveSparkles(), 1);
    EXPECT_TRUE(Holder.Sprites[3]->Visible());
    EXPECT_EQ(Holder.Sprites[3]->Tag(), 1);
    EXPECT_GE(Holder.Sprites[3]->Left(), 10 + 6 - 7);
    EXPECT_LE(Holder.Sprites[3]->Left(), 10 + 6);
    EXPECT_GE(Holder.Sprites[3]->Top(), 10 + 8 - 15);
    EXPECT_LE(Holder.Sprites[3]->Top(), 10 + 8);
}

TEST_F(TyperTest, TypingWithoutAPanelIsAFailedPrecondition) {
    TTyper typer;
    typer.TypeLn(QStringLiteral("x"));
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(QStringLiteral("TTyper.TypeLn")));
}

TEST_F(TyperTest, ALineOnAPanelThatCannotAnimateDoesNotWaitForEver) {
    ShownPanel shown(Solid(100, 40, 0xFF000000), 36);
    TTyper typer;
    typer.SetPanel(&shown.Panel);
    shown.Panel.SetFramesPerSec(0);
    typer.TypeLn(QStringLiteral("ab"));
    EXPECT_EQ(TTyper::ActiveSparkles(), 2);
}
