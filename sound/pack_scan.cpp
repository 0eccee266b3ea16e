// Finding records in a sound pack, refusing damaged ones.
#include "draw/packs_format.h"
#include "sound/wave_format.h"

#include <cstring>

namespace elSound {

namespace {

bool ReadDword(std::FILE* file, std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4) return false;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

} // namespace

bool FindSoundRecord(std::FILE* file, const char* name, SoundRecord& record) {
    char recordName[elDraw::PACK_NAME_LIMIT + 1];
    bool tooLong;
    std::uint32_t formatSize;
    while (ReadDword(file, record.DataSize)) {
        if (!elDraw::ReadPackName(file, recordName, tooLong) || !ReadDword(file, formatSize))
            return false;
        if (formatSize != FORMAT_BLOCK_SIZE) return false;
        if (!tooLong && std::strcmp(recordName, name) == 0)
            return elDraw::FileHolds(file, FORMAT_BLOCK_SIZE + record.DataSize);
        if (std::fseek(file, static_cast<long>(FORMAT_BLOCK_SIZE + record.DataSize), SEEK_CUR) != 0)
            return false;
    }
    return false;
}

} // namespace elSound
