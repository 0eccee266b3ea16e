// What the loaders share: slots of the object table and their mix buffers.
#pragma once

#include "platform/win/sound.h"
#include "sound/sound.h"
#include "sound/wave_format.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace elSound {

// The program's folder followed by `name`: sound files are named relative to it.
std::string BesideProgram(const char* name);

// Whether `no` names an entry of the table.
inline bool InTable(int no) { return static_cast<unsigned>(no) < SOUND_COUNT; }

// The slot a loader fills: the current slot while reloading, else the lowest
// free one. -1 after the error box when every slot is in use.
int TakeSlot(const char* operation);

// Number of mix buffers for a requested mix count: its size, 0 taken as 1.
// 0 after the error box when it is over 10.
int MixCountOf(const char* operation, int mix);

// Creates `count` buffers of `size` bytes for the object, with `flags` and the
// format block, copies `bytes` of `data` into the start of each, and applies
// the settings: the buffer's own when loading, the saved ones when reloading.
// On failure the buffers made are released again and 0 follows the error box.
int MakeBuffers(const char* operation, int no, int count, DWORD flags,
                const std::vector<std::uint8_t>& format, std::uint32_t size,
                const std::uint8_t* data, std::uint32_t bytes);

// The format block as the platform takes it.
platform::WAVEFORMATEX FormatOf(const std::vector<std::uint8_t>& format);

// Bytes of whole sample frames within `bytes`.
std::uint32_t WholeFrames(std::uint32_t bytes, const platform::WAVEFORMATEX& format);

// Stores the name, or leaves the object nameless after the error box when it
// is too long. The SoundNo, or -1.
int NameObject(const char* operation, const char* message, int no, const char* name);

// Stops, releases and forgets every mix buffer of the object.
void ReleaseBuffers(int no);

// A file closed when it goes out of scope.
struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

// Opens the pack at `path` at the format block of the record `name` (found in
// any case). Null after the error box when the pack cannot be opened or has no
// such record.
std::FILE* OpenPackRecord(const char* operation, const char* path, const char* name,
                          SoundRecord& record);

// Loads every object in use again into its own slot, keeping its settings.
void ReloadObjects();

} // namespace elSound
