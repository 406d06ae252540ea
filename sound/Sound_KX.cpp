#include "sound/Sound_KX.h"

namespace {
bool soundOn = true;
}

bool SoundOn() { return soundOn; }
void EnableSounds() { soundOn = true; }
void DisableSounds() { soundOn = false; }

void PlaySoundResource(const QString&) {}

void PlayFlip() { PlaySoundResource(QStringLiteral("Flip")); }
void PlayFlipBlocked() { PlaySoundResource(QStringLiteral("Flip4")); }
void PlayBrickStops() { PlaySoundResource(QStringLiteral("Flip3")); }
void PlayBrickFixed() { PlaySoundResource(QStringLiteral("Flip2")); }
void PlayAreaImpact() { PlaySoundResource(QStringLiteral("Flip1")); }
