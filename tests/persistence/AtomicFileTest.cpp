#include "PersistenceFakes.h"
#include "persistence/AtomicFile_KX.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct stat StatOf(const QString& file) {
    struct stat st{};
    ::stat(QFile::encodeName(file).constData(), &st);
    return st;
}

// Where no new file can be made beside the old one (here: the name leaves no
// room for a temporary name, as a folder without write access would), the
// file is still written, in place, shorter contents and all.
TEST(AtomicFileTest, AFileNoNewFileCanReplaceIsWrittenInPlace) {
    const QString file = FreshStart() + QStringLiteral("/") + QString(250, QLatin1Char('s'));
    WriteAll(file, QByteArray(600, 'o'));
    const ino_t before = StatOf(file).st_ino;
    QString error;
    ASSERT_TRUE(AtomicFile::Write(file, "new scores", AtomicFile::Links::Follow, &error))
        << error.toStdString();
    EXPECT_EQ(ReadAll(file), QByteArray("new scores"));
    EXPECT_EQ(StatOf(file).st_ino, before);
}

// A shared file keeps its owner, group and permissions.
TEST(AtomicFileTest, TheReplacedFileKeepsItsOwnerGroupAndPermissions) {
    const QString file = FreshStart() + QStringLiteral("/Scores.DAT");
    WriteAll(file, "old");
    ::chmod(QFile::encodeName(file).constData(), 0664);
    if (::chown(QFile::encodeName(file).constData(), 4321, 4322) != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_TRUE(AtomicFile::Write(file, "newer", AtomicFile::Links::Follow, nullptr));
    const struct stat st = StatOf(file);
    EXPECT_EQ(ReadAll(file), QByteArray("newer"));
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
}
} // namespace
