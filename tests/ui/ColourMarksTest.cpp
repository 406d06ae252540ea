#include "MainWindowFixture.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/RasterOps.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "model/BrickSupplier_KX.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"
#include "resources/Resources_KX.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/PlayfieldViewF_KX.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {

QImage Picture(const QString& name, bool marked) {
    return RasterOps::ToRgb32(
        LoadResourcePicture((marked ? QStringLiteral("Marked") : QString()) + name));
}

// Whether `shown` holds `expected` at `at`, colour for colour.
bool Shows(const QImage& shown, const QPoint& at, const QImage& expected) {
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if ((shown.pixel(at.x() + x, at.y() + y) & 0xFFFFFF) !=
                (expected.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

// Whether the title shows its marked well (or its plain one): judged where
// the two differ, allowing for the sparkles drawn over it.
bool TitleShowsMarks(const QImage& shown, bool marked) {
    const QImage wanted = Picture(QStringLiteral("MenuImage"), marked);
    const QImage other = Picture(QStringLiteral("MenuImage"), !marked);
    int differing = 0;
    int matching = 0;
    for (int y = 0; y < wanted.height(); ++y)
        for (int x = 0; x < wanted.width(); ++x) {
            if (wanted.pixel(x, y) == other.pixel(x, y)) continue;
            ++differing;
            if ((shown.pixel(x, y) & 0xFFFFFF) == (wanted.pixel(x, y) & 0xFFFFFF)) ++matching;
        }
    return differing > 0 && matching * 10 >= differing * 9;
}

class ColourMarks : public MainWindowTest {
protected:
    void SetUp() override {
        Settings().MarkColours = false;
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        Settings().MarkColours = false;
    }
    // The option as the options dialog's OK leaves it.
    void SetOption(bool marked) {
        Settings().MarkColours = marked;
        Main->FollowColourMarks();
    }
    TGameForm* StartGame() {
        Main->StartNewGame();
        EXPECT_TRUE(RunUntil([this] {
            return !TWiper::AnyWipeRunning() && Main->Session() &&
                   !Main->Session()->GetGame(0)->GamePanel()->ShowPending();
        }));
        return Main->Session()->GetGame(0);
    }
    // A cell of the colour put into the well and drawn there.
    static void Put(TGameForm* game, int x, int y, int colour) {
        game->Playfield()->AddCell(x, y, TCell::cfBrick, static_cast<uint8_t>(colour));
        game->DrawCell(x, y);
    }
    // The cell pictures the game has drawn, beneath its sprites.
    static bool CellShows(TGameForm* game, int x, int y, int colour, bool marked) {
        return Shows(game->BricksImage(), QPoint(16 * x, 16 * y),
                     Picture(QStringLiteral("SmallType%1").arg(colour), marked));
    }
};

// Each session draws with the option as it was when it began: switched
// during a game, the game keeps its pictures and the next one takes the new.
TEST_F(ColourMarks, EveryPictureOfCellsFollowsTheOptionFromTheNextSession) {
    EXPECT_TRUE(TitleShowsMarks(Main->MenuPanel()->Picture(), false));
    for (const bool marked : {false, true}) {
        SCOPED_TRACE(marked ? "marked" : "plain");
        TGameForm* game = StartGame();
        game->GamePanel()->SetFramesPerSec(0);
        EXPECT_EQ(game->ColourMarked(), marked);

        // The falling brick and the next-brick view.
        TSprite* brick = game->BrickSprite();
        ASSERT_TRUE(brick);
        const QString kind = brick->objectName().mid(QStringLiteral("Sprite").size());
        EXPECT_TRUE(Shows(brick->Picture(), {}, Picture(kind, marked))) << kind.toStdString();
        const QImage next = Picture(
            QStringLiteral("BrickType%1").arg(Main->Session()->Supplier()->Peek(0)), marked);
        EXPECT_TRUE(Shows(Main->NextBrickImage->Picture(), {},
                          next.copy(0, 0, next.height(), next.height())));

        // The well's cells, one of each colour, and a cell teleported in.
        for (int c = 1; c <= 7; ++c) {
            Put(game, c, 19, c);
            EXPECT_TRUE(CellShows(game, c, 19, c, marked)) << c;
        }
        game->Playfield()->AddCell(0, 19, TCell::cfBrick, 3);
        game->StartTeleportIn(0, 19, 3);
        for (int f = 0; f < 8; ++f)
            game->GamePanel()->ComposeFrame();
        EXPECT_TRUE(CellShows(game, 0, 19, 3, marked));

        // Switched now: this game goes on as it began, the title follows.
        SetOption(!marked);
        Put(game, 8, 19, 5);
        EXPECT_TRUE(CellShows(game, 8, 19, 5, marked));

        // An area falls as it was drawn and is drawn so where it lands.
        Put(game, 4, 8, 6);
        game->Playfield()->SetMark(4, 8, -1);
        game->GamePanel()->SetFramesPerSec(TSessionCoordinator::GameFrameRate);
        game->AnimateAreaFall(4, 8, 1, 1, -1, 10);
        EXPECT_TRUE(CellShows(game, 4, 18, 6, marked));

        // The map window shows the marks as the game does.
        Main->CreatePlayfieldMapwindowMenuItemClick();
        std::unique_ptr<TPlayfieldView> map;
        for (QObject* child : Main->children())
            if (auto* view = dynamic_cast<TPlayfieldView*>(child)) map.reset(view);
        ASSERT_TRUE(map);
        EXPECT_EQ(map->ShowsColourMarks(), marked);
        map.reset();

        Main->HandleKey(VK_ESCAPE);
        ASSERT_TRUE(
            RunUntil([this] { return !Main->MenuBusy() && !Main->IsGameRunning(); }, 2000000));
        for (int i = 0; i < 20; ++i)
            Application::ProcessMessages();
        EXPECT_TRUE(TitleShowsMarks(Main->MenuPanel()->Picture(), !marked));
    }
}

} // namespace
