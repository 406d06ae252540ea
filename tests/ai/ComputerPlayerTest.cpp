#include "ai/AiWell_KX.h"
#include "ai/ComputerPlayer_KX.h"
#include "ai/PlacementChooser_KX.h"

#include <gtest/gtest.h>

namespace {
using Rows = std::array<const char*, TAiWell::Rows>;

Rows Empty() {
    Rows rows;
    rows.fill("..........");
    return rows;
}

// Rows given from the bottom up on an empty well.
TAiWell Bottom(std::initializer_list<const char*> fromBottom) {
    Rows rows = Empty();
    size_t y = TAiWell::Rows;
    for (const char* row : fromBottom)
        rows[--y] = row;
    return TAiWell::FromRows(rows);
}
} // namespace

TEST(AiWell, ResolvesLikeTheRules) {
    struct Case {
        const char* What;
        TAiWell Well;
        int Lines, Zapped, Teleported, Falls;
    };
    const Case cases[] = {
        {"a full line goes", Bottom({"1234567123"}), 1, 10, 0, 0},
        {"an area between two bobbles goes over", Bottom({"B33B......"}), 0, 4, 2, 0},
        {"an area with one bobble stays", Bottom({"B33.......", "3........."}), 0, 0, 0, 0},
        {"two bobbles side by side go", Bottom({"BB........"}), 0, 2, 0, 0},
        {"another colour stops the area", Bottom({"B34B......"}), 0, 0, 0, 0},
        // The 5 above the zapped area loses its support and falls.
        {"what stood on it falls", Bottom({"B33B......", ".5........"}), 0, 4, 2, 1},
    };
    for (const Case& c : cases) {
        TAiWell w = c.Well;
        const TAiOutcome out = ResolveWell(w);
        EXPECT_EQ(out.Lines, c.Lines) << c.What;
        EXPECT_EQ(out.Zapped, c.Zapped) << c.What;
        EXPECT_EQ(out.Teleported, c.Teleported) << c.What;
        EXPECT_EQ(out.Falls, c.Falls) << c.What;
    }
    TAiWell fell = Bottom({"B33B......", ".5........"});
    ResolveWell(fell);
    EXPECT_EQ(fell.At(1, TAiWell::Rows - 1), 5) << "the 5 lands on the floor";
}

TEST(PlacementChooser, TakesABobbleZapIntoTheOtherWellOverAPlainLine) {
    // The straight brick with its bobble (kind 5) can either close the
    // bottom line lying flat at the left, or stand upright in column 9 where
    // its bobble joins the 3-area that already touches a bobble.
    const TAiWell well = Bottom({
        "....3333B3",
        "....33333.",
        "....33333.",
        "....33333.",
    });
    // Both are on offer: check the line first.
    TAiWell line = well;
    for (int x = 0; x < 4; ++x)
        line.Set(x, TAiWell::Rows - 1, 6);
    EXPECT_EQ(ResolveWell(line).Lines, 1);

    const TAiWeights weights;
    const TAiPlacement p = ChoosePlacement(well, 5, 0, 3, -2, -1, weights);
    ASSERT_TRUE(p.Found);
    TAiWell after = well;
    int row = -2;
    while (BrickFits(after, 5, p.Orientation, p.Column, row + 1))
        ++row;
    for (const TAiShapes::Cell& c : TAiShapes::Instance().Of(5, p.Orientation).Cells)
        if (row + c.Dy >= 0) after.Set(p.Column + c.Dx, row + c.Dy, c.Value);
    const TAiOutcome out = ResolveWell(after);
    EXPECT_GT(out.Teleported, 0) << "chose orientation " << p.Orientation << " column " << p.Column;
}

TEST(ComputerPlayer, NeverActsFasterThanItsStrengthAllows) {
    for (TComputerStrength s : {TComputerStrength::Easy, TComputerStrength::Normal,
                                TComputerStrength::Hard, TComputerStrength::Random}) {
        TComputerPlayer player(s, 7);
        TComputerView view;
        view.BrickInPlay = true;
        view.Kind = 2;
        view.Left = 64;
        int last = -1000, actions = 0;
        for (int frame = 0; frame < 400; ++frame) {
            // The brick never goes where it is sent: the player keeps pressing.
            view.Top = frame % 200;
            if (player.Act(view)) {
                EXPECT_GE(frame - last, TComputerPlayer::FramesBetweenActions(s))
                    << ComputerStrengthName(s) << " at frame " << frame;
                last = frame;
                actions += 1;
            }
        }
        EXPECT_GT(actions, 10) << ComputerStrengthName(s);
    }
    EXPECT_GT(TComputerPlayer::FramesBetweenActions(TComputerStrength::Easy),
              TComputerPlayer::FramesBetweenActions(TComputerStrength::Normal));
    EXPECT_GT(TComputerPlayer::FramesBetweenActions(TComputerStrength::Normal),
              TComputerPlayer::FramesBetweenActions(TComputerStrength::Hard));
}

TEST(ComputerPlayer, StrengthNames) {
    EXPECT_EQ(ParseComputerStrength("Hard"), TComputerStrength::Hard);
    EXPECT_EQ(ParseComputerStrength("random"), TComputerStrength::Random);
    EXPECT_EQ(ParseComputerStrength("expert"), std::nullopt);
    EXPECT_EQ(ParseComputerStrength(""), std::nullopt);
}
