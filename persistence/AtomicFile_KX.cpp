#include "persistence/AtomicFile_KX.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A test hook: with KOLVEX_SLOW_SAVES=MS every 256 bytes take MS milliseconds
// more, so that a check can kill the program in the middle of a save.
int SlowSaveMs() {
    static const int ms = qEnvironmentVariableIntValue("KOLVEX_SLOW_SAVES");
    return ms;
}

bool WriteAll(QFileDevice& file, const QByteArray& data) {
    const int slow = SlowSaveMs();
    if (slow <= 0) return file.write(data) == data.size();
    constexpr qsizetype Piece = 256;
    for (qsizetype at = 0; at < data.size(); at += Piece) {
        const QByteArray piece = data.mid(at, Piece);
        // On the disk at once, so that a kill finds the piece there.
        if (file.write(piece) != piece.size() || !file.flush()) return false;
        QThread::msleep(static_cast<unsigned long>(slow));
    }
    return true;
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The fallback where no new file can take the old one's place: the bytes go
// into the file itself, which keeps its owner, its permissions and every link
// to it. Nothing is truncated before the new contents are written, and they
// reach the disk before the call returns.
bool WriteInPlace(const QString& fileName, const QByteArray& data, QString* error) {
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrnoText();
        return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd, data.constData() + done, size_t(data.size() - done), done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    const bool ok = done == data.size() && ::ftruncate(fd, done) == 0 && ::fsync(fd) == 0;
    if (!ok) *error = ErrnoText();
    ::close(fd);
    return ok;
}

// Gives the new file the old one's permissions, owner and group; false when
// the owner or group cannot be kept (the file belongs to someone else).
bool TakeOver(int fd, const struct stat& old) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) return true;
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

bool WriteFollowingLinks(const QString& fileName, const QByteArray& data, QString* error) {
    // A link at the name is followed: its target is the file replaced.
    const QFileInfo named(fileName);
    const QString target = named.exists() ? named.canonicalFilePath() : named.absoluteFilePath();
    struct stat old{};
    const bool exists = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    const QFileInfo info(target);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    // A folder that takes no new files (or a file of someone else's) still
    // has its file written, in place.
    // (A temporary file is made without a name at first: a name that does not
    // fit the folder shows only when the file is named.)
    if (!file.open() || file.fileName().isEmpty()) {
        if (exists) return WriteInPlace(target, data, error);
        *error = file.errorString();
        return false;
    }
    if (exists && !TakeOver(file.handle(), old)) {
        file.remove();
        return WriteInPlace(target, data, error);
    }
    if (!WriteAll(file, data) || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        *error = ErrnoText();
        return false;
    }
    const QByteArray from = QFile::encodeName(file.fileName());
    if (std::rename(from.constData(), QFile::encodeName(target).constData()) != 0) {
        *error = ErrnoText();
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

bool WriteReplacingLinks(const QString& fileName, const QByteArray& data, QString* error) {
    // The temporary file is created exclusively under a random name, so nothing
    // planted in the folder can redirect the write; rename() then replaces the
    // directory entry itself, whatever it was.
    const QFileInfo target(fileName);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || !WriteAll(file, data) || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        *error = ErrnoText();
        return false;
    }
    const QByteArray from = QFile::encodeName(file.fileName());
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    if (std::rename(from.constData(), to.constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    file.setAutoRemove(false);
    return true;
}
} // namespace

bool AtomicFile::Write(const QString& fileName, const QByteArray& data, Links links,
                       QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    return links == Links::Follow ? WriteFollowingLinks(fileName, data, error)
                                  : WriteReplacingLinks(fileName, data, error);
}
