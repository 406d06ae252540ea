#pragma once

#include <QString>
#include <QStringList>

// The files the main window's commands work with: the demo recording, the
// replays the player saves and loads, and the read-me.
namespace GameFiles {

inline const QString DemoFile = QStringLiteral("DemoData.dat");
inline const QString ReadMeFile = QStringLiteral("ReadMe.rtf");

// Where the demo is looked for, in this order: the current folder, the
// user's data folder, the program's folder, the installed data folder.
QStringList DemoFolders();
// The first of them that holds the demo; empty when none does.
QString DemoFileName();
// What to say when the demo is nowhere.
QString DemoMissingMessage();

// Where the replay dialogs open: the folder of the replay last chosen, or
// else replays/ in the user's data folder (created when needed).
QString ReplayFolder();
// The file dialogs for replays; empty when the player cancels.
QString AskReplayToSave();
QString AskReplayToOpen(const QString& title);
// Whether the file has a replay's extension; otherwise the player is told
// (a ".kvx" game file is let through silently).
bool IsReplayFile(const QString& file);
bool IsGameFile(const QString& file);
void TellNotAReplay(const QString& file);

// The read-me beside the program, or else in the installed data folder.
QString ReadMeFileName();

} // namespace GameFiles
