#pragma once

#include <QString>
#include <memory>

class TSoundOutput;

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

// The output the effects go to: the sound device unless another one is
// installed (tests and the headless tools install their own). Installing
// nullptr goes back to the sound device.
void InstallSoundOutput(std::unique_ptr<TSoundOutput> output);
TSoundOutput& CurrentSoundOutput();
