// elSound: the sound device, the table of sound objects with their mix
// buffers, the loaders (WAV files, sound packs, streams), playback and echo.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {
class SoundDevice;
class SoundBuffer;
} // namespace platform

namespace elSound {

// Mix selectors: the buffer whose turn is next, or every buffer of the object.
constexpr int MIX_TURN = -2;
constexpr int MIX_EACH = -1;

constexpr int SOUND_COUNT = 70;
constexpr int MIX_LIMIT = 10;
constexpr int SOUND_NAME_LIMIT = 30;
constexpr int SOUND_PATH_LIMIT = 256;

// The refill state of a streaming object; DataSize is 0 for every other object.
struct StreamRecord {
    std::uint32_t StartOffset;    // pack offset of the first data byte
    std::uint32_t EndOffset;      // pack offset reading resumes at after the data
    std::uint32_t ReadOffset;     // pack offset of the next read
    std::uint32_t DataSize;       // bytes of sample data, whole sample frames
    std::uint32_t ReadTotal;      // bytes of the data counted as read
    std::uint32_t LastWriteStart; // buffer offset of the latest chunk
    std::uint32_t WriteOffset;    // buffer offset of the next chunk
    std::uint32_t ChunkSize;      // two seconds of sound
    std::uint32_t BufferSize;     // four seconds of sound
    std::int32_t WrapMark;        // play position when a write began below the one before, or -1
    std::uint32_t LastPlay;       // play position at the latest refill
    std::uint8_t EndCountdown;    // 2 once a stream that does not loop has read its data
    std::uint16_t FrameBytes;     // bytes of one sample frame
    std::uint8_t Silence;         // the byte value of silence (0x80 for 8-bit samples)
    char PackPath[SOUND_PATH_LIMIT];
};

struct SoundObject {
    int InUse;
    int MixCount; // 1 to 10
    char Name[SOUND_NAME_LIMIT + 1];
    int FromPack;
    StreamRecord Stream;
    int EchoCounter; // -1 cannot echo, 0 idle, else the number of the next echo
    int CurrentMix;  // the mix buffer whose turn is next
    std::uint32_t BaseFrequency;
    int Looping;
    int EchoLoop;
    float EchoElapsed; // ms since the latest echo
    float EchoPanDb;
    int EchoDirection;
};

struct MixBuffer {
    platform::SoundBuffer* Buffer;
    std::int32_t Volume;     // hundredths of a decibel, -10000..0
    std::uint32_t Frequency; // Hz
    std::int32_t Pan;        // hundredths of a decibel, -10000..10000
    std::uint32_t SavedPosition;
};

extern platform::SoundDevice* Device;
extern platform::SoundBuffer* PrimaryBuffer;
extern int SoundAvailable;
extern int Reloading;
extern int CurrentSlot;
extern char SoundPackPath[SOUND_PATH_LIMIT];
extern SoundObject SoundTable[SOUND_COUNT];
extern MixBuffer MixTable[SOUND_COUNT][MIX_LIMIT];

// Device and table.
int Init();
// Every entry free, with one mix buffer and default settings.
void ResetTable();
void Quit();
void Reload();
int SelectFormat(int channels, int rate, int bits);
void PlaySystem(const char* file);

// Loaders: the new SoundNo, or -1.
int LoadObject(const char* name, int mix);
void SetPack(const char* name);
int LoadPack(const char* name, int mix);
int LoadStream(const char* name, int loopStart);
void ReleaseObject(int no);
// Reads a WAV file: its format block (18 bytes and the extra ones) and its
// sample data. 0, with both empty, when the file is missing or damaged.
int ReadWave(const char* path, std::vector<std::uint8_t>& format, std::vector<std::uint8_t>& data);
// Appends every WAV file of the folder to the pack (emptied first when `fresh`).
int MakePack(const char* pack, const char* folder, int fresh);

// Streaming, once per frame.
int Streaming();
int ResetStream(int no);

// Playback and control; `mix` is a mix buffer, MIX_TURN or MIX_EACH.
void Play(int no, int mix);
void PlayLoop(int no, int mix);
void Stop(int no, int mix);
void Pause(int no, int mix);
void AddFrequency(int no, int value, int mix);
void SetFrequency(int no, int value, int mix);
void ResetFrequency(int no, int mix);
void AddPan(int no, int value, int mix);
void SetPan(int no, int value, int mix);
void ResetPan(int no, int mix);
void PanLeft(int no, int mix);
void PanRight(int no, int mix);
void AddVolume(int no, int value, int mix);
void SetVolume(int no, int value, int mix);
void ResetVolume(int no, int mix);

// Echo, once per frame while wanted.
void Echo(int no, int interval, int repeats, int step);
void EchoPan(int no, int interval, int repeats, int step, int speed);
std::uint32_t GetPosition(int no);

} // namespace elSound
