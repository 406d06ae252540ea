#include "MainWindowFixture.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/Wiper.h"
#include "persistence/DemoF.h"
#include "persistence/Recorder_KX.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"
#include "ui/KeyHelp_KX.h"
#include "ui/KolvexDM.h"
#include "ui/MainF.h"
#include "ui/ReadMeKeys_KX.h"
#include "ui/TitleMenu_KX.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {
TKeyTable ChangedKeys() {
    TKeyTable keys = TKeyTable::Defaults();
    keys.SetKey(TKeyTable::Slot(1, 2), 44); // J's place
    keys.SetKey(TKeyTable::PauseSlot, 65);  // the space bar
    return keys;
}

TEST(KeysInForce, TheTitleHelpNamesTheKeysInForce) {
    EXPECT_EQ(KeyHelp::Lines(TKeyTable::Defaults()),
              QStringList({QStringLiteral("Player one: Left Right Up Down"),
                           QStringLiteral("Player two: A D W S"),
                           QStringLiteral("P pauses, Esc stops")}));
    const QStringList changed = KeyHelp::Lines(ChangedKeys());
    EXPECT_EQ(changed[1], QStringLiteral("Player two: A D J S"));
    EXPECT_EQ(changed[2], QStringLiteral("Space pauses, Esc stops"));
    QImage menu(160, 314, QImage::Format_RGB32);
    menu.fill(Qt::black);
    const QImage defaults = KeyHelp::OnMenuPicture(menu, TKeyTable::Defaults());
    const QImage chosen = KeyHelp::OnMenuPicture(menu, ChangedKeys());
    EXPECT_NE(defaults, menu) << "the help is written";
    EXPECT_NE(defaults, chosen);
    EXPECT_EQ(defaults.copy(0, 0, 160, 186), menu.copy(0, 0, 160, 186)) << "the choices stay";
}

TEST(KeysInForce, TheReadMesKeySectionNamesTheKeysInForce) {
    QFile file(qEnvironmentVariable("KOLVEX_TEST_SOURCE_DIR") + QStringLiteral("/ui/ReadMe.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    ASSERT_TRUE(original.contains("Turn the brick\\tab Up arrow\\tab W\\par}"));
    EXPECT_EQ(ReadMeKeys::WithKeys(original, TKeyTable::Defaults()), original);
    const QByteArray changed = ReadMeKeys::WithKeys(original, ChangedKeys());
    EXPECT_TRUE(changed.contains(" Turn the brick\\tab Up arrow\\tab J\\par}"));
    EXPECT_TRUE(changed.contains(" Move left\\tab Left arrow\\tab A\\par}"));
    EXPECT_TRUE(changed.contains(" Space\\tab pause and resume the game\\par}"));
    EXPECT_FALSE(changed.contains(" P\\tab pause"));
    EXPECT_EQ(changed.count('\n'), original.count('\n'));
}

class HandOver : public MainWindowTest {
protected:
    bool Playing() {
        TSessionCoordinator* session = Main->Session();
        if (TWiper::AnyWipeRunning() || !session || session->Count() == 0) return false;
        return !session->GetGame(0)->GamePanel()->ShowPending();
    }
};

TEST_F(HandOver, TapsMadeWhileTheOldGamePlayedAreNotThePlayersMoves) {
    // An old game of a few moves left, cut before its stop.
    Main->StartNewGame();
    ASSERT_TRUE(RunUntil([this] { return Playing(); }, 200000));
    KeyState::SetDown(ScanCode::Left, true);
    ASSERT_TRUE(RunUntil([this] { return Main->Session()->GetGame(0)->BrickLeft() < 48; }, 200000));
    KeyState::SetDown(ScanCode::Left, false);
    Main->HandleKey(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([this] { return !Main->MenuBusy() && !Main->IsGameRunning(); }, 2000000));
    const QString file = TestEnvironment::ScratchFolder() + QStringLiteral("/handover.rep");
    TestEnvironment::Dialogs().QueueFileName(file);
    Main->SaveReplayAsMenuItem->trigger();
    TRecordedData old;
    old.LoadFromFile(file);
    ASSERT_GT(old.GetCount(), 1);
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
    QByteArray bytes = raw.readAll();
    const int kept = old.GetCount() - 1;
    bytes = bytes.left(19 + 13 * kept);
    for (int i = 0; i < 4; ++i)
        bytes[15 + i] = static_cast<char>(kept >> (8 * i));
    raw.resize(0);
    raw.seek(0);
    raw.write(bytes);
    raw.close();

    // Continued: right is tapped while the old game still plays.
    TestEnvironment::Dialogs().QueueFileName(file);
    Main->StartOldGameMenuItem->trigger();
    ASSERT_TRUE(Demo->ContinuesOldGame());
    KeyState::SetDown(ScanCode::Right, true);
    KeyState::SetDown(ScanCode::Right, false);
    ASSERT_TRUE(RunUntil([this] { return !Demo->IsReplaying(); }, 2000000));
    TGameForm* game = Main->Session()->GetGame(0);
    const int top = game->BrickTop();
    ASSERT_TRUE(RunUntil([&] { return game->BrickTop() >= top + 48; }, 200000));
    Main->HandleKey(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([this] { return !Main->MenuBusy() && !Main->IsGameRunning(); }, 2000000));
    TestEnvironment::Dialogs().QueueFileName(file);
    Main->SaveReplayAsMenuItem->trigger();
    TRecordedData continued;
    continued.LoadFromFile(file);
    int rights = 0;
    for (int i = 0; i < continued.GetCount(); ++i)
        rights += continued.GetItemAdd(i).ActionCode == 1;
    EXPECT_EQ(rights, 0) << "the tap during the replay moved the brick after the hand-over";
}
} // namespace
