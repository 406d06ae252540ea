#pragma once

#include <QString>

// The program's sound effects and the one switch that silences them.
bool SoundOn();
void EnableSounds();
void DisableSounds();

// Plays a WAVE resource of the program by name (case does not matter),
// asynchronously, cutting off the effect still playing. Nothing happens while
// the sounds are off; a failure is ignored.
void PlaySoundResource(const QString& name);

void PlayFlip();        // the brick has been turned
void PlayFlipBlocked(); // the turned brick would not fit
void PlayBrickStops();  // the falling brick stops on something
void PlayBrickFixed();  // the brick is fixed into the playfield
void PlayAreaImpact();  // a falling area hits what is below it
