// The player: a window that only carries messages, the sound device and the
// sequencer started as screen set-up starts them, and a loop that pumps
// messages, refills streams and waits for each file to finish. Every failure
// names the file and its cause.
#include "tools/play/player.h"

#include "platform/backend.h"
#include "platform/files/file_io.h"
#include "platform/formats/midi_file.h"
#include "platform/win/mci.h"
#include "platform/win/messages.h"
#include "platform/win/sound.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "sound/wave_format.h"
#include "system/system.h"
#include "tools/play/stage_folder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

void Report(const std::string& message) {
    std::fprintf(stderr, "tessera-play: %s\n", message.c_str());
}

// The name of the index-th file's copy in the stage: "T", the index, and the
// extension. Built by appending: GCC 12 at -O3 takes "T" + std::to_string(i)
// for an overlapping copy and warns.
std::string StageName(std::size_t index, const char* extension) {
    std::string name = "T";
    name += std::to_string(index);
    name += extension;
    return name;
}

// One pass of the loop: waiting messages handled, streams refilled. False when
// a stream could not be refilled (the framework has shown its box).
bool Tick() {
    MSG message;
    while (platform::PeekMessage(&message)) platform::DispatchMessage(&message);
    const bool served = elSound::Streaming() != 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return served;
}

bool Playing(int no) {
    platform::SoundBuffer* buffer = elSound::MixTable[no][0].Buffer;
    DWORD status = 0;
    return buffer && buffer->GetStatus(&status) == platform::DS_OK &&
           (status & platform::DSBSTATUS_PLAYING);
}

// The framework takes PCM of 8 or 16 bits, mono or stereo, 100 Hz to 100 kHz,
// of any length: long files stream.
bool CheckWave(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot read it (" + std::strerror(errno) + ")";
        return false;
    }
    std::vector<std::uint8_t> format;
    std::uint32_t size = 0;
    const bool read = elSound::ReadWaveHeader(file, format, size);
    std::fclose(file);
    if (!read) {
        error =
            path + ": not a readable WAV file: its format or data chunk is missing or cut short";
        return false;
    }
    platform::WAVEFORMATEX wave;
    std::copy_n(format.begin(), sizeof wave, reinterpret_cast<std::uint8_t*>(&wave));
    if (wave.wFormatTag != platform::WAVE_FORMAT_PCM ||
        (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16) ||
        (wave.nChannels != 1 && wave.nChannels != 2) ||
        wave.nBlockAlign != wave.nChannels * wave.wBitsPerSample / 8 || wave.nSamplesPerSec < 100 ||
        wave.nSamplesPerSec > 100000) {
        error = path + ": only PCM sound of 8 or 16 bits, mono or stereo, 100 Hz to 100 kHz, can "
                       "be played";
        return false;
    }
    if (size < wave.nBlockAlign) {
        error = path + ": holds no sound: its data chunk is empty";
        return false;
    }
    return true;
}

// A tune the sequencer reads, with at least one note in it.
bool CheckMidi(const std::string& path, std::string& error) {
    std::error_code failure;
    const std::uintmax_t size = std::filesystem::file_size(path, failure);
    if (failure) {
        error = path + ": cannot read it (" + failure.message() + ")";
        return false;
    }
    if (size > platform::MIDI_FILE_LIMIT) {
        error = path + ": larger than any MIDI file the sequencer takes (" +
                std::to_string(platform::MIDI_FILE_LIMIT >> 20) + " MB)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) {
        error = path + ": cannot read it";
        return false;
    }
    platform::MidiSong song;
    if (!platform::ReadMidiFile(bytes.data(), bytes.size(), song)) {
        error = path + ": not a MIDI file the sequencer reads: no header of format 0 or 1, or no "
                       "track";
        return false;
    }
    if (std::none_of(song.events.begin(), song.events.end(), [](const platform::MidiEvent& e) {
            return (e.status & 0xF0) == 0x90 && e.data2 > 0;
        })) {
        error = path + ": no notes can be read from its tracks";
        return false;
    }
    return true;
}

// The file is copied into a pack of its own in the stage, streamed from there,
// once or looping, at the volume and pan asked for; the pack goes afterwards.
bool PlayWave(const PlayOptions& options, const StageFolder& stage, const std::string& path,
              std::size_t index, bool loop) {
    const std::string entry = StageName(index, ".WAV");
    const std::string pack = StageName(index, ".PAK");
    const std::string packPath = stage.path + "/" + pack;
    if (const int error = elSound::AppendPackRecord(packPath, path, entry)) {
        Report(path + ": cannot copy it into the temporary folder " + stage.path + ": " +
               std::strerror(error));
        return false;
    }
    elSound::SetPack((stage.relative + pack).c_str());
    const int no = elSound::LoadStream(entry.c_str(), 0);
    bool played = no >= 0;
    if (!played) Report(path + ": the sound module could not load it");
    if (played) {
        elSound::SetVolume(no, options.volumeDb, elSound::MIX_EACH);
        elSound::SetPan(no, options.panDb, elSound::MIX_EACH);
        if (loop)
            elSound::PlayLoop(no, 0);
        else
            elSound::Play(no, 0);
        while (played && !interrupted && Playing(no)) played = Tick();
        if (!played) {
            errno = 0;
            const std::string cause = platform::MayRead(packPath)
                                          ? std::string("it could not be read")
                                          : std::strerror(errno);
            Report(path + ": stopped: its temporary copy " + packPath + " is gone (" + cause + ")");
        }
        elSound::ReleaseObject(no);
    }
    std::remove(packPath.c_str());
    return played;
}

bool PlayMidi(const std::string& path, const std::string& name, bool loop) {
    elMidi::Play(name.c_str(), loop ? 1 : 0);
    char mode[32];
    if (platform::mciSendStringA("status midi mode", mode, sizeof mode, nullptr) != 0) {
        Report(path + ": the sequencer cannot play it: no General MIDI sound font loads");
        elMidi::Stop();
        return false;
    }
    while (!interrupted && elMidi::MidiOpen) Tick();
    elMidi::Stop();
    // The end of a tune is told a little ahead, and its last notes ring on:
    // they are heard out, for at most three seconds.
    for (int wait = 0; wait < 300 && !interrupted && platform::MusicSounding(); ++wait) Tick();
    return true;
}

int PlayStaged(const PlayOptions& options, const StageFolder& stage) {
    // Every file is checked before the first plays.
    std::vector<std::string> tunes(options.files.size());
    std::string error;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const PlayFile& file = options.files[i];
        bool good;
        if (file.kind == SoundKind::Wave) {
            good = CheckWave(file.path, error);
        } else {
            tunes[i] = StageName(i, ".MID");
            good = CheckMidi(file.path, error) && LinkIntoStage(stage, file.path, tunes[i], error);
        }
        if (!good) {
            Report(error);
            return 1;
        }
    }
    for (std::size_t i = 0; i < options.files.size() && !interrupted; ++i) {
        const PlayFile& file = options.files[i];
        const bool loop = options.loop && i + 1 == options.files.size();
        const bool played = file.kind == SoundKind::Wave
                                ? PlayWave(options, stage, file.path, i, loop)
                                : PlayMidi(file.path, stage.relative + tunes[i], loop);
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
    // Ctrl+C or a polite kill ends the play cleanly, unless the signal was
    // ignored when the player started (as in a job a shell put in the background).
    for (const int signal : {SIGINT, SIGTERM})
        if (std::signal(signal, SIG_IGN) != SIG_IGN) std::signal(signal, OnInterrupt);
    platform::UseWindowsWithoutDisplay();
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = PlayerWindowProc;
    windowClass.lpszClassName = "TesseraPlay";
    platform::RegisterClass(windowClass);
    MainWindowHandle = platform::CreateWindowEx(0, "TesseraPlay", "tessera-play", 0, 0, 0, 1, 1);
    if (!MainWindowHandle) {
        Report("cannot make the window that receives music events");
        return 1;
    }
    if (!elSound::Init()) {
        Report("no sound device");
        platform::DestroyWindow(MainWindowHandle);
        return 1;
    }
    elSound::ResetTable();
    elMidi::Init();
    platform::SetMusicVolume(options.volumeDb * 100);

    StageFolder stage;
    std::string error;
    int status = 1;
    if (MakeStageFolder(elSystem::ProgramFolder(0), stage, error))
        status = PlayStaged(options, stage);
    else
        Report(error);
    elMidi::Stop();
    elSound::Quit();
    RemoveStageFolder(stage);
    platform::DestroyWindow(MainWindowHandle);
    return status;
}
