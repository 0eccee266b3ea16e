// Reading draw pack records.
#include "draw/packs_format.h"

#include <cstring>

namespace elDraw {

namespace {

bool ReadWord(std::FILE* file, std::uint16_t& value) {
    unsigned char bytes[2];
    if (std::fread(bytes, 1, 2, file) != 2) return false;
    value = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

std::uint32_t Component(std::uint32_t value, const PixelChannel& channel) {
    if (channel.Max <= 63) return value << channel.Shift5;
    return ((value << 3) | (value >> 2)) << channel.Shift;
}

} // namespace

bool ReadPackName(std::FILE* file, char (&name)[PACK_NAME_LIMIT + 1], bool& tooLong) {
    int length = 0;
    tooLong = false;
    for (int c; (c = std::getc(file)) != EOF;) {
        if (c == 0) {
            name[length] = '\0';
            return true;
        }
        if (length < PACK_NAME_LIMIT)
            name[length++] = static_cast<char>(c);
        else
            tooLong = true;
    }
    return false;
}

bool FileHolds(std::FILE* file, long long size) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    return std::fseek(file, here, SEEK_SET) == 0 && end >= 0 && end - here >= size;
}

bool FindPackRecord(std::FILE* file, const char* name, PackRecord& record) {
    char recordName[PACK_NAME_LIMIT + 1];
    bool tooLong;
    while (ReadWord(file, record.Width) && ReadWord(file, record.Height)) {
        if (!ReadPackName(file, recordName, tooLong)) return false;
        const long long size = 2LL * record.Width * record.Height;
        if (!tooLong && std::strcmp(recordName, name) == 0)
            return size > 0 && FileHolds(file, size);
        if (std::fseek(file, static_cast<long>(size), SEEK_CUR) != 0) return false;
    }
    return false;
}

std::uint32_t PackToPixel(std::uint16_t value, const PixelFormatInfo& format) {
    return Component(value >> 10 & 31, format.Red) | Component(value >> 5 & 31, format.Green) |
           Component(value & 31, format.Blue);
}

void ReadPackPixels(std::FILE* file, const PackRecord& record, const PixelFormatInfo& format,
                    int bytes, std::uint8_t* rows, int pitch) {
    for (int y = 0; y < record.Height; ++y) {
        std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < record.Width; ++x) {
            std::uint16_t value;
            if (!ReadWord(file, value)) return;
            const std::uint32_t pixel = PackToPixel(value, format);
            for (int b = 0; b < bytes; ++b)
                row[x * bytes + b] = static_cast<std::uint8_t>(pixel >> 8 * b);
        }
    }
}

} // namespace elDraw
