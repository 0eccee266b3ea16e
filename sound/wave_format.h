// Reading WAV files (a RIFF walk) and sound pack records. A record is: the data
// size (32-bit little-endian), the upper-case name ending in NUL, the format
// size (always 18), the format block, then the sample data; records follow one
// another with no header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace elSound {

// Most sample data a sound held whole in memory may have; what is streamed
// from a file is not held, and may have any size its 32-bit fields give.
constexpr std::uint32_t SOUND_DATA_LIMIT = 256u << 20;
// Size of a format block without extra bytes, the only one packs hold.
constexpr std::uint32_t FORMAT_BLOCK_SIZE = 18;

// Reads the head of the RIFF WAVE image in `file`: the "fmt " chunk as an
// 18-byte format block followed by its extra bytes, and the size of the "data"
// chunk, leaving the file at its contents. False, with the format empty and
// the size 0, when the image is not a WAVE, lacks either chunk, or holds less
// data than its chunk claims.
bool ReadWaveHeader(std::FILE* file, std::vector<std::uint8_t>& format, std::uint32_t& dataSize);

// Reads the image whole: the format block as above and the contents of the
// "data" chunk. False, with both empty, also when it holds more data than
// SOUND_DATA_LIMIT.
bool ReadWaveFile(std::FILE* file, std::vector<std::uint8_t>& format,
                  std::vector<std::uint8_t>& data);

// Appends the WAV file at `wave` to the pack at `pack` (paths of this system)
// as one record named `name`, its data copied in blocks, so that a record may
// be of any size. 0 on success; otherwise an errno value (EINVAL when the file
// is no WAV whose format a pack holds), with the pack left as it was.
int AppendPackRecord(const std::string& pack, const std::string& wave, const std::string& name);

struct SoundRecord {
    std::uint32_t DataSize;
};

// Searches from the current position for the first record named `name`, and
// leaves the file at its format block. False when no record has the name, when
// the first that has it is cut short, or when the search meets a record whose
// format block is not 18 bytes (what follows it cannot be found).
bool FindSoundRecord(std::FILE* file, const char* name, SoundRecord& record);

} // namespace elSound
