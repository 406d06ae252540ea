#pragma once

#include <QString>

// The per-user settings: QSettings("Brenmar", "Kolvex") with the groups
// "Settings", "Audio" and "Div", every value a string.
class SettingsStore {
public:
    // Reads a value; a missing value gives the default.
    static QString Read(const QString& group, const QString& name, const QString& defaultValue);
    static void Write(const QString& group, const QString& name, const QString& value);
    static bool Contains(const QString& group, const QString& name);
    // Writes what is buffered to the file now.
    static void Flush();
    // Points the store at another folder (tests, the headless companion).
    static void RedirectTo(const QString& folder);
    // Where the settings file lies.
    static QString FileName();
};
