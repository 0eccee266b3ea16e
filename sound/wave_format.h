// Reading WAV files (a RIFF walk) and sound pack records. A record is: the data
// size (32-bit little-endian), the upper-case name ending in NUL, the format
// size (always 18), the format block, then the sample data; records follow one
// another with no header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace elSound {

// Most sample data a WAV file or pack record may hold.
constexpr std::uint32_t SOUND_DATA_LIMIT = 256u << 20;
// Size of a format block without extra bytes, the only one packs hold.
constexpr std::uint32_t FORMAT_BLOCK_SIZE = 18;

// Reads the RIFF WAVE image in `file`: the "fmt " chunk as an 18-byte format
// block followed by its extra bytes, and the contents of the "data" chunk.
// False, with both empty, when the image is not a WAVE, lacks either chunk,
// or holds less or more data than it may.
bool ReadWaveFile(std::FILE* file, std::vector<std::uint8_t>& format,
                  std::vector<std::uint8_t>& data);

struct SoundRecord {
    std::uint32_t DataSize;
};

// Searches from the current position for the first record named `name`, and
// leaves the file at its format block. False when no record has the name, when
// the first that has it is cut short or too large, or when the search meets a
// record whose format block is not 18 bytes (what follows it cannot be found).
bool FindSoundRecord(std::FILE* file, const char* name, SoundRecord& record);

} // namespace elSound
