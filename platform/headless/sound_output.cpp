// The sound device headless: the mixer renders into memory as the clock
// advances, and what it rendered is kept for tests to read.
#include "platform/headless/sound_output.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/sound_mixer.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::uint32_t kKeptMilliseconds = 60000;
constexpr int kChunkFrames = 4096;

bool devicePresent = true;
bool outputOpen = false;
// Milliseconds × rate not yet rendered as a whole frame, in thousandths of a frame.
std::uint64_t frameRemainder = 0;
std::vector<std::uint8_t> output;
std::vector<std::string> systemSounds;

// Renders `frames` frames, keeping them while the output holds less than a minute.
void Render(std::uint64_t frames) {
    WAVEFORMATEX format = SoundOutputFormat();
    std::size_t kept = std::size_t{kKeptMilliseconds / 1000} * format.nAvgBytesPerSec;
    std::uint8_t chunk[kChunkFrames * 4];
    while (frames > 0) {
        int n = static_cast<int>(std::min<std::uint64_t>(frames, kChunkFrames));
        SoundMixer::Render(chunk, n, format);
        std::size_t bytes = std::min<std::size_t>(std::size_t(n) * format.nBlockAlign,
                                                  kept - std::min(kept, output.size()));
        output.insert(output.end(), chunk, chunk + bytes);
        frames -= n;
    }
}

// Plays the voice to its end at once, as if the caller had waited for it.
void RenderToEnd(SoundBuffer& voice) {
    DWORD status = DSBSTATUS_PLAYING;
    while (voice.GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING)) Render(kChunkFrames);
}

} // namespace

namespace backend {

bool OpenSoundOutput(const WAVEFORMATEX&) {
    if (!devicePresent) return false;
    outputOpen = true;
    frameRemainder = 0;
    return true;
}

void CloseSoundOutput() { outputOpen = false; }

bool ChangeSoundFormat(const WAVEFORMATEX&) {
    output.clear();
    frameRemainder = 0;
    return true;
}

} // namespace backend

bool sndPlaySoundA(const char* path, UINT) {
    systemSounds.push_back(path ? path : "");
    return PlayWaveFile(path, RenderToEnd);
}

namespace headless {

void RenderSound(std::uint32_t milliseconds) {
    if (!outputOpen) return;
    std::uint64_t due = std::uint64_t{std::min(milliseconds, kKeptMilliseconds)} *
                            SoundOutputFormat().nSamplesPerSec +
                        frameRemainder;
    frameRemainder = due % 1000;
    Render(due / 1000);
}

const std::vector<std::uint8_t>& SoundOutput() { return output; }

std::vector<int> SoundSamples() {
    std::vector<int> samples;
    if (SoundOutputFormat().wBitsPerSample == 8) {
        for (std::uint8_t value : output) samples.push_back(value - 128);
    } else {
        for (std::size_t i = 0; i + 1 < output.size(); i += 2)
            samples.push_back(static_cast<std::int16_t>(output[i] | output[i + 1] << 8));
    }
    return samples;
}

void ClearSoundOutput() {
    output.clear();
    systemSounds.clear();
}

void SetSoundDevicePresent(bool present) { devicePresent = present; }

const std::vector<std::string>& SystemSoundLog() { return systemSounds; }

} // namespace headless
} // namespace platform
