#include "model/Bricks.h"

#include "PlayfieldPicture.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace {
// The cells of one orientation as (x, y, drawn character), shifted so that
// the smallest x and y are 0.
using Shape = std::set<std::tuple<int, int, char>>;

char Drawn(const TCell& cell) {
    return cell.IsBobble() ? 'B' : static_cast<char>('0' + cell.Colour);
}

Shape ShapeOf(const TBrick& brick, int o) {
    Shape raw;
    for (int y = 0; y < brick.Height(); ++y)
        for (int x = 0; x < brick.Width(); ++x)
            if (const TCell* cell = brick.CellAt(x, y, o)) raw.insert({x, y, Drawn(*cell)});
    int minX = 99, minY = 99;
    for (const auto& [x, y, c] : raw) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
    }
    Shape shifted;
    for (const auto& [x, y, c] : raw)
        shifted.insert({x - minX, y - minY, c});
    return shifted;
}

// A quarter turn clockwise on screen: (x, y) -> (size - 1 - y, x), then shifted.
Shape TurnedClockwise(const Shape& shape, int size) {
    Shape turned;
    int minX = 99, minY = 99;
    for (const auto& [x, y, c] : shape) {
        minX = std::min(minX, size - 1 - y);
        minY = std::min(minY, x);
    }
    for (const auto& [x, y, c] : shape)
        turned.insert({size - 1 - y - minX, x - minY, c});
    return turned;
}

QString Drawing(const TBrick& brick, int o) {
    QStringList rows;
    for (int y = 0; y < brick.Height(); ++y) {
        QString row;
        for (int x = 0; x < brick.Width(); ++x) {
            const TCell* cell = brick.CellAt(x, y, o);
            row += cell ? QLatin1Char(Drawn(*cell)) : QLatin1Char('.');
        }
        rows << row;
    }
    return rows.join(QStringLiteral(" / "));
}

class Bricks : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
    TBricks bricks;
};

TEST_F(Bricks, FirstOrientationsAreAsDrawn) {
    const char* expected[] = {"B.. / ... / 11.", ".B. / ... / 22.", "... / 333 / B33",
                              "... / .44 / 44.", "... / 55. / .55", ".... / .... / 6B66 / ....",
                              "... / .7. / 7.7"};
    for (int kind = 0; kind < TBricks::Count; ++kind)
        EXPECT_EQ(Drawing(*bricks.Brick(kind), 0), QString::fromLatin1(expected[kind]))
            << "kind " << kind;
}

TEST_F(Bricks, EachOrientationIsThePreviousTurnedAQuarterClockwise) {
    for (int kind = 0; kind < TBricks::Count; ++kind) {
        const TBrick& brick = *bricks.Brick(kind);
        for (int o = 0; o < 4; ++o)
            EXPECT_EQ(ShapeOf(brick, (o + 1) % 4),
                      TurnedClockwise(ShapeOf(brick, o), brick.Width()))
                << "kind " << kind << " orientation " << o;
    }
}

TEST_F(Bricks, CellsCarryTheKindsColourAndBobblesAreGlass) {
    const int bobbles[] = {1, 1, 1, 0, 0, 1, 0};
    const int cells[] = {3, 3, 6, 4, 4, 4, 3};
    for (int kind = 0; kind < TBricks::Count; ++kind) {
        const TBrick& brick = *bricks.Brick(kind);
        EXPECT_EQ(brick.Width(), kind == 5 ? 4 : 3);
        EXPECT_EQ(brick.Height(), brick.Width());
        EXPECT_EQ(brick.OrientationCount(), 4);
        for (int o = 0; o < 4; ++o) {
            int bobbleCount = 0, cellCount = 0;
            for (int x = 0; x < brick.Width(); ++x)
                for (int y = 0; y < brick.Height(); ++y)
                    if (const TCell* cell = brick.CellAt(x, y, o)) {
                        ++cellCount;
                        EXPECT_EQ(cell->Mark, 0);
                        if (cell->IsBobble()) {
                            ++bobbleCount;
                            EXPECT_EQ(cell->Flags, TCell::cfBobble);
                            EXPECT_EQ(cell->Colour, 0);
                        } else {
                            EXPECT_EQ(cell->Flags, TCell::cfBrick);
                            EXPECT_EQ(cell->Colour, kind + 1);
                        }
                    }
            EXPECT_EQ(bobbleCount, bobbles[kind]) << "kind " << kind;
            EXPECT_EQ(cellCount, cells[kind]) << "kind " << kind;
        }
    }
}

TEST_F(Bricks, CellsBeyondTheBoxBelongToNoOrientation) {
    const TBrick& kind2 = *bricks.Brick(2);
    EXPECT_TRUE(kind2.CellAt(0, 0, 1)->IsBobble());
    EXPECT_TRUE(kind2.CellAt(0, 2, 0)->IsBobble());
    // Column 3 of orientation 0 is column 0 of orientation 1 in the matrix.
    for (int o = 0; o < 4; ++o) {
        EXPECT_EQ(kind2.CellAt(3, 0, o), nullptr);
        EXPECT_EQ(kind2.CellAt(-1, 2, o), nullptr);
        EXPECT_EQ(kind2.CellAt(0, 3, o), nullptr);
    }
    EXPECT_FALSE(bricks.Brick(5)->HasCellAt(0, 4, 1));
    EXPECT_THROW(kind2.CellAt(0, 0, 4), ERangeError);
    EXPECT_THROW(bricks.Brick(7), ERangeError);
    EXPECT_THROW(bricks.Brick(-1), ERangeError);
}

TEST_F(Bricks, OrientationWrapsIntoTheFourTurns) {
    TBrick& brick = *bricks.Brick(1);
    brick.SetOrientation(5);
    EXPECT_EQ(brick.Orientation(), 1);
    EXPECT_TRUE(brick.HasCurrentCellAt(2, 2));
    EXPECT_TRUE(brick.CurrentCellAt(2, 2)->IsBobble());
    brick.SetOrientation(4);
    EXPECT_EQ(brick.Orientation(), 0);
    brick.SetOrientation(-1);
    EXPECT_EQ(brick.Orientation(), 3);
}

TEST_F(Bricks, ThreeCornerBrickCellsNeverTouchSideBySide) {
    const TBrick& brick = *bricks.Brick(6);
    for (int o = 0; o < 4; ++o)
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 3; ++y)
                if (brick.HasCellAt(x, y, o)) {
                    EXPECT_FALSE(brick.HasCellAt(x + 1, y, o)) << o;
                    EXPECT_FALSE(brick.HasCellAt(x, y + 1, o)) << o;
                }
}

TEST_F(Bricks, DefineCellReplacesTheCellAtItsPlace) {
    TBrick brick(3);
    brick.DefineCell(1, 1, 2, TCell::cfBrick, 4);
    brick.DefineCell(1, 1, 2, TCell::cfBobble, 0);
    EXPECT_TRUE(brick.CellAt(1, 1, 2)->IsBobble());
    EXPECT_EQ(brick.CellAt(1, 1, 1), nullptr);
    EXPECT_THROW(brick.DefineCell(3, 0, 0, TCell::cfBrick, 1), ERangeError);
}
} // namespace
