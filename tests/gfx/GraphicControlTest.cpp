#include "GfxTestSupport.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "platform/Cursors.h"

#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

using namespace GfxTest;

namespace {

class GraphicControlTest : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
    static QImage Window(QWidget& widget) {
        return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static int CountColour(const QImage& image, const QRect& r, QRgb colour) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixel(x, y) == colour) ++n;
        return n;
    }
};

} // namespace

TEST_F(GraphicControlTest, ALabelFloatsOverThePanelPictureInItsFont) {
    ShownPanel shown(Solid(120, 40, 0xFF000080));
    auto* label = new TLabel(&shown.Panel);
    label->SetFont(MakeFont(QStringLiteral("Liberation Sans"), 13, true, true, Qt::white));
    label->SetCaption(QStringLiteral("12345"));
    label->SetLeft(4);
    EXPECT_EQ(label->Height(), QFontMetrics(label->Font().Font).height());
    EXPECT_EQ(label->Width(), QFontMetrics(label->Font().Font).horizontalAdvance("12345"));
    const QImage window = Window(shown.Panel);
    EXPECT_GT(CountColour(window, label->BoundsRect(), 0xFFFFFFFF), 10);
    // Transparent: between the glyphs the picture shows.
    EXPECT_GT(CountColour(window, label->BoundsRect(), 0xFF000080), 10);
    // Not part of the composed picture.
    EXPECT_EQ(CountColour(shown.Panel.Picture(), shown.Panel.Picture().rect(), 0xFFFFFFFF), 0);
    label->SetVisible(false);
    EXPECT_EQ(CountColour(Window(shown.Panel), label->BoundsRect(), 0xFFFFFFFF), 0);
}

TEST_F(GraphicControlTest, LabelsPaintInChildOrderAndAnOpaqueOneFillsItsRectangle) {
    ShownPanel shown(Solid(100, 40, 0xFF000000));
    const TTextFont font = MakeFont(QStringLiteral("Liberation Serif"), 32, true, false, Qt::white);
    auto* back = new TLabel(&shown.Panel);
    back->SetFont(font);
    back->SetCaption(QStringLiteral("I"));
    auto* front = new TLabel(&shown.Panel);
    front->SetFont(
        MakeFont(QStringLiteral("Liberation Serif"), 32, true, false, QColor(255, 0, 0)));
    front->SetCaption(QStringLiteral("I"));
    const QImage window = Window(shown.Panel);
    EXPECT_EQ(CountColour(window, back->BoundsRect(), 0xFFFFFFFF), 0);
    EXPECT_GT(CountColour(window, back->BoundsRect(), 0xFFFF0000), 10);
    front->SetCaption(QString());
    front->SetTransparent(false);
    front->SetAutoSize(false);
    front->SetBounds(50, 5, 20, 20);
    front->SetColor(QColor(0, 255, 0));
    EXPECT_EQ(CountColour(Window(shown.Panel), QRect(50, 5, 20, 20), 0xFF00FF00), 400);
}

TEST_F(GraphicControlTest, TheTopMostEnabledControlTakesTheMouseAndADisabledOneLetsItThrough) {
    QWidget form;
    form.resize(100, 100);
    std::vector<QString> log;
    auto* lower = new TSImage(&form);
    lower->SetBounds(10, 10, 40, 40);
    lower->OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        log.push_back(QStringLiteral("lower down %1,%2").arg(x).arg(y));
    };
    lower->OnClick = [&](QObject*) { log.push_back(QStringLiteral("lower click")); };
    auto* upper = new TSImage(&form);
    upper->SetBounds(30, 30, 40, 40);
    upper->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, upper);
        log.push_back(QStringLiteral("upper click"));
    };
    form.show();
    RunUntil([&] { return form.isVisible(); }, 10);
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(35, 35));
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(15, 20));
    upper->SetEnabled(false);
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(35, 35));
    upper->SetVisible(false);
    upper->SetEnabled(true);
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(45, 45));
    EXPECT_EQ(log, (std::vector<QString>{"upper click", "lower down 5,10", "lower click",
                                         "lower down 25,25", "lower click", "lower down 35,35",
                                         "lower click"}));
}

TEST_F(GraphicControlTest, AClickOnNoControlReachesThePanel) {
    ShownPanel shown(Solid(60, 60, 0xFF000000));
    auto* image = new TSImage(&shown.Panel);
    image->SetBounds(0, 0, 20, 20);
    int panelClicks = 0;
    int imageClicks = 0;
    shown.Panel.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &shown.Panel);
        ++panelClicks;
    };
    image->OnClick = [&](QObject*) { ++imageClicks; };
    QTest::mouseClick(&shown.Panel, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseClick(&shown.Panel, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(panelClicks, 1);
    EXPECT_EQ(imageClicks, 1);
}

TEST_F(GraphicControlTest, TheParentShowsTheCursorOfTheControlUnderThePointer) {
    QWidget form;
    form.resize(100, 100);
    form.setCursor(Qt::IBeamCursor);
    auto* image = new TSImage(&form);
    image->SetBounds(10, 10, 20, 20);
    image->SetCursor(crHandPoint);
    form.show();
    QTest::mouseMove(&form, QPoint(15, 15));
    EXPECT_EQ(form.cursor().shape(), Cursors::Get(crHandPoint).shape());
    QTest::mouseMove(&form, QPoint(60, 60));
    EXPECT_EQ(form.cursor().shape(), Qt::IBeamCursor);
}

TEST_F(GraphicControlTest, ControlsMoveBetweenParentsAndOutliveThem) {
    auto* first = new QWidget;
    QWidget second;
    QWidget owner;
    QPointer<TSImage> image = new TSImage(&owner);
    image->SetParent(first);
    EXPECT_EQ(image->Parent(), first);
    EXPECT_EQ(image->ChildIndex(), 0);
    image->SetParent(&second);
    EXPECT_TRUE(TGraphicHost::Of(first)->Controls().empty());
    EXPECT_EQ(TGraphicHost::Of(&second)->Controls().front(), image.data());
    image->SetParent(first);
    delete first;
    ASSERT_FALSE(image.isNull()) << "the owner frees it, not the parent";
    EXPECT_EQ(image->Parent(), nullptr);
    image->SetLeft(5); // no parent to tell any more
}
