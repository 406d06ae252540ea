#include "platform/Cursors.h"
#include "resources/Resources_KX.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QFontInfo>
#include <QPixmap>
#include <QRawFont>
#include <gtest/gtest.h>

namespace {
TEST(Cursors, TheFiveAreBuiltInWithHotSpotsOnTheirShapes) {
    TestEnvironment::Reset();
    EXPECT_EQ(ResourceCursorNames().size(), 5);
    for (const char* name : {"ARROWD", "HAMMER", "FLIP", "BMHAND"}) {
        int x = -1, y = -1;
        const QImage img = ResourceCursorPicture(QLatin1String(name), &x, &y);
        ASSERT_EQ(img.size(), QSize(32, 32)) << name;
        ASSERT_TRUE(img.rect().contains(x, y)) << name;
        // The hot spot is on the drawn shape or right beside it.
        bool near = false;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (img.rect().contains(x + i, y + j) && qAlpha(img.pixel(x + i, y + j)) == 255)
                    near = true;
        EXPECT_TRUE(near) << name;
        const QCursor cursor = LoadResourceCursor(QLatin1String(name));
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << name;
        EXPECT_EQ(cursor.hotSpot(), QPoint(x, y)) << name;
    }
    // The arrow points at its very tip.
    int ax = -1, ay = -1;
    ResourceCursorPicture(QStringLiteral("ARROWD"), &ax, &ay);
    EXPECT_EQ(QPoint(ax, ay), QPoint(0, 0));
}

TEST(Cursors, InvisIsFullyTransparent) {
    const QImage img = ResourceCursorPicture(QStringLiteral("invis"));
    ASSERT_EQ(img.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(qAlpha(img.pixel(x, y)), 0);
}

TEST(StartUp, InstallsCursorsByNumberFontsAndSubstitutions) {
    TestEnvironment::Reset();
    ASSERT_TRUE(InstallResources());
    const char* const numbered[] = {"ARROWD", "HAMMER", "FLIP", "INVIS", "BMHAND"};
    for (int i = 0; i < Cursors::Count; ++i) {
        int x = 0, y = 0;
        ResourceCursorPicture(QLatin1String(numbered[i]), &x, &y);
        const QCursor c = Cursors::Get(i);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << i;
        EXPECT_EQ(c.hotSpot(), QPoint(x, y)) << i;
    }
    EXPECT_EQ(ResourceFontFiles().size(), 12);
    const struct {
        const char* Asked;
        const char* Given;
    } fonts[] = {{"Courier New", "Liberation Mono"},
                 {"Arial", "Liberation Sans"},
                 {"Times New Roman", "Liberation Serif"}};
    for (const auto& f : fonts) {
        QFont font(QLatin1String(f.Asked));
        font.setPixelSize(24);
        font.setBold(true);
        EXPECT_EQ(QFontInfo(font).family(), QLatin1String(f.Given)) << f.Asked;
    }
    // Courier New's stand-in is monospaced, so the score table lines up.
    QFont mono(QStringLiteral("Courier New"));
    mono.setPixelSize(16);
    EXPECT_TRUE(QFontInfo(mono).fixedPitch());
}

// The fonts are cut down to Windows-1252: every character of it is drawn by
// the game's own fonts (score names are Latin-1), none by a fallback.
TEST(StartUp, EveryBuiltInFontDrawsEveryCharacterOfWindows1252) {
    QString characters = QString::fromUtf8("\u20ac\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030"
                                           "\u0160\u2039\u0152\u017d\u2018\u2019\u201c\u201d"
                                           "\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153"
                                           "\u017e\u0178");
    for (int c = 0x20; c <= 0xff; ++c)
        if (c < 0x7f || c >= 0xa0) characters += QChar(c);
    for (const QString& file : ResourceFontFiles()) {
        QFile data(file);
        ASSERT_TRUE(data.open(QIODevice::ReadOnly)) << qPrintable(file);
        const QRawFont font(data.readAll(), 16);
        ASSERT_TRUE(font.isValid()) << qPrintable(file);
        for (const QChar c : characters)
            EXPECT_TRUE(font.supportsCharacter(c)) << qPrintable(file) << " U+" << std::hex << int{c.unicode()};
    }
}
} // namespace

// The program's arrow is every window's cursor, menus included; a widget with
// a cursor of its own keeps it.
TEST(StartUp, TheProgramsArrowIsTheDefaultCursorOfEveryWindow) {
    TestEnvironment::Reset();
    ASSERT_TRUE(InstallResources());
    QWidget window;
    QLineEdit edit(&window);
    QMenu menu;
    window.show();
    menu.addAction(QStringLiteral("item"));
    menu.popup(QPoint(0, 0));
    EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window.cursor().pixmap().toImage(), Cursors::Get(crArrowD).pixmap().toImage());
    EXPECT_EQ(menu.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(edit.cursor().shape(), Qt::IBeamCursor);
    menu.close();
}
