// Building a sound pack from the WAV files of a folder.
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "sound/buffers.h"
#include "system/system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace elSound {

namespace {

void PutDword(std::FILE* pack, std::uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, pack);
}

// Copies `size` bytes from `in` to `out` in blocks; 0, or an errno value.
int Copy(std::FILE* in, std::FILE* out, std::uint32_t size) {
    std::vector<char> block(64 << 10);
    for (std::uint32_t left = size; left > 0;) {
        const std::size_t part = std::min<std::size_t>(left, block.size());
        errno = 0;
        // A file cut short while it is read gives an input error.
        if (std::fread(block.data(), 1, part, in) != part) return errno ? errno : EIO;
        if (std::fwrite(block.data(), 1, part, out) != part) return errno ? errno : EIO;
        left -= static_cast<std::uint32_t>(part);
    }
    return 0;
}

} // namespace

int AppendPackRecord(const std::string& pack, const std::string& wave, const std::string& name) {
    errno = 0;
    File in(std::fopen(wave.c_str(), "rb"));
    if (!in) return errno ? errno : EIO;
    std::vector<std::uint8_t> format;
    std::uint32_t size = 0;
    if (!ReadWaveHeader(in.get(), format, size) || format.size() != FORMAT_BLOCK_SIZE)
        return EINVAL;
    std::error_code failure;
    const std::uintmax_t before =
        std::filesystem::exists(pack, failure) ? std::filesystem::file_size(pack, failure) : 0;
    if (failure) return failure.value();
    std::FILE* out = std::fopen(pack.c_str(), "ab");
    if (!out) return errno ? errno : EIO;
    PutDword(out, size);
    std::fwrite(name.c_str(), 1, name.size() + 1, out);
    PutDword(out, static_cast<std::uint32_t>(format.size()));
    std::fwrite(format.data(), 1, format.size(), out);
    int error = std::ferror(out) ? (errno ? errno : EIO) : Copy(in.get(), out, size);
    errno = 0;
    if (std::fclose(out) != 0 && !error) error = errno ? errno : EIO;
    // A record cut short would hide every record after it: the pack goes back
    // to what it was.
    if (error) std::filesystem::resize_file(pack, before, failure);
    return error;
}

int MakePack(const char* pack, const char* folder, int fresh) {
    const std::string packPath = BesideProgram(pack);
    if (fresh) std::remove(platform::ResolvePath(packPath.c_str()).c_str());
    const std::string prefix = folder[0] ? std::string(folder) + "\\" : "";
    for (const std::string& found :
         platform::FindFiles(BesideProgram((prefix + "*.WAV").c_str()).c_str())) {
        std::string file = prefix + found;
        platform::UpperCaseCp932(file.data(), file.size());
        // Files that are no readable WAV, or whose format block a pack cannot
        // hold, are left out, so that the pack stays readable.
        AppendPackRecord(platform::ResolvePath(packPath.c_str()),
                         platform::ResolvePath(BesideProgram(file.c_str()).c_str()),
                         file.substr(file.rfind('\\') + 1));
    }
    return 1;
}

} // namespace elSound
