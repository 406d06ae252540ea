#include "model/Bricks.h"
#include "resources/Resources_KX.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
bool AllBlack(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0x00ffffff) != 0) return false;
    return true;
}

// Every cell of a brick picture is where the brick's cell is, in all four
// orientations, and is the very picture of the cell it becomes: plain or
// marked alike.
TEST(BrickPictures, MatchTheShapeTableCellForCell) {
    TestEnvironment::Reset();
    TBricks bricks;
    const QImage glass = LoadResourcePicture(QStringLiteral("GlassImage"));
    for (const QString& prefix : {QString(), QStringLiteral("Marked")})
        for (int kind = 0; kind < TBricks::Count; ++kind) {
            const TBrick* brick = bricks.Brick(kind);
            const QImage picture =
                LoadResourcePicture(prefix + QStringLiteral("BrickType%1").arg(kind));
            ASSERT_EQ(picture.width(), 4 * 16 * brick->Width()) << kind;
            ASSERT_EQ(picture.height(), 16 * brick->Height()) << kind;
            for (int o = 0; o < 4; ++o)
                for (int y = 0; y < brick->Height(); ++y)
                    for (int x = 0; x < brick->Width(); ++x) {
                        const QImage cell =
                            picture.copy(o * 16 * brick->Width() + 16 * x, 16 * y, 16, 16);
                        const TCell* c = brick->CellAt(x, y, o);
                        if (!c) {
                            EXPECT_TRUE(AllBlack(cell)) << "kind " << kind << " orientation " << o
                                                        << " at " << x << "," << y;
                        } else if (c->IsBobble()) {
                            EXPECT_EQ(cell, glass) << "kind " << kind << " orientation " << o
                                                   << " at " << x << "," << y;
                        } else {
                            EXPECT_EQ(cell,
                                      LoadResourcePicture(
                                          prefix + QStringLiteral("SmallType%1").arg(c->Colour)))
                                << "kind " << kind << " orientation " << o << " at " << x << ","
                                << y;
                        }
                    }
        }
}
} // namespace
