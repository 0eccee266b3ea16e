// Building a sound pack from the WAV files of a folder.
#include "platform/files.h"
#include "platform/text_encoding.h"
#include "sound/buffers.h"
#include "system/system.h"

#include <cstdio>
#include <string>

namespace elSound {

namespace {

void PutDword(std::FILE* pack, std::uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, pack);
}

// Appends the file as one record, named by the part of `file` after its last '\'.
void AppendFile(const std::string& packPath, const std::string& file) {
    std::vector<std::uint8_t> format, data;
    // Files that are no readable WAV, or whose format block a pack cannot
    // hold, are left out, so that the pack stays readable.
    if (!ReadWave(BesideProgram(file.c_str()).c_str(), format, data) ||
        format.size() != FORMAT_BLOCK_SIZE)
        return;
    std::FILE* pack = std::fopen(platform::ResolvePath(packPath.c_str()).c_str(), "ab");
    if (!pack) return;
    const std::string name = file.substr(file.rfind('\\') + 1);
    PutDword(pack, static_cast<std::uint32_t>(data.size()));
    std::fwrite(name.c_str(), 1, name.size() + 1, pack);
    PutDword(pack, static_cast<std::uint32_t>(format.size()));
    std::fwrite(format.data(), 1, format.size(), pack);
    std::fwrite(data.data(), 1, data.size(), pack);
    std::fclose(pack);
}

} // namespace

int MakePack(const char* pack, const char* folder, int fresh) {
    const std::string packPath = BesideProgram(pack);
    if (fresh) std::remove(platform::ResolvePath(packPath.c_str()).c_str());
    const std::string prefix = folder[0] ? std::string(folder) + "\\" : "";
    for (const std::string& found :
         platform::FindFiles(BesideProgram((prefix + "*.WAV").c_str()).c_str())) {
        std::string file = prefix + found;
        platform::UpperCaseCp932(file.data(), file.size());
        AppendFile(packPath, file);
    }
    return 1;
}

} // namespace elSound
