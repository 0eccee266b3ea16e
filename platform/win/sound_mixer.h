// The mixer behind the sound device, and what each backend does for it: the
// output it feeds (a sound card, or memory) and the wait for a sound to end.
#pragma once

#include "platform/win/sound.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

// The lock every buffer call and every mixing pass takes.
std::mutex& SoundLock();
// Every buffer of the open devices; read under the lock.
const std::vector<SoundBuffer*>& SoundBuffers();

// The mixing itself; it reads the buffers' private state.
struct SoundMixer {
    // Renders `frames` frames in `format` (PCM, 8 or 16 bits, 1 or 2 channels)
    // into `out`: every playing voice, then the music source, clipped. Voices
    // move on and those played once stop at their end. Takes the lock while it
    // mixes the voices, not while the music renders. One caller at a time.
    static void Render(void* out, int frames, const WAVEFORMATEX& format);
    // Adds `frames` stereo float frames of one voice to `mix` at `rate` Hz.
    static void MixVoice(SoundBuffer& voice, float* mix, int frames, std::uint32_t rate);
};

// The gain of an attenuation in hundredths of a decibel; the bottom of the
// range (-10000) is silence.
float Gain(long hundredths);

// The primary format the mixer produces (44100 Hz, 16 bits, stereo when a
// device is first opened).
WAVEFORMATEX SoundOutputFormat();

// Plays `bytes` bytes of PCM `data` once on a device of its own, calls `wait`
// with the playing voice, and closes the device. False when there is no output
// or the data is refused.
bool PlaySamples(const WAVEFORMATEX& format, const void* data, DWORD bytes,
                 void (*wait)(SoundBuffer& voice));
// The same with the contents of a WAV file; false also when it cannot be read.
bool PlayWaveFile(const char* path, void (*wait)(SoundBuffer& voice));
} // namespace platform
