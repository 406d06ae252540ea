#include "PersistenceFakes.h"
#include "persistence/OptionsF.h"
#include "sound/Sound_KX.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
class OptionsFormTest : public testing::Test {
protected:
    void SetUp() override {
        FreshStart();
        Settings().RotationDirectionClockwise = false;
        Settings().Speed = 1;
        Settings().SoundEffectEnabled = true;
        Settings().GameMusicNo = 2;
        EnableSounds();
    }

    // Shows the dialog as the Options menu does, without blocking the test.
    void Show() {
        form.open();
        QCoreApplication::processEvents();
    }

    FakeBackground background;
    TOptionsForm form{&background};
};

TEST_F(OptionsFormTest, HasItsFourPagesAndHidesTheStoredOnlyControls) {
    EXPECT_EQ(form.windowTitle(), "Options");
    ASSERT_EQ(form.PageControl->count(), 4);
    EXPECT_EQ(form.PageControl->tabText(0), "Game");
    EXPECT_EQ(form.PageControl->tabText(1), "Graphics");
    EXPECT_EQ(form.PageControl->tabText(2), "Audio");
    EXPECT_EQ(form.PageControl->tabText(3), "Keys");
    EXPECT_EQ(form.SpeedFactorRadioGroup->title(), "&Nastiness");
    EXPECT_EQ(form.SpeedButtons[2]->text(), "Too &fast (self torture!)");
    Show();
    EXPECT_TRUE(form.OKButton->isDefault());
    EXPECT_TRUE(form.OKButton->isVisible());
    EXPECT_TRUE(form.CancelButton->isVisible());
    EXPECT_FALSE(form.HelpButton->isVisible());
    EXPECT_TRUE(form.cbShowLandingSpot->isHidden());
    EXPECT_TRUE(form.cdMIDIMusicEnabled->isHidden());
    EXPECT_TRUE(form.GameMusicGroup->isHidden());
    EXPECT_FALSE(form.cbShowGridLines->isHidden());
    EXPECT_EQ(form.cbMarkColours->text(), "Mark the &colours");
    EXPECT_FALSE(form.cbMarkColours->isHidden());
    EXPECT_FALSE(form.cbSoundEffectEnabled->isHidden());
}

TEST_F(OptionsFormTest, ShowingSetsEveryControlFromTheSettings) {
    Show();
    EXPECT_TRUE(form.CounterClockwiseButton->isChecked());
    EXPECT_FALSE(form.ClockwiseButton->isChecked());
    EXPECT_TRUE(form.SpeedButtons[1]->isChecked());
    EXPECT_FALSE(form.cbShowGridLines->isChecked());
    EXPECT_FALSE(form.cbMarkColours->isChecked());
    EXPECT_TRUE(form.cbSoundEffectEnabled->isChecked());
    form.reject();

    // Changed elsewhere (a replay) before the next showing.
    Settings().RotationDirectionClockwise = true;
    Settings().Speed = 0;
    Settings().SoundEffectEnabled = false;
    Settings().MarkColours = true;
    Show();
    EXPECT_TRUE(form.cbMarkColours->isChecked());
    EXPECT_TRUE(form.ClockwiseButton->isChecked());
    EXPECT_FALSE(form.CounterClockwiseButton->isChecked());
    EXPECT_TRUE(form.SpeedButtons[0]->isChecked());
    EXPECT_FALSE(form.cbSoundEffectEnabled->isChecked());
}

TEST_F(OptionsFormTest, OKTakesEveryValueAndAppliesThem) {
    Show();
    form.ClockwiseButton->click();
    EXPECT_FALSE(form.CounterClockwiseButton->isChecked());
    form.SpeedButtons[2]->click();
    form.cbShowGridLines->click();
    form.cbMarkColours->click();
    form.cbSoundEffectEnabled->click();
    form.OKButton->click();

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(Settings().RotationDirectionClockwise);
    EXPECT_EQ(Settings().Speed, 2);
    EXPECT_TRUE(Settings().ShowGridLines);
    EXPECT_TRUE(Settings().MarkColours);
    EXPECT_FALSE(Settings().SoundEffectEnabled);
    EXPECT_EQ(Settings().GameMusicNo, 2); // the empty music list selects nothing
    EXPECT_FALSE(SoundOn());
    EXPECT_EQ(background.GameBackground().pixel(15, 100), qRgb(0, 0, 128));
}

TEST_F(OptionsFormTest, CancelOrEscapeChangesNothing) {
    for (bool escape : {false, true}) {
        Show();
        form.ClockwiseButton->click();
        form.SpeedButtons[0]->click();
        form.cbShowGridLines->click();
        form.cbMarkColours->click();
        form.cbSoundEffectEnabled->click();
        if (escape)
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            form.CancelButton->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(Settings().RotationDirectionClockwise);
        EXPECT_EQ(Settings().Speed, 1);
        EXPECT_FALSE(Settings().ShowGridLines);
        EXPECT_FALSE(Settings().MarkColours);
        EXPECT_TRUE(Settings().SoundEffectEnabled);
        EXPECT_TRUE(SoundOn());
        EXPECT_TRUE(background.GameBackground().isNull());
    }
}
} // namespace
