#pragma once

#include "persistence/KeyTable_KX.h"

#include <QString>

class TGameBackgroundInterface;

// The player's preferences, one set for the whole program. They are loaded
// once at start-up, changed by the options dialog and by the start of a
// replay, and saved once when the program ends.
struct TSettings {
    bool RotationDirectionClockwise = true;
    int Speed = 0;                // the "Nastiness", 0 to 2
    bool ShowLandingSpot = false; // stored only
    bool ShowGridLines = false;
    // Each brick colour also carries a mark of its own; a session keeps the
    // pictures it started with.
    bool MarkColours = false;
    bool SoundEffectEnabled = true;
    // The computer opponent: 1 Easy, 2 Normal, 3 Hard.
    int ComputerStrength = 2;
    bool MIDIMusicEnabled = true; // stored only
    bool GameMusicEnabled = true; // stored only
    int GameMusicNo = 0;          // stored only
    QString ScoreListPath;        // folder of the score file; empty: the program's folder
    // The players' keys; a stored table that is not sound reads as the defaults.
    TKeyTable Keys = TKeyTable::Defaults();
    QString ReplayFolder;         // where the replay dialogs open; empty: the user's replays/
    // The whole-number scale of the window, 1 to 4; 0 until the first start chose one.
    int WindowScale = 0;
    // A running session pauses when the main window loses the focus.
    bool PauseOnFocusLoss = true;
};

TSettings& Settings();

// Reads every value from the settings store; a missing or unreadable value
// gives its default.
void LoadSettings();
// Writes every value to the settings store as a string.
void SaveSettings();
// Rebuilds the game background (with or without grid lines) and sets the
// sound switch. Without a background holder only the sound switch is set.
void ApplySettings(TGameBackgroundInterface* background);
