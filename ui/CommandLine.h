#pragma once

#include <QString>
#include <QStringList>

// What the program is told on its command line. Every option is for
// comparing a live game with its replays; a player starts the program bare.
struct TCommandLine {
    // --results FILE: each session's outcome is appended to FILE when it ends.
    QString ResultsFile;
    // --pace N: the game's time runs N times as fast as the wall clock (1 to
    // 10); the order and the game times of all ticks stay as they are.
    double Pace = 1.0;
    // Set when the arguments make no sense (or --help): what to print, and
    // then the program ends.
    QString Problem;
    bool HelpAsked = false;

    static TCommandLine Parse(const QStringList& arguments);
    static QString Usage();
};
