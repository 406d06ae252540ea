#include "platform/CheckedGrid.h"
#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/Folders.h"
#include "platform/KeyNames.h"
#include "platform/KeyState.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

TEST(CheckedGrid, OutsideAccessRaisesRangeErrorAndChangesNothing) {
    CheckedGrid<int, 10, 20> grid;
    grid.At(9, 19) = 5;
    EXPECT_EQ(grid.At(9, 19), 5);
    EXPECT_THROW(grid.At(10, 0), ERangeError);
    EXPECT_THROW(grid.At(0, -1), ERangeError);
    EXPECT_THROW(grid.At(-1, 5), ERangeError);
    EXPECT_THROW(grid.At(0, 20), ERangeError);
    CheckedArray<int, 3> array;
    EXPECT_THROW(array[3], ERangeError);
    EXPECT_NO_THROW(array[2] = 1);
}

TEST(ScriptedDialogs, AnswersFromTheQueueThenAsEnterWould) {
    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(dbNo);
    EXPECT_EQ(dialogs.Message(DialogKind::Information, "a", dbYes | dbNo), dbNo);
    EXPECT_EQ(dialogs.Message(DialogKind::Information, "b", dbYes | dbNo), dbYes);
    EXPECT_EQ(dialogs.Message(DialogKind::Information, "c", dbOK), dbOK);
    // A retry box is never retried forever by a script.
    EXPECT_EQ(dialogs.Message(DialogKind::Warning, "d", dbRetry | dbCancel), dbCancel);
    EXPECT_EQ(dialogs.OpenFileName("", "", ""), QString());
    dialogs.QueueFileName("/tmp/x.rep");
    EXPECT_EQ(dialogs.SaveFileName("", "", "", "rep"), "/tmp/x.rep");
    ASSERT_EQ(dialogs.Log().size(), 4u);
    EXPECT_EQ(dialogs.Log()[2].Text, "c");
}

TEST(KeyState, VirtualKeyCodesOfTheGamesKeys) {
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Left), 37);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Up), 38);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Right), 39);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Down), 40);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_A), 65);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Z), 90);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Return), 13);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Enter), 13);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Escape), 27);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_Space), 32);
    EXPECT_EQ(KeyState::VirtualKeyOf(Qt::Key_F1), 0);
    EXPECT_FALSE(KeyState::IsDown(1000));
    EXPECT_FALSE(KeyState::IsDown(-3));
}

TEST(KeyState, FilterCountsWindowEventsOnlyAndIgnoresAutoRepeat) {
    KeyState::ReleaseAll();
    KeyStateFilter filter;
    QWidget widget;
    widget.show();
    QWindow* window = widget.windowHandle();
    ASSERT_NE(window, nullptr);

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    filter.eventFilter(&widget, &press); // the widget's copy of the event does not count
    EXPECT_FALSE(KeyState::IsDown(ScanCode::Left));
    filter.eventFilter(window, &press);
    EXPECT_TRUE(KeyState::IsDown(ScanCode::Left));

    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
    filter.eventFilter(window, &repeatRelease);
    EXPECT_TRUE(KeyState::IsDown(ScanCode::Left));

    QEvent deactivate(QEvent::ApplicationDeactivate);
    filter.eventFilter(qApp, &deactivate);
    EXPECT_FALSE(KeyState::IsDown(ScanCode::Left));
    // Losing focus also drops the press no sample has seen.
    EXPECT_FALSE(KeyState::TakePress(ScanCode::Left));
    filter.eventFilter(window, &press);
    EXPECT_TRUE(KeyState::TakePress(ScanCode::Left));
    EXPECT_FALSE(KeyState::TakePress(ScanCode::Left));
}

TEST(KeyState, AKeyIsItsPlaceWhateverTheLayoutPrintsOnIt) {
    KeyState::ReleaseAll();
    KeyStateFilter filter;
    QWidget widget;
    widget.show();
    QWindow* window = widget.windowHandle();
    // On a French keyboard the key where a US keyboard has A sends Q.
    QKeyEvent azertyQ(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, ScanCode::A, 0x71, 0, "q");
    filter.eventFilter(window, &azertyQ);
    EXPECT_TRUE(KeyState::IsDown(ScanCode::A));
    EXPECT_FALSE(KeyState::IsDown(24)) << "the US place of Q stays up";
    KeyState::ReleaseAll();
    // Synthesized events carry no scan code: they sit where a US keyboard has them.
    struct Case {
        int qtKey;
        int place;
    };
    for (const Case c :
         {Case{Qt::Key_A, ScanCode::A}, Case{Qt::Key_W, ScanCode::W},
          Case{Qt::Key_Down, ScanCode::Down}, Case{Qt::Key_P, ScanCode::P}, Case{Qt::Key_F1, 0}}) {
        QKeyEvent synthesized(QEvent::KeyPress, c.qtKey, Qt::NoModifier);
        EXPECT_EQ(KeyState::ScanCodeOf(synthesized), c.place) << c.qtKey;
    }
    // Pads' codes are no keyboard's, and two players' pads never share one.
    EXPECT_FALSE(KeyState::IsKeyboardKey(KeyState::PadKey(0, 0)));
    EXPECT_NE(KeyState::PadKey(0, 3), KeyState::PadKey(1, 3));
    EXPECT_LT(KeyState::PadKey(1, 4), ScanCode::Limit);
}

TEST(KeyNames, KeysAreNamedByTheirSymbolInTheLayout) {
    struct Case {
        uint32_t sym;
        const char* name;
    };
    const Case cases[] = {
        {0x71, "Q"},      {0x61, "A"},
        {0x2c, ","},      {0xe9, "É"},
        {0x10003b1, "Α"}, {0xff51, "Left arrow"},
        {0x20, "Space"},  {0xffb4, "Keypad 4"},
        {0xffbe, "F1"},   {0xffe1, "Left Shift"},
        {0xfe52, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyNames::NameOfKeySym(c.sym), QString::fromUtf8(c.name)) << std::hex << c.sym;
    // Without X the keys are named as on a US keyboard; an unknown place by its number.
    EXPECT_EQ(KeyNames::NameOf(ScanCode::Left), "Left arrow");
    EXPECT_EQ(KeyNames::NameOf(ScanCode::W), "W");
    EXPECT_EQ(KeyNames::ShortNameOf(ScanCode::Up), "Up");
    EXPECT_EQ(KeyNames::ShortNameOf(ScanCode::W), "W");
    EXPECT_EQ(KeyNames::NameOf(191), "Key 191");
}

TEST(Folders, TrailingSeparators) {
    EXPECT_EQ(Folders::WithTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(Folders::WithTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(Folders::WithTrailingSeparator("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(Folders::WithoutTrailingSeparator("/a/b/"), "/a/b");
    EXPECT_EQ(Folders::WithoutTrailingSeparator("C:\\x\\"), "C:\\x");
    EXPECT_EQ(Folders::WithoutTrailingSeparator("/a"), "/a");
    EXPECT_TRUE(Folders::TempFolder().endsWith('/'));
    EXPECT_TRUE(Folders::ProgramFolder().endsWith('/'));
}

TEST(SettingsStore, ValuesAreStoredAsStringsInTheirGroups) {
    SettingsStore::Write("Settings", "Speed", "2");
    SettingsStore::Write("Audio", "SoundEffectEnabled", "1");
    SettingsStore::Flush();
    EXPECT_TRUE(SettingsStore::FileName().startsWith(TestEnvironment::ScratchFolder()));
    QSettings fresh(SettingsStore::FileName(), QSettings::IniFormat);
    EXPECT_EQ(fresh.value("Settings/Speed").toString(), "2");
    EXPECT_EQ(fresh.value("Audio/SoundEffectEnabled").toString(), "1");
    EXPECT_EQ(SettingsStore::Read("Div", "Missing", "dflt"), "dflt");
    EXPECT_TRUE(SettingsStore::Contains("Settings", "Speed"));
}

TEST(Desktop, AddressesGoThroughTheOpener) {
    QString opened;
    Desktop::Opener previous = Desktop::SetOpener([&](const QString& a) {
        opened = a;
        return false;
    });
    EXPECT_FALSE(Desktop::OpenAddress("https://example.org/kolvex"));
    EXPECT_EQ(opened, "https://example.org/kolvex");
    Desktop::SetOpener(previous);
}

TEST(Cursors, NumbersOutsideTheTableGiveTheArrow) {
    Cursors::Register(crHammer, QCursor(Qt::IBeamCursor));
    EXPECT_EQ(Cursors::Get(crHammer).shape(), Qt::IBeamCursor);
    EXPECT_EQ(Cursors::Get(crInvisible).shape(), Qt::BlankCursor);
    EXPECT_EQ(Cursors::Get(17).shape(), Cursors::Get(crArrowD).shape());
    Cursors::Register(99, QCursor(Qt::WaitCursor)); // ignored
}
