// The player: a window that only carries messages, the sound device and the
// sequencer started as screen set-up starts them, and a loop that pumps
// messages, refills streams and waits for each file to finish.
#include "tools/play/player.h"

#include "draw/draw.h"
#include "platform/mci.h"
#include "platform/messages.h"
#include "platform/sound.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "system/system.h"
#include "tools/play/stage_folder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// One pass of the loop: waiting messages handled, streams refilled.
void Tick() {
    MSG message;
    while (platform::PeekMessage(&message)) platform::DispatchMessage(&message);
    elSound::Streaming();
    usleep(10000);
}

bool Playing(int no) {
    platform::SoundBuffer* buffer = elSound::MixTable[no][0].Buffer;
    DWORD status = 0;
    return buffer && buffer->GetStatus(&status) == platform::DS_OK &&
           (status & platform::DSBSTATUS_PLAYING);
}

// The framework takes PCM of 8 or 16 bits, mono or stereo, 100 Hz to 100 kHz.
bool Playable(const std::string& path, std::string& error) {
    std::vector<std::uint8_t> format, data;
    if (!elSound::ReadWave(path.c_str(), format, data)) {
        error = path + ": not a readable WAV file";
        return false;
    }
    platform::WAVEFORMATEX wave;
    std::copy_n(format.begin(), sizeof wave, reinterpret_cast<std::uint8_t*>(&wave));
    if (wave.wFormatTag != platform::WAVE_FORMAT_PCM ||
        (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16) ||
        (wave.nChannels != 1 && wave.nChannels != 2) || wave.nSamplesPerSec < 100 ||
        wave.nSamplesPerSec > 100000 || data.empty()) {
        error = path + ": only PCM sound of 8 or 16 bits, mono or stereo, can be played";
        return false;
    }
    return true;
}

// Short files load whole, long ones stream from the pack; both play once or
// looping at the volume and pan asked for.
bool PlayWave(const PlayOptions& options, const std::string& entry, bool loop) {
    const int no = elSound::LoadStream(entry.c_str(), 0);
    if (no < 0) return false;
    elSound::SetVolume(no, options.volumeDb, elSound::MIX_EACH);
    elSound::SetPan(no, options.panDb, elSound::MIX_EACH);
    if (loop)
        elSound::PlayLoop(no, 0);
    else
        elSound::Play(no, 0);
    while (!interrupted && Playing(no)) Tick();
    elSound::ReleaseObject(no);
    return true;
}

bool PlayMidi(const std::string& path, const std::string& name, bool loop) {
    elMidi::Play(name.c_str(), loop ? 1 : 0);
    char mode[32];
    if (platform::mciSendStringA("status midi mode", mode, sizeof mode, nullptr) != 0) {
        std::fprintf(stderr, "tessera-play: %s: the sequencer cannot play it\n", path.c_str());
        elMidi::Stop();
        return false;
    }
    while (!interrupted && elMidi::MidiOpen) Tick();
    elMidi::Stop();
    return true;
}

int PlayStaged(const PlayOptions& options, const StageFolder& stage) {
    std::vector<std::string> names;
    std::string error;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const PlayFile& file = options.files[i];
        const bool wave = file.kind == SoundKind::Wave;
        names.push_back(std::string("T").append(std::to_string(i)).append(wave ? ".WAV" : ".MID"));
        if ((wave && !Playable(file.path, error)) ||
            !LinkIntoStage(stage, file.path, names.back(), error)) {
            std::fprintf(stderr, "tessera-play: %s\n", error.c_str());
            return 1;
        }
    }
    const std::string pack = stage.relative + "PLAY.PAK";
    elSound::MakePack(pack.c_str(), stage.relative.substr(0, stage.relative.size() - 1).c_str(), 1);
    elSound::SetPack(pack.c_str());
    for (std::size_t i = 0; i < options.files.size() && !interrupted; ++i) {
        const PlayFile& file = options.files[i];
        const bool loop = options.loop && i + 1 == options.files.size();
        const bool played = file.kind == SoundKind::Wave
                                ? PlayWave(options, names[i], loop)
                                : PlayMidi(file.path, stage.relative + names[i], loop);
        if (!played) return 1;
    }
    return 0;
}

LRESULT PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The framework's procedure hands end-of-tune notices to the music module.
    if (message == MM_MCINOTIFY) return elSystem::WindowProc(window, message, wParam, lParam);
    return platform::DefWindowProc(window, message, wParam, lParam);
}

} // namespace

int PlayAll(const PlayOptions& options) {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    platform::UseWindowsWithoutDisplay();
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = PlayerWindowProc;
    windowClass.lpszClassName = "TesseraPlay";
    platform::RegisterClass(windowClass);
    MainWindowHandle = platform::CreateWindowEx(0, "TesseraPlay", "tessera-play", 0, 0, 0, 1, 1);
    if (!MainWindowHandle) {
        std::fprintf(stderr, "tessera-play: cannot make the window that receives music events\n");
        return 1;
    }
    if (!elSound::Init()) {
        std::fprintf(stderr, "tessera-play: no sound device\n");
        platform::DestroyWindow(MainWindowHandle);
        return 1;
    }
    elSound::ResetTable();
    elMidi::Init();

    StageFolder stage;
    std::string error;
    int status = 1;
    if (MakeStageFolder(elSystem::ProgramFolder(0), stage, error))
        status = PlayStaged(options, stage);
    else
        std::fprintf(stderr, "tessera-play: %s\n", error.c_str());
    elMidi::Stop();
    elSound::Quit();
    RemoveStageFolder(stage);
    platform::DestroyWindow(MainWindowHandle);
    return status;
}
