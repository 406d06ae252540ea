#include "PersistenceFakes.h"
#include "persistence/KeyField_KX.h"
#include "persistence/KeysPage_KX.h"
#include "persistence/OptionsF.h"
#include "platform/KeyState.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// Keys as the offscreen platform sends them: no scan code, placed as on a US keyboard.
constexpr int J = 44;

class KeysPageTest : public testing::Test {
protected:
    void SetUp() override {
        FreshStart();
        form.open();
        form.PageControl->setCurrentWidget(form.KeysPage);
        QCoreApplication::processEvents();
    }
    void TearDown() override { form.reject(); }
    TKeysPage& Page() { return *form.KeysPage; }
    // Clicks the field and presses the key in it.
    void Choose(int slot, Qt::Key key) {
        TKeyField* field = Page().Field(slot);
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_TRUE(field->Listening());
        QTest::keyClick(field, key);
    }

    FakeBackground background;
    TOptionsForm form{&background};
};

TEST_F(KeysPageTest, ShowsTheKeysInForceByName) {
    EXPECT_EQ(form.PageControl->tabText(3), "Keys");
    EXPECT_EQ(Page().Field(TKeyTable::Slot(0, 0))->text(), "Left arrow");
    EXPECT_EQ(Page().Field(TKeyTable::Slot(1, 2))->text(), "W");
    EXPECT_EQ(Page().Field(TKeyTable::PauseSlot)->text(), "P");
}

TEST_F(KeysPageTest, AChosenKeyIsTakenAndKeptOnlyByOK) {
    Choose(TKeyTable::Slot(1, 2), Qt::Key_J);
    EXPECT_EQ(Page().Field(TKeyTable::Slot(1, 2))->text(), "J");
    EXPECT_EQ(Settings().Keys, TKeyTable::Defaults()) << "nothing changes before OK";
    form.OKButton->click();
    EXPECT_EQ(Settings().Keys.PlayerKey(1, 2), J);

    // Cancel forgets a choice.
    form.open();
    QCoreApplication::processEvents();
    Choose(TKeyTable::Slot(0, 0), Qt::Key_K);
    form.CancelButton->click();
    EXPECT_EQ(Settings().Keys.PlayerKey(0, 0), ScanCode::Left);
}

TEST_F(KeysPageTest, AKeyUsedAnywhereIsRefusedNamingWhereItIsUsed) {
    struct Case {
        int slot;
        Qt::Key key;
        const char* usedFor;
    };
    const Case cases[] = {
        {TKeyTable::Slot(0, 0), Qt::Key_S, "Player two: Drop"},
        {TKeyTable::Slot(1, 1), Qt::Key_Up, "Player one: Turn"},
        {TKeyTable::PauseSlot, Qt::Key_A, "Player two: Left"},
        {TKeyTable::Slot(0, 3), Qt::Key_P, "Pause"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.usedFor);
        const uint16_t before = Page().Table().Key(c.slot);
        Choose(c.slot, c.key);
        EXPECT_EQ(Page().Table().Key(c.slot), before);
        EXPECT_TRUE(Page().MessageLabel->text().contains(QLatin1String(c.usedFor)))
            << Page().MessageLabel->text().toStdString();
        EXPECT_FALSE(Page().Table().SlotOf(before) < 0);
    }
    // Its own key again is no conflict.
    Choose(TKeyTable::Slot(0, 0), Qt::Key_Left);
    EXPECT_FALSE(Page().MessageLabel->text().contains(QLatin1String("already")));
    EXPECT_TRUE(Page().Table().IsSound());
}

TEST_F(KeysPageTest, EscapeInAFieldKeepsTheOldKeyAndTheDialogOpen) {
    Choose(TKeyTable::Slot(0, 2), Qt::Key_Escape);
    EXPECT_FALSE(Page().Field(TKeyTable::Slot(0, 2))->Listening());
    EXPECT_EQ(Page().Field(TKeyTable::Slot(0, 2))->text(), "Up arrow");
    EXPECT_EQ(Page().Table(), TKeyTable::Defaults());
    EXPECT_TRUE(form.isVisible());
    // A field that loses the focus stops listening too.
    QTest::mouseClick(Page().Field(0), Qt::LeftButton);
    Page().Field(1)->setFocus();
    EXPECT_FALSE(Page().Field(0)->Listening());
    EXPECT_EQ(Page().Field(0)->text(), "Left arrow");
}

TEST_F(KeysPageTest, DefaultsPutsBackTheDefaultKeys) {
    Choose(TKeyTable::Slot(1, 0), Qt::Key_J);
    Choose(TKeyTable::PauseSlot, Qt::Key_Space);
    ASSERT_FALSE(Page().Table() == TKeyTable::Defaults());
    Page().DefaultsButton->click();
    EXPECT_EQ(Page().Table(), TKeyTable::Defaults());
    EXPECT_EQ(Page().Field(TKeyTable::PauseSlot)->text(), "P");
    form.OKButton->click();
    EXPECT_EQ(Settings().Keys, TKeyTable::Defaults());
}
} // namespace
