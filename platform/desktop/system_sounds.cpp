// System sounds on the desktop: WAV files played to their end, and the alert
// beep as a short tone, both through the sound device.
#include "platform/backend.h"
#include "platform/desktop/audio.h"
#include "platform/win/sound_mixer.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace platform {

namespace {

// Waits while the voice plays, then while the device plays out its last mix.
void WaitToEnd(SoundBuffer& voice) {
    DWORD status = DSBSTATUS_PLAYING;
    while (voice.GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING)) SDL_Delay(5);
    desktop::DrainSoundOutput();
}

// A 150 ms tone of 880 Hz, faded in and out over 10 ms so that it does not click.
std::vector<std::int16_t> BeepTone(DWORD rate) {
    std::vector<std::int16_t> tone(rate * 150 / 1000);
    int fade = static_cast<int>(rate / 100);
    int size = static_cast<int>(tone.size());
    for (int i = 0; i < size; ++i) {
        double envelope = std::min({1.0, double(i) / fade, double(size - 1 - i) / fade});
        double phase = 2.0 * std::numbers::pi * 880.0 * i / rate;
        tone[i] = static_cast<std::int16_t>(12000.0 * envelope * std::sin(phase));
    }
    return tone;
}

} // namespace

bool sndPlaySoundA(const char* path, UINT) { return PlayWaveFile(path, WaitToEnd); }

void MessageBeep(UINT) {
    constexpr DWORD kRate = 22050;
    std::vector<std::int16_t> tone = BeepTone(kRate);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
    if (PlaySamples(format, tone.data(), static_cast<DWORD>(tone.size() * 2), WaitToEnd)) return;
    // No sound device: the terminal's bell, when there is a terminal.
    if (isatty(STDERR_FILENO)) (void)!write(STDERR_FILENO, "\a", 1);
}

} // namespace platform
