#pragma once

#include <QString>

// The files the main window's commands work with: the demo recording, the
// replays the player saves and loads, and the read-me.
namespace GameFiles {

inline const QString DemoFile = QStringLiteral("DemoData.dat");

// Where the demo is found: the current folder first, then the program's;
// empty when it is in neither.
QString DemoFileName();
// What to say when the demo is nowhere.
QString DemoMissingMessage();

// The file dialogs for replays; empty when the player cancels.
QString AskReplayToSave();
QString AskReplayToOpen(const QString& title);
// Whether the file has a replay's extension; otherwise the player is told
// (a ".kvx" game file is let through silently).
bool IsReplayFile(const QString& file);
bool IsGameFile(const QString& file);
void TellNotAReplay(const QString& file);

QString ReadMeFileName();

} // namespace GameFiles
