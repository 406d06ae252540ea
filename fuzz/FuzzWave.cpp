// WAV data: the sound effects are parsed from RIFF WAVE files and converted
// to the device's format.
#include "FuzzSupport.h"
#include "sound/SoundOutput.h"
#include "sound/WaveSound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<TWaveSound> sound = ParseWave(Fuzz::Bytes(data, size));
    if (!sound) return 0;
    Fuzz::Require(sound->Channels > 0 && sound->SampleRate > 0);
    Fuzz::Require(sound->Samples.size() <= static_cast<qsizetype>(size));
    // A short sound at a low rate grows when converted; that growth has a bound.
    const QByteArray converted = TQtSoundOutput::DeviceSamples(*sound);
    Fuzz::Require(converted.size() <= 64 * 1024 * 1024);
    return 0;
}
