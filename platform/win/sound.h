// The sound device: one software mixer that plays PCM buffers (voices) into a
// primary output. The desktop mixes on the audio thread into the sound card;
// the headless backend mixes into memory as its clock advances.
#pragma once

#include "platform/win/win_defs.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

#pragma pack(push, 1)
// A PCM format as WAV files store it (18 bytes; cbSize extra bytes follow it).
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

constexpr WORD WAVE_FORMAT_PCM = 1;

// Buffer description flags.
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

// Play flags and status bits.
constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;

// Cooperative levels.
constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;

// Volume and pan limits, hundredths of a decibel; frequency limits in Hz.
constexpr long DSBVOLUME_MIN = -10000;
constexpr long DSBVOLUME_MAX = 0;
constexpr long DSBPAN_LEFT = -10000;
constexpr long DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 100000;

// A PCM format within the bounds of a voice (any rate 100..100000 Hz) or, with
// `output`, of the primary (8000..48000 Hz).
bool ValidPcmFormat(const WAVEFORMATEX& format, bool output);

// Results of the device and buffer calls.
constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = -2147467259;      // 0x80004005
constexpr HRESULT DSERR_INVALIDPARAM = -2147024809; // 0x80070057
constexpr HRESULT DSERR_NODRIVER = -2005401480;     // 0x88780078
constexpr HRESULT DSERR_OUTOFMEMORY = -2147024882;  // 0x8007000E

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes; // 0 for the primary buffer
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat; // null for the primary buffer
};

class SoundBuffer;

// The device: opened by DirectSoundCreate, it owns the mixer and its output.
// Every call is made on the main thread; the mixer runs on its own thread (the
// desktop's audio callback) or, headless, as the clock advances, and reads the
// buffers under the mixer's lock, which every buffer call takes.
class SoundDevice {
  public:
    HRESULT SetCooperativeLevel(HWND window, DWORD level);
    // A primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format) stands for the
    // output; a secondary one is a voice of `dwBufferBytes` bytes of PCM data
    // (8 or 16 bits, 1 or 2 channels, 100..100000 Hz, a size that is a whole
    // number of sample frames). Bad descriptions are refused, never crash.
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, SoundBuffer** buffer);
    // Closes the output; buffers still alive are released with it.
    void Release();

  private:
    friend HRESULT DirectSoundCreate(SoundDevice** device);
    SoundDevice() = default;
    ~SoundDevice() = default;
};

// Opens the default output. DSERR_NODRIVER when there is none or sound is
// switched off (the program then runs silent).
HRESULT DirectSoundCreate(SoundDevice** device);

// One buffer of PCM data: a voice of the mixer, or the primary output (only
// SetFormat and GetFormat apply to that).
class SoundBuffer {
  public:
    // Offers `bytes` bytes from `offset` for writing: the first part up to the
    // buffer's end, the second from offset 0 (null and 0 when the range does not
    // wrap). More bytes than the buffer holds, or an offset past it, are refused.
    // `flags` are not used.
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                 DWORD* bytes2, DWORD flags);
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2);
    // Starts from the current position, once to the end (then stops there) or,
    // with DSBPLAY_LOOPING, round and round.
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    // Stops; the position stays where it is.
    HRESULT Stop();
    // Play position in bytes, on a sample frame (the buffer's size after a play
    // to the end); `write` may be null, and is the same position, as the mixer
    // reads the data as it plays.
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    // Rounded down to a frame; past the buffer's size: refused.
    HRESULT SetCurrentPosition(DWORD position);
    // DSBSTATUS_PLAYING, with DSBSTATUS_LOOPING when playing looped.
    HRESULT GetStatus(DWORD* status);
    // Hundredths of a decibel, -10000..0; pan -10000..10000 is the attenuation
    // of the opposite side (-10000 silences the right); an attenuation of 10000
    // or more is silence. Out of range: refused.
    HRESULT SetVolume(long volume);
    HRESULT GetVolume(long* volume);
    HRESULT SetPan(long pan);
    HRESULT GetPan(long* pan);
    // Playback rate in Hz, 100..100000; the data is resampled to the output.
    HRESULT SetFrequency(DWORD frequency);
    HRESULT GetFrequency(DWORD* frequency);
    // Primary buffer only: PCM, 1 or 2 channels, 8 or 16 bits, 8000..48000 Hz.
    // GetFormat gives the output's format, or a voice's own.
    HRESULT SetFormat(const WAVEFORMATEX* format);
    HRESULT GetFormat(WAVEFORMATEX* format);
    void Release();

  private:
    friend class SoundDevice;
    friend struct SoundMixer;
    SoundBuffer() = default;
    ~SoundBuffer() = default;

    SoundDevice* device = nullptr;
    bool primary = false;
    // A voice: its PCM data, frames of `format.nBlockAlign` bytes.
    WAVEFORMATEX format{};
    std::vector<std::uint8_t> data;
    std::uint32_t frames = 0;
    long volume = 0;
    long pan = 0;
    DWORD frequency = 0;
    // Gains of the left and right output, from volume and pan.
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    bool playing = false;
    bool looping = false;
    // Play position in frames, 32.32 fixed point: whole frames above, fraction below.
    std::uint64_t position = 0;
    // The system's own buffer, where the system's sound device plays the voice
    // (the native Windows backend); null elsewhere.
    void* native = nullptr;
};

// A source mixed into the output after the voices (the MIDI synthesiser): it
// adds `frames` stereo frames at `rate` Hz to `mix` (interleaved floats, full
// scale 1.0) and tells whether it still sounds. Called on the mixer's thread
// outside the mixer's lock, so that the main thread's buffer calls never wait
// for it; a mix under way may still call the source it replaced. Null removes it.
void SetMusicSource(std::function<bool(float* mix, int frames, int rate)> source);
// The music's level in hundredths of a decibel, -10000..0, as a voice's volume.
// A full score is held below full scale before this level applies.
HRESULT SetMusicVolume(long volume);
// Whether the music source sounded in the latest mix.
bool MusicSounding();

} // namespace platform
