#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>

QString Folders::ProgramFolder() {
    const QString dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return WithTrailingSeparator(dir);
}

QString Folders::TempFolder() { return WithTrailingSeparator(QDir::tempPath()); }

QString Folders::WithTrailingSeparator(const QString& path) {
    if (path.endsWith('/') || path.endsWith('\\')) return path;
    return path + '/';
}

QString Folders::WithoutTrailingSeparator(const QString& path) {
    if (path.endsWith('/') || path.endsWith('\\')) return path.left(path.size() - 1);
    return path;
}
