#include "FlowTestSupport.h"
#include "flow/GameParamsF_KX.h"
#include "flow/GfxF.h"
#include "gfx/SImage.h"
#include "model/BrickSupplier_KX.h"

#include <QCheckBox>

using namespace FlowTest;

class NextBrickView : public GameTest {
protected:
    // The template of a kind: its first frame and that frame's size.
    QImage FirstFrame(int kind) {
        const QImage& strip = Host().GfxForm()->BrickType(kind);
        return strip.copy(0, 0, strip.height(), strip.height());
    }
    static bool SamePixels(const QImage& a, const QRect& in, const QImage& b) {
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                if ((a.pixel(in.x() + x, in.y() + y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                    return false;
        return true;
    }
};

TEST_F(NextBrickView, OnePlayerSeesTheNextBrickFirstFrameTopAligned) {
    TGameForm* game = Start(1);
    Hold(game);
    const TSImage* image = Host().NextBrickImage();
    ASSERT_TRUE(image->Visible());
    const int next = Coordinator().Supplier()->Queue().front();
    const QImage frame = FirstFrame(next);
    EXPECT_EQ(image->Picture().size(), frame.size());
    EXPECT_EQ(image->Width(), frame.width());
    EXPECT_TRUE(SamePixels(image->Picture(), QRect(0, 0, frame.width(), frame.height()), frame));
    // Transparent where the brick has no cell.
    EXPECT_EQ(image->Mask().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(NextBrickView, TwoPlayersSeeTheNextTwoBricksSideBySide) {
    Start(2);
    Hold(Game(0));
    Hold(Game(1));
    const TSImage* image = Host().NextBrickImage();
    TBrickSupplier& supplier = *Coordinator().Supplier();
    const QImage first = FirstFrame(supplier.Peek(0));
    const QImage second = FirstFrame(supplier.Peek(1));
    EXPECT_EQ(image->Width(), first.width() + second.width());
    EXPECT_EQ(image->Picture().height(), std::max(first.height(), second.height()));
    EXPECT_TRUE(SamePixels(image->Picture(), QRect(0, 0, first.width(), first.height()), first));
    EXPECT_TRUE(SamePixels(image->Picture(),
                           QRect(first.width(), 0, second.width(), second.height()), second));
    // Every hand-out repaints it.
    supplier.NextBrick();
    EXPECT_TRUE(SamePixels(image->Picture(), QRect(0, 0, second.width(), second.height()),
                           FirstFrame(supplier.Peek(0))));
}

TEST(GameParams, StartWithFullLinesZappedAndBobblesStaying) {
    TestEnvironment::Reset();
    TGameParamsForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Game parameters"));
    EXPECT_EQ(form.size(), QSize(339, 336));
    EXPECT_EQ(form.RaiseBoubblesCheckBox->text(), QStringLiteral("Raising boubles."));
    EXPECT_TRUE(form.ZapLines());
    EXPECT_FALSE(form.RaiseBobbles());
    form.ZapLineCheckBox->setChecked(false);
    form.RaiseBoubblesCheckBox->setChecked(true);
    EXPECT_FALSE(form.ZapLines());
    EXPECT_TRUE(form.RaiseBobbles());
}

namespace {
class ParamsHost : public THeadlessHost {
public:
    TGameParamsForm* GameParams() override { return &Params; }
    TGameParamsForm Params;
};
} // namespace

TEST_F(NextBrickView, TheGameReadsTheParametersWindowAtEveryLanding) {
    ParamsHost host;
    host.Params.ZapLineCheckBox->setChecked(false);
    host.NewSession();
    TGameForm* game = host.Session()->GetGame(0);
    Hold(game);
    Fill(game, {QStringLiteral("..33333333")});
    game->PutBrick(3, 0, 16 * 17);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return game->Score() != 0; }));
    EXPECT_EQ(game->Score(), 5);
    EXPECT_EQ(Row(game, 19), QStringLiteral("4433333333"));
    host.Params.ZapLineCheckBox->setChecked(true);
    Hold(game);
    game->PutBrick(3, 16 * 7, 16 * 16);
    Release(game);
    ASSERT_TRUE(RunUntil([&] { return game->Score() > 5; }));
    EXPECT_EQ(game->Score(), 5 + 5 + 125 + 90);
}
