#include "persistence/Settings_KX.h"
#include "platform/Folders.h"
#include "support/TestEnvironment.h"
#include "ui/GameFiles.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>

namespace {
// A private data home and current folder for one test; both are put back after.
class GameFilesTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Settings() = TSettings{};
        root = TestEnvironment::ScratchFolder() + QStringLiteral("/gamefiles-") +
               QUuid::createUuid().toString(QUuid::WithoutBraces);
        QDir().mkpath(root + QStringLiteral("/cwd"));
        savedData = qgetenv("XDG_DATA_HOME");
        savedCurrent = QDir::currentPath();
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toLocal8Bit());
        QDir::setCurrent(root + QStringLiteral("/cwd"));
    }
    void TearDown() override {
        QDir::setCurrent(savedCurrent);
        qputenv("XDG_DATA_HOME", savedData);
        Settings() = TSettings{};
    }
    static void Touch(const QString& file) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x", 1);
    }

    QString root;
    QByteArray savedData;
    QString savedCurrent;
};

TEST_F(GameFilesTest, TheDemoIsLookedForHereThenInTheUsersDataThenBesideTheProgram) {
    const QString here = root + QStringLiteral("/cwd/DemoData.dat");
    const QString data = root + QStringLiteral("/data/kolvex/DemoData.dat");
    const QString beside = Folders::ProgramFolder() + GameFiles::DemoFile;
    ASSERT_TRUE(QFile::exists(beside)) << "the build puts the demo beside the program";
    EXPECT_EQ(GameFiles::DemoFileName(), beside);
    Touch(data);
    EXPECT_EQ(GameFiles::DemoFileName(), data);
    Touch(here);
    EXPECT_EQ(QFileInfo(GameFiles::DemoFileName()).canonicalFilePath(),
              QFileInfo(here).canonicalFilePath());
    EXPECT_EQ(GameFiles::DemoFolders().last(), Folders::SharedDataFolder());
}

TEST_F(GameFilesTest, ReplayDialogsOpenInTheUsersReplaysUntilAnotherFolderIsChosen) {
    ScriptedDialogs& dialogs = TestEnvironment::Dialogs();
    const QString replays = root + QStringLiteral("/data/kolvex/replays");
    const QString other = root + QStringLiteral("/elsewhere");
    QDir().mkpath(other);
    dialogs.QueueFileName(QString()); // cancelled: nothing is remembered
    EXPECT_EQ(GameFiles::AskReplayToSave(), QString());
    EXPECT_EQ(dialogs.LastFolder(), replays);
    EXPECT_TRUE(QFileInfo(replays).isDir());
    dialogs.QueueFileName(other + QStringLiteral("/game"));
    EXPECT_EQ(GameFiles::AskReplayToSave(), other + QStringLiteral("/game.rep"));
    GameFiles::AskReplayToOpen(QStringLiteral("Load Replay"));
    EXPECT_EQ(dialogs.LastFolder(), other);
    // A remembered folder that has gone sends the dialogs back to replays/.
    QDir(other).removeRecursively();
    GameFiles::AskReplayToOpen(QStringLiteral("Load Replay"));
    EXPECT_EQ(dialogs.LastFolder(), replays);
}
} // namespace
