#include "UiTestSupport.h"
#include "ui/RulesF.h"
#include "ui/brenmarMMForm.h"

#include <QMenuBar>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {

class MMFormTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Form.menuBar()->addMenu(QStringLiteral("&Game"));
        Form.SetClientSize(192, 416);
        Form.show();
        RunUntil([this] { return Form.isVisible(); }, 50);
    }
    TBrenmarMMForm Form;
};

TEST_F(MMFormTest, TheClientAreaFixesTheWindowSize) {
    EXPECT_EQ(Form.ClientSize(), QSize(192, 416));
    Form.SetClientSize(384, 416);
    Application::ProcessMessages();
    EXPECT_EQ(Form.ClientSize(), QSize(384, 416));
    EXPECT_EQ(Form.minimumSize(), Form.maximumSize());
}

TEST_F(MMFormTest, FullScreenAndBack) {
    const QRect windowed = Form.geometry();
    Form.GoFullScreen();
    Application::ProcessMessages();
    EXPECT_TRUE(Form.FullScreen());
    EXPECT_TRUE(Form.isFullScreen());
    EXPECT_FALSE(Form.menuBar()->isVisible());
    EXPECT_GT(Form.ClientSize().width(), 192);
    Form.BackToWindow();
    Application::ProcessMessages();
    EXPECT_FALSE(Form.FullScreen());
    EXPECT_FALSE(Form.isFullScreen());
    EXPECT_TRUE(Form.menuBar()->isVisible());
    EXPECT_EQ(Form.geometry().size(), windowed.size());
    EXPECT_EQ(Form.ClientSize(), QSize(192, 416));
}

TEST_F(MMFormTest, BackToWindowWhileWindowedIsAFailedPrecondition) {
    TestEnvironment::Dialogs().QueueAnswer(dbYes);
    Form.BackToWindow();
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log()[0].Text.contains(
        QStringLiteral("TbrenmarMMForm.BackToWindow")));
    EXPECT_FALSE(Form.FullScreen());
    EXPECT_EQ(Form.ClientSize(), QSize(192, 416));
}

TEST(RulesFormTest, ShowsTheThreeRulesAndClosesOnAKeyOrAClick) {
    TestEnvironment::Reset();
    EXPECT_EQ(TRulesForm::Headline(), QStringLiteral("The rules"));
    const QStringList rules = TRulesForm::RulesText().split(QLatin1Char('\n'));
    ASSERT_EQ(rules.size(), 3);
    EXPECT_EQ(rules[0], QStringLiteral("\u00a71 Two bobbles connecting an area of one colour makes "
                                       "the area teleport to the other player's game area."));
    EXPECT_EQ(rules[1], QStringLiteral("\u00a72 A full line does the same, except for the "
                                       "teleporting."));
    EXPECT_EQ(rules[2], QStringLiteral("\u00a73 Only the areas where the beneath support is "
                                       "removed will fall down."));
    {
        TRulesForm form;
        form.show();
        PressKey(&form, Qt::Key_X);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_FALSE(form.isVisible());
    }
    {
        TRulesForm form;
        form.show();
        Click(&form, QPoint(30, 30));
        EXPECT_FALSE(form.isVisible());
        // The shadow lies under the text: the picture is not one flat colour.
        const QImage shot = form.grab().toImage();
        EXPECT_FALSE(shot.isNull());
    }
}

} // namespace
