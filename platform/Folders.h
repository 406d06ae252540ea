#pragma once

#include <QString>

// Program and temporary folders, always ending in '/'.
class Folders {
public:
    static QString ProgramFolder();
    static QString TempFolder();
    // Appends '/' unless the path already ends in '/' or '\'.
    static QString WithTrailingSeparator(const QString& path);
    // Removes one trailing '/' or '\'.
    static QString WithoutTrailingSeparator(const QString& path);
};
