#include "FlowTestSupport.h"
#include "flow/GfxF.h"
#include "gfx/Sprite.h"

#include <QPointer>

using namespace FlowTest;

namespace {
constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

bool CellPictured(const TGameForm* game, int x, int y) {
    return (game->MaskImage().pixel(16 * x + 8, 16 * y + 8) & 0xFFFFFF) == 0;
}

// The sprite most recently created on the game's panel.
TSprite* NewestSprite(TGameForm* game) {
    const auto& controls = game->GamePanel()->Host()->Controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if (auto* sprite = dynamic_cast<TSprite*>(*it)) return sprite;
    return nullptr;
}
} // namespace

class Animations : public GameTest {};

TEST_F(Animations, AZapErasesTheCellPictureAtItsThirdFrameAndTheCellAtItsEnd) {
    TGameForm* game = Start();
    Hold(game);
    Fill(game, {QStringLiteral(".5........")});
    ASSERT_TRUE(CellPictured(game, 1, 19));
    game->SetPendingZaps(1);
    game->StartZap(1, 19);
    QPointer<TSprite> zap = NewestSprite(game);
    ASSERT_TRUE(zap);
    EXPECT_EQ(zap->Tag(), 1019);
    // Delay 1: frames 0, 0, 1, 1, then frame 2 is shown on the fifth panel frame.
    Frame(game, 4);
    EXPECT_TRUE(CellPictured(game, 1, 19));
    Frame(game);
    EXPECT_EQ(zap->Animation().CurrentFrame(), 2);
    EXPECT_FALSE(CellPictured(game, 1, 19));
    EXPECT_EQ(game->BricksImage().pixel(16 + 8, 16 * 19 + 8), Black);
    EXPECT_EQ(game->MaskImage().pixel(16 + 8, 16 * 19 + 8), White);
    EXPECT_TRUE(game->Playfield()->IsOccupied(1, 19));
    // Frame 7 is reached on the fourteenth frame and the zap ends two frames later.
    Frame(game, 10);
    EXPECT_TRUE(game->Playfield()->IsOccupied(1, 19));
    EXPECT_EQ(game->PendingZaps(), 1);
    Frame(game);
    EXPECT_FALSE(game->Playfield()->IsOccupied(1, 19));
    EXPECT_EQ(game->PendingZaps(), 0);
    Frame(game);
    EXPECT_FALSE(zap) << "a finished zap is freed at the next frame";
}

TEST_F(Animations, AZapDoesNotTakeACellThatWasTeleportedInWhileItRan) {
    TGameForm* game = Start();
    Hold(game);
    game->SetPendingZaps(1);
    game->StartZap(6, 12);
    Frame(game, 6);
    game->Playfield()->AddCell(6, 12, TCell::cfBrick, 4);
    game->StartTeleportIn(6, 12, 4);
    Frame(game, 12);
    EXPECT_EQ(game->PendingZaps(), 0);
    ASSERT_TRUE(game->Playfield()->IsOccupied(6, 12));
    EXPECT_TRUE(CellPictured(game, 6, 12));
}

TEST_F(Animations, ATeleportedCellIsDrawnAtTheFourthFrameOnlyIfItIsStillThere) {
    TGameForm* game = Start();
    Hold(game);
    game->Playfield()->AddCell(2, 15, TCell::cfBrick, 6);
    game->StartTeleportIn(2, 15, 6);
    QPointer<TSprite> teleport = NewestSprite(game);
    ASSERT_TRUE(teleport);
    EXPECT_EQ(teleport->Tag(), 6002015);
    Frame(game, 6);
    EXPECT_FALSE(CellPictured(game, 2, 15));
    Frame(game);
    EXPECT_EQ(teleport->Animation().CurrentFrame(), 3);
    EXPECT_TRUE(CellPictured(game, 2, 15));
    Frame(game, 10);
    EXPECT_FALSE(teleport);

    // Removed again before frame 3: nothing is drawn.
    game->Playfield()->AddCell(7, 16, TCell::cfBrick, 2);
    game->StartTeleportIn(7, 16, 2);
    Frame(game, 2);
    game->Playfield()->SetCell(7, 16, nullptr);
    Frame(game, 12);
    EXPECT_FALSE(CellPictured(game, 7, 16));
}

TEST_F(Animations, AGlassBobbleLeavesThePlayfieldAtOnceAndRisesOffThePanel) {
    TGameForm* game = Start();
    Hold(game);
    Fill(game, {QStringLiteral("....B.....")});
    game->StartGlass(4, 19);
    EXPECT_FALSE(game->Playfield()->IsOccupied(4, 19));
    EXPECT_FALSE(CellPictured(game, 4, 19));
    QPointer<TSprite> glass = NewestSprite(game);
    ASSERT_TRUE(glass);
    Frame(game);
    EXPECT_EQ(glass->Top(), 16 * 19 - 2);
    EXPECT_LE(std::abs(glass->Left() - 64), 1);
    Frame(game, 170);
    EXPECT_FALSE(glass);
}

class AreaFall : public GameTest {
protected:
    struct Run {
        std::vector<int> Tops;
        int SoundCall = -1;
        int EndCall = -1;
    };
    // Calls the fall's frame handler until it reports the end.
    Run Fall(TGameForm* game, int distance) {
        TSprite sprite(nullptr);
        sprite.SetBounds(0, 0, 16, 16);
        sprite.SetUserData2(0);
        sprite.SetUserData3(distance);
        Run run;
        for (int call = 0; call < 200 && run.EndCall < 0; ++call) {
            Sounds.clear();
            game->FallSpritePerform(&sprite);
            if (Sounds.contains(QStringLiteral("FLIP1"))) run.SoundCall = call;
            if (sprite.UserData4() != 0) {
                EXPECT_TRUE(game->FallAnimDone());
                run.EndCall = call;
            }
            run.Tops.push_back(sprite.Top());
        }
        return run;
    }
};

TEST_F(AreaFall, OneRowBouncesOnceWithTheImpactAtItsSixthFrame) {
    TGameForm* game = Start();
    Hold(game);
    const Run run = Fall(game, 1);
    EXPECT_EQ(run.SoundCall, 5);
    EXPECT_EQ(run.EndCall, 7);
    EXPECT_EQ(run.Tops, (std::vector<int>{1, 3, 6, 11, 16, 15, 15, 15}));
}

TEST_F(AreaFall, TenRowsAccelerateGlideAndBounceWithTheImpactAtFrameSeventeen) {
    TGameForm* game = Start();
    Hold(game);
    const Run run = Fall(game, 10);
    EXPECT_EQ(run.SoundCall, 17);
    EXPECT_EQ(run.EndCall, 51);
    EXPECT_EQ(run.Tops[10], 64);
    for (int f = 11; f <= 16; ++f)
        EXPECT_EQ(run.Tops[f] - run.Tops[f - 1], 16) << f;
    // The travel is one pixel short of 16 x 10; the cells are then drawn at their exact place.
    EXPECT_EQ(run.Tops.back(), 159);
}

TEST_F(AreaFall, EveryDistanceTravelsOnePixelShortOfItsRows) {
    TGameForm* game = Start();
    Hold(game);
    for (int d = 1; d <= 19; ++d) {
        const Run run = Fall(game, d);
        EXPECT_EQ(run.Tops.back(), 16 * d - 1) << d;
        EXPECT_GT(run.SoundCall, 0) << d;
        ASSERT_GT(run.EndCall, run.SoundCall) << d;
    }
}

TEST_F(AreaFall, AnAreaIsCutOutShownFallingAndDrawnAtItsNewPlace) {
    TGameForm* game = Start();
    Hold(game);
    Release(game);
    Fill(game, {QStringLiteral("...66....."), QStringLiteral(".........."),
                QStringLiteral(".........."), QStringLiteral("..........")});
    TPlayfield& field = *game->Playfield();
    field.SetMark(3, 16, -1);
    field.SetMark(4, 16, -1);
    Sounds.clear();
    game->AnimateAreaFall(3, 16, 2, 1, -1, 3);
    EXPECT_EQ(Row(game, 16), QStringLiteral(".........."));
    EXPECT_EQ(Row(game, 19), QStringLiteral("...66....."));
    EXPECT_FALSE(CellPictured(game, 3, 16));
    EXPECT_TRUE(CellPictured(game, 3, 19));
    EXPECT_TRUE(CellPictured(game, 4, 19));
    EXPECT_EQ(Sounds.count(QStringLiteral("FLIP1")), 1);
    // The panel shows the background where the area stood.
    const QImage& clean = Host().GfxForm()->GameBackground();
    EXPECT_EQ(game->GamePanel()->BackgroundCopy().pixel(3 * 16 + 5, 16 * 16 + 5),
              clean.pixel(3 * 16 + 5, 16 * 16 + 5));
}
