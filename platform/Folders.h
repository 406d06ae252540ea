#pragma once

#include <QString>

// Program, data and temporary folders, always ending in '/'.
class Folders {
public:
    static QString ProgramFolder();
    static QString TempFolder();
    // Where an installed program's read-only data lies: PREFIX/share/kolvex/
    // for a program in PREFIX/bin/.
    static QString SharedDataFolder();
    // Whether the program runs from an installation (its shared data folder is there).
    static bool IsInstalled();
    // The user's own folder for the game's files: kolvex/ in the XDG data
    // home (~/.local/share/kolvex/ by default). Not created here.
    static QString UserDataFolder();
    // Creates the folder and its parents when missing; whether it is there now.
    static bool Ensure(const QString& folder);
    // Whether new files can be made in the folder by this process.
    static bool IsWritable(const QString& folder);
    // Appends '/' unless the path already ends in '/' or '\'.
    static QString WithTrailingSeparator(const QString& path);
    // Removes one trailing '/' or '\'.
    static QString WithoutTrailingSeparator(const QString& path);
};
