// The sound output on the desktop: an SDL audio device in the primary format,
// whose callback runs the mixer on SDL's audio thread. A new primary format
// closes the device and opens it again in that format; SDL converts to what the
// sound card takes.
#include "platform/desktop/audio.h"
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/win/sound_mixer.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

namespace {

constexpr int kCallbackFrames = 1024;

SDL_AudioDeviceID audioDevice = 0;
// The format the device was opened in; the callback reads it, and it changes
// only while the device is closed.
WAVEFORMATEX deviceFormat{};

void Mix(void* format, Uint8* stream, int bytes) {
    const auto& output = *static_cast<const WAVEFORMATEX*>(format);
    SoundMixer::Render(stream, bytes / output.nBlockAlign, output);
}

bool OpenDevice(const WAVEFORMATEX& format) {
    deviceFormat = format;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.format = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.nChannels);
    wanted.samples = kCallbackFrames;
    wanted.callback = Mix;
    wanted.userdata = &deviceFormat;
    audioDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (audioDevice == 0) return false;
    SDL_PauseAudioDevice(audioDevice, 0);
    return true;
}

void CloseDevice() {
    if (audioDevice != 0) SDL_CloseAudioDevice(audioDevice);
    audioDevice = 0;
}

// Sound libraries trying drivers that are not there write screenfuls of
// errors to the terminal on machines without a sound card; while the device
// opens, standard error goes nowhere.
class QuietErrors {
  public:
    QuietErrors() : saved(dup(STDERR_FILENO)) {
        int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0) {
            std::fflush(stderr);
            dup2(nowhere, STDERR_FILENO);
            close(nowhere);
        }
    }
    ~QuietErrors() {
        if (saved < 0) return;
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

  private:
    int saved;
};

} // namespace

namespace backend {

bool OpenSoundOutput(const WAVEFORMATEX& format) {
    bool opened;
    {
        QuietErrors quiet;
        opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && OpenDevice(format);
        if (!opened) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // One line instead, the first time.
    static bool told = false;
    if (!opened && !told) {
        told = true;
        std::fprintf(stderr, "%s: no sound device (%s); sound is off\n", CommandName(),
                     SDL_GetError());
    }
    return opened;
}

void CloseSoundOutput() {
    CloseDevice();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool ChangeSoundFormat(const WAVEFORMATEX& format) {
    WAVEFORMATEX before = deviceFormat;
    CloseDevice();
    if (OpenDevice(format)) return true;
    // The old format keeps playing when the new one is refused.
    OpenDevice(before);
    return false;
}

} // namespace backend

// Two callbacks' worth, and a little for the driver.
void desktop::DrainSoundOutput() {
    if (audioDevice != 0) SDL_Delay(2 * kCallbackFrames * 1000 / deviceFormat.nSamplesPerSec + 10);
}
} // namespace platform
