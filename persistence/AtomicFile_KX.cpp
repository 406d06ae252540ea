#include "persistence/AtomicFile_KX.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
bool WriteFollowingLinks(const QString& fileName, const QByteArray& data, QString* error) {
    // QSaveFile writes beside the file's real location and renames on commit.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool WriteReplacingLinks(const QString& fileName, const QByteArray& data, QString* error) {
    // The temporary file is created exclusively under a random name, so nothing
    // planted in the folder can redirect the write; rename() then replaces the
    // directory entry itself, whatever it was.
    const QFileInfo target(fileName);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
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
