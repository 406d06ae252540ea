#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#ifndef KOLVEX_DATA_FROM_PROGRAM
#define KOLVEX_DATA_FROM_PROGRAM "../share/kolvex"
#endif

QString Folders::ProgramFolder() {
    const QString dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return WithTrailingSeparator(dir);
}

QString Folders::TempFolder() { return WithTrailingSeparator(QDir::tempPath()); }

QString Folders::SharedDataFolder() {
    return WithTrailingSeparator(
        QDir::cleanPath(ProgramFolder() + QStringLiteral(KOLVEX_DATA_FROM_PROGRAM)));
}

bool Folders::IsInstalled() {
    return QFileInfo(SharedDataFolder()).isDir();
}

QString Folders::UserDataFolder() {
    return WithTrailingSeparator(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
           QStringLiteral("kolvex/");
}

bool Folders::Ensure(const QString& folder) {
    return QDir().mkpath(folder);
}

bool Folders::IsWritable(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    return ::access(path.constData(), W_OK | X_OK) == 0;
}

QString Folders::WithTrailingSeparator(const QString& path) {
    if (path.endsWith('/') || path.endsWith('\\')) return path;
    return path + '/';
}

QString Folders::WithoutTrailingSeparator(const QString& path) {
    if (path.endsWith('/') || path.endsWith('\\')) return path.left(path.size() - 1);
    return path;
}
