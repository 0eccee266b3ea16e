// Reading WAV files: the RIFF walk to the "fmt " and "data" chunks, refusing damaged files.
#include "sound/wave_format.h"

#include "platform/win/sound.h"

#include <algorithm>
#include <cstring>

namespace elSound {

namespace {

std::uint32_t Dword(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

long long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

// Finds the chunk `id` among the chunks from `from` up to `end` (each padded to
// an even size), and leaves the file at its contents.
bool FindChunk(std::FILE* file, const char* id, long long from, long long end, std::uint32_t& size,
               long long& at) {
    for (long long position = from; position + 8 <= end;
         position += 8 + static_cast<long long>(size) + (size & 1)) {
        std::uint8_t header[8];
        if (std::fseek(file, static_cast<long>(position), SEEK_SET) != 0 ||
            std::fread(header, 1, 8, file) != 8)
            return false;
        size = Dword(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            at = position + 8;
            return true;
        }
    }
    return false;
}

bool ReadFormat(std::FILE* file, long long riffEnd, std::vector<std::uint8_t>& format) {
    std::uint32_t size;
    long long at;
    if (!FindChunk(file, "fmt ", 12, riffEnd, size, at) || size < 16) return false;
    std::uint8_t head[16];
    if (std::fread(head, 1, 16, file) != 16) return false;
    // A format other than PCM counts its extra bytes, when its chunk holds the count.
    std::uint16_t extra = 0;
    if ((head[0] | head[1] << 8) != platform::WAVE_FORMAT_PCM && size >= 18) {
        std::uint8_t count[2];
        if (std::fread(count, 1, 2, file) != 2) return false;
        extra = static_cast<std::uint16_t>(count[0] | count[1] << 8);
        if (FORMAT_BLOCK_SIZE + extra > size) return false;
    }
    format.assign(head, head + 16);
    format.push_back(static_cast<std::uint8_t>(extra));
    format.push_back(static_cast<std::uint8_t>(extra >> 8));
    format.resize(FORMAT_BLOCK_SIZE + extra);
    return std::fread(format.data() + FORMAT_BLOCK_SIZE, 1, extra, file) == extra;
}

// Finds the "data" chunk, which must lie within the file, and leaves the file
// at its contents.
bool FindData(std::FILE* file, long long riffEnd, long long fileSize, std::uint32_t& size) {
    long long at;
    return FindChunk(file, "data", 12, riffEnd, size, at) && size <= fileSize - at;
}

} // namespace

bool ReadWaveHeader(std::FILE* file, std::vector<std::uint8_t>& format, std::uint32_t& dataSize) {
    format.clear();
    dataSize = 0;
    const long long fileSize = FileSize(file);
    std::uint8_t head[12];
    bool read = fileSize >= 12 && std::fread(head, 1, 12, file) == 12 &&
                std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
    if (read) {
        // Chunks are searched within the RIFF chunk, as far as the file goes.
        const long long riffEnd = std::min(8 + static_cast<long long>(Dword(head + 4)), fileSize);
        read = ReadFormat(file, riffEnd, format) && FindData(file, riffEnd, fileSize, dataSize);
    }
    if (!read) {
        format.clear();
        dataSize = 0;
    }
    return read;
}

bool ReadWaveFile(std::FILE* file, std::vector<std::uint8_t>& format,
                  std::vector<std::uint8_t>& data) {
    data.clear();
    std::uint32_t size;
    bool read = ReadWaveHeader(file, format, size) && size <= SOUND_DATA_LIMIT;
    if (read) {
        data.resize(size);
        read = std::fread(data.data(), 1, size, file) == size;
    }
    if (!read) {
        format.clear();
        data.clear();
    }
    return read;
}

} // namespace elSound
