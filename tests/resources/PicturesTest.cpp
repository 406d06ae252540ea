#include "resources/Resources_KX.h"
#include "support/TestEnvironment.h"

#include <QColor>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {
struct ExpectedPicture {
    const char* Name;
    int Width, Height, Frames;
};

// Every built-in picture with its size and the number of frames side by side.
const ExpectedPicture pictures[] = {
    {"GameBkgJPEGImage", 160, 320, 1},
    {"MenuImage", 160, 314, 1},
    {"MarkedMenuImage", 160, 314, 1},
    {"FrameImage", 192, 416, 1},
    {"ShowBkgJPEGImage", 160, 320, 1},
    {"SplashImage", 256, 112, 1},
    {"SmallType1", 16, 16, 1},
    {"SmallType2", 16, 16, 1},
    {"SmallType3", 16, 16, 1},
    {"SmallType4", 16, 16, 1},
    {"SmallType5", 16, 16, 1},
    {"SmallType6", 16, 16, 1},
    {"SmallType7", 16, 16, 1},
    {"SmallType8", 16, 16, 1},
    {"MarkedSmallType1", 16, 16, 1},
    {"MarkedSmallType2", 16, 16, 1},
    {"MarkedSmallType3", 16, 16, 1},
    {"MarkedSmallType4", 16, 16, 1},
    {"MarkedSmallType5", 16, 16, 1},
    {"MarkedSmallType6", 16, 16, 1},
    {"MarkedSmallType7", 16, 16, 1},
    {"GlassImage", 16, 16, 1},
    {"Zap", 160, 16, 8},
    {"BrickType0", 192, 48, 4},
    {"BrickType1", 192, 48, 4},
    {"BrickType2", 192, 48, 4},
    {"BrickType3", 192, 48, 4},
    {"BrickType4", 192, 48, 4},
    {"BrickType5", 256, 64, 4},
    {"BrickType6", 192, 48, 4},
    {"MarkedBrickType0", 192, 48, 4},
    {"MarkedBrickType1", 192, 48, 4},
    {"MarkedBrickType2", 192, 48, 4},
    {"MarkedBrickType3", 192, 48, 4},
    {"MarkedBrickType4", 192, 48, 4},
    {"MarkedBrickType5", 256, 64, 4},
    {"MarkedBrickType6", 192, 48, 4},
    {"LogoImage", 43, 256, 1},
    {"StartImage", 102, 37, 1},
    {"TopScoreImage", 102, 30, 1},
    {"CreditsImage", 102, 30, 1},
    {"BlueTinselSprite", 25, 5, 5},
    {"RedTinselSprite", 25, 5, 5},
    {"PurpleTinselSprite", 25, 5, 5},
    {"TyperMagicA1", 88, 32, 4},
    {"TyperMagicA2", 88, 32, 4},
    {"TyperMagicA3", 88, 32, 4},
    {"TyperMagicB1", 88, 32, 4},
    {"TyperMagicB2", 88, 32, 4},
    {"TyperMagicB3", 88, 32, 4},
    {"RowsSprite", 32, 8, 4},
    {"TimeSprite", 32, 8, 4},
    {"LevelMark", 24, 24, 1},
    {"CounterClockwiseGlyph", 32, 32, 1},
    {"ClockwiseGlyph", 32, 32, 1},
    {"KolvexIcon", 64, 64, 1},
};

bool IsBlack(QRgb c) {
    return (c & 0x00ffffff) == 0;
}

int OpaquePixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += !IsBlack(img.pixel(x, y));
    return n;
}

class Pictures : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
};

TEST_F(Pictures, EveryPictureIsBuiltInWithItsSize) {
    QSet<QString> expected;
    for (const ExpectedPicture& p : pictures) {
        expected << QLatin1String(p.Name);
        const QImage img = LoadResourcePicture(QLatin1String(p.Name));
        ASSERT_FALSE(img.isNull()) << p.Name;
        EXPECT_EQ(img.size(), QSize(p.Width, p.Height)) << p.Name;
        EXPECT_EQ(img.width() % p.Frames, 0) << p.Name;
    }
    const QStringList names = ResourcePictureNames();
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()), expected);
}

TEST_F(Pictures, BackgroundsAndTitlesAreJpegPicturesThatLibjpegDecodes) {
    for (const char* name :
         {"GameBkgJPEGImage", "MenuImage", "FrameImage", "ShowBkgJPEGImage", "SplashImage"}) {
        EXPECT_TRUE(IsJpegPicture(QLatin1String(name))) << name;
        const QByteArray data = ResourcePictureData(QLatin1String(name));
        ASSERT_TRUE(data.startsWith("\xff\xd8")) << name;
        const QImage img = DecodeJpegPicture(data);
        EXPECT_EQ(img.format(), QImage::Format_RGB32) << name;
        EXPECT_EQ(img, LoadResourcePicture(QLatin1String(name))) << name;
    }
    EXPECT_FALSE(IsJpegPicture(QStringLiteral("SmallType1")));
}

TEST_F(Pictures, DamagedJpegDataDecodesToNothing) {
    const QByteArray good = ResourcePictureData(QStringLiteral("MenuImage"));
    EXPECT_TRUE(DecodeJpegPicture(QByteArray()).isNull());
    EXPECT_TRUE(DecodeJpegPicture(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(DecodeJpegPicture(good.left(200)).isNull());
    QByteArray scrambled = good;
    for (qsizetype i = 2; i < 60 && i < scrambled.size(); ++i)
        scrambled[i] = char(0x5a);
    EXPECT_TRUE(DecodeJpegPicture(scrambled).isNull());
}

TEST_F(Pictures, UnknownNamesGiveNothing) {
    EXPECT_TRUE(LoadResourcePicture(QStringLiteral("NoSuchPicture")).isNull());
    EXPECT_TRUE(LoadResourcePicture(QString()).isNull());
    EXPECT_TRUE(ResourcePictureData(QStringLiteral("NoSuchPicture")).isEmpty());
    EXPECT_TRUE(ResourceCursorPicture(QStringLiteral("NOSUCH")).isNull());
    EXPECT_TRUE(ResourceSoundData(QStringLiteral("NOSUCH")).isEmpty());
}

// Pure black is the transparent colour of the masked pictures: the cells and
// the opaque pictures must not use it anywhere.
TEST_F(Pictures, OpaquePicturesHaveNoPureBlack) {
    for (const char* name :
         {"SmallType1", "SmallType2", "SmallType3", "SmallType4", "SmallType5", "SmallType6",
          "SmallType7", "SmallType8", "MarkedSmallType1", "MarkedSmallType2", "MarkedSmallType3",
          "MarkedSmallType4", "MarkedSmallType5", "MarkedSmallType6", "MarkedSmallType7",
          "StartImage", "TopScoreImage", "CreditsImage", "LogoImage"}) {
        const QImage img = LoadResourcePicture(QLatin1String(name));
        EXPECT_EQ(OpaquePixels(img, img.rect()), img.width() * img.height()) << name;
    }
}

TEST_F(Pictures, TheBobbleIsARoundBeadOfGlass) {
    const QImage glass = LoadResourcePicture(QStringLiteral("GlassImage"));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double d = std::hypot(x - 7.5, y - 7.5);
            if (d < 7) {
                EXPECT_FALSE(IsBlack(glass.pixel(x, y))) << x << "," << y;
            } else if (d > 8) {
                EXPECT_TRUE(IsBlack(glass.pixel(x, y))) << x << "," << y;
            }
        }
    // Glass, not a colour: a bright highlight, and a body much darker than it.
    int brightest = 0, darkest = 255;
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x) {
            const int v = qGray(glass.pixel(x, y));
            brightest = std::max(brightest, v);
            darkest = std::min(darkest, v);
        }
    EXPECT_GT(brightest, 220);
    EXPECT_LT(darkest, 90);
}

QColor Face(const QImage& img) {
    // The middle of the cell, away from its rim and glint.
    double r = 0, g = 0, b = 0;
    for (int y = 6; y < 11; ++y)
        for (int x = 6; x < 11; ++x) {
            r += qRed(img.pixel(x, y));
            g += qGreen(img.pixel(x, y));
            b += qBlue(img.pixel(x, y));
        }
    return QColor(int(r / 25), int(g / 25), int(b / 25));
}

double Distance(QRgb a, QRgb b) {
    return std::sqrt(std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) +
                     std::pow(qBlue(a) - qBlue(b), 2));
}

TEST_F(Pictures, TheCellsOfTheSevenKindsAndTheCleanCellAreDistinct) {
    std::vector<QColor> kinds;
    for (int c = 1; c <= 7; ++c)
        kinds.push_back(Face(LoadResourcePicture(QStringLiteral("SmallType%1").arg(c))));
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_GT(kinds[i].hsvSaturationF(), 0.5) << "colour " << i + 1 << " is washed out";
        for (size_t j = i + 1; j < kinds.size(); ++j) {
            const int apart = std::abs(kinds[i].hsvHue() - kinds[j].hsvHue());
            EXPECT_GE(std::min(apart, 360 - apart), 20)
                << "colours " << i + 1 << " and " << j + 1 << " look alike";
        }
    }
    const QColor clean = Face(LoadResourcePicture(QStringLiteral("SmallType8")));
    const QColor glass = Face(LoadResourcePicture(QStringLiteral("GlassImage")));
    EXPECT_LT(clean.hsvSaturationF(), 0.25);
    EXPECT_GT(Distance(clean.rgb(), glass.rgb()), 60);
}

// Each frame of a strip shows something, and the frames differ.
void ExpectAnimated(const QString& name, int frames, int frameWidth, int shownWidth) {
    const QImage img = LoadResourcePicture(name);
    ASSERT_FALSE(img.isNull()) << qPrintable(name);
    QSet<QByteArray> seen;
    for (int f = 0; f < frames; ++f) {
        const QRect shown(f * frameWidth, 0, shownWidth, img.height());
        EXPECT_GT(OpaquePixels(img, shown), 0) << qPrintable(name) << " frame " << f;
        const QImage frame = img.copy(shown);
        seen << QByteArray(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes());
    }
    EXPECT_EQ(seen.size(), frames) << qPrintable(name) << ": frames repeat";
}

TEST_F(Pictures, SpriteStripsAnimateThroughEveryFrame) {
    for (const char* name : {"BlueTinselSprite", "RedTinselSprite", "PurpleTinselSprite"})
        ExpectAnimated(QLatin1String(name), 5, 5, 5);
    for (const char* name : {"TyperMagicA1", "TyperMagicA2", "TyperMagicA3", "TyperMagicB1",
                             "TyperMagicB2", "TyperMagicB3"})
        ExpectAnimated(QLatin1String(name), 4, 22, 22);
    ExpectAnimated(QStringLiteral("RowsSprite"), 4, 8, 8);
    ExpectAnimated(QStringLiteral("TimeSprite"), 4, 8, 8);
    // The zap sprite is 16 x 16 and shows the left part of each 20-pixel frame.
    ExpectAnimated(QStringLiteral("Zap"), 8, 20, 16);
}

TEST_F(Pictures, TheZapFlashCoversTheCellBeforeItIsErasedAndFadesAfterwards) {
    const QImage zap = LoadResourcePicture(QStringLiteral("Zap"));
    for (int f = 0; f < 8; ++f)
        EXPECT_EQ(OpaquePixels(zap, QRect(f * 20 + 16, 0, 4, 16)), 0) << "frame " << f;
    const int burst = OpaquePixels(zap, QRect(40, 0, 16, 16));
    EXPECT_GT(burst, 100);
    EXPECT_LT(OpaquePixels(zap, QRect(140, 0, 16, 16)), burst / 4);
}

TEST_F(Pictures, TheLevelMarkFramesTheDigitAndLeavesItsMiddleClear) {
    const QImage mark = LoadResourcePicture(QStringLiteral("LevelMark"));
    EXPECT_EQ(OpaquePixels(mark, QRect(4, 4, 16, 16)), 0);
    EXPECT_GT(OpaquePixels(mark, QRect(0, 10, 3, 4)), 10);
    EXPECT_GT(OpaquePixels(mark, QRect(21, 10, 3, 4)), 10);
}

TEST_F(Pictures, TheHighlightedChoicesSitSeamlesslyOnTheMenu) {
    const QImage menu = LoadResourcePicture(QStringLiteral("MenuImage"));
    const struct {
        const char* Name;
        QRect Place;
    } choices[] = {{"StartImage", {30, 72, 102, 37}},
                   {"TopScoreImage", {30, 110, 102, 30}},
                   {"CreditsImage", {30, 141, 102, 30}}};
    for (const auto& c : choices) {
        const QImage img = LoadResourcePicture(QLatin1String(c.Name));
        // The outer pixel ring is the menu's own ground (up to JPEG loss), the
        // middle is a lit version of the choice.
        double edge = 0, middle = 0;
        int edgeCount = 0, middleCount = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const double d =
                    Distance(img.pixel(x, y), menu.pixel(c.Place.x() + x, c.Place.y() + y));
                if (x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1) {
                    edge += d;
                    ++edgeCount;
                } else if (x > 10 && x < img.width() - 10 && y > 6 && y < img.height() - 6) {
                    middle += d;
                    ++middleCount;
                }
            }
        EXPECT_LT(edge / edgeCount, 12) << c.Name;
        EXPECT_GT(middle / middleCount, 60) << c.Name;
    }
}

TEST_F(Pictures, TheSplashLeavesALightPlaceForTheBlackVersionNumber) {
    const QImage splash = LoadResourcePicture(QStringLiteral("SplashImage"));
    for (int y = 31; y < 46; ++y)
        for (int x = 185; x < 228; ++x)
            EXPECT_GT(qGray(splash.pixel(x, y)), 150) << x << "," << y;
}
// A mark is engraved into the middle of the face only: the rims and the
// glint stay as they are, and no two colours share a mark's shape.
TEST_F(Pictures, EachColourHasAMarkOfItsOwnClearOfTheGlintAndRims) {
    const QRect face(5, 5, 8, 8);
    std::vector<QSet<int>> shapes;
    for (int c = 1; c <= 7; ++c) {
        const QImage plain = LoadResourcePicture(QStringLiteral("SmallType%1").arg(c));
        const QImage marked = LoadResourcePicture(QStringLiteral("MarkedSmallType%1").arg(c));
        QSet<int> shape;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (plain.pixel(x, y) == marked.pixel(x, y)) continue;
                EXPECT_TRUE(face.contains(x, y)) << "colour " << c << " at " << x << "," << y;
                shape << y * 16 + x;
            }
        EXPECT_GE(shape.size(), 12) << "colour " << c;
        for (const QSet<int>& other : shapes) {
            QSet<int> differ = shape;
            differ.unite(other).subtract(QSet<int>(shape).intersect(other));
            EXPECT_GE(differ.size(), 8) << "colour " << c;
        }
        shapes.push_back(shape);
    }
}
} // namespace
