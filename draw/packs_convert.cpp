// Building a draw pack from the BMP files of a folder.
#include "draw/draw.h"
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/gdi.h"
#include "system/system.h"

#include <cstdio>
#include <string>
#include <vector>

namespace elDraw {

namespace {

// The 1:5:5:5 value stored for a colour. Black is the transparent value, so a
// colour that is not pure black but has no 5-bit intensity gets blue 1.
std::uint16_t PackValue(COLORREF color) {
    const std::uint32_t red = color & 0xFF, green = color >> 8 & 0xFF, blue = color >> 16 & 0xFF;
    if ((red | green | blue) == 0) return 0;
    std::uint32_t value = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
    return static_cast<std::uint16_t>(value == 0 ? 1 : value);
}

void PutWord(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Appends the image as one record, its name being the part after the last '\'.
void WriteRecord(std::FILE* pack, const std::string& file, const ObjectEntry& entry,
                 platform::HDC dc) {
    std::vector<std::uint8_t> bytes;
    PutWord(bytes, entry.Width);
    PutWord(bytes, entry.Height);
    const std::string name = file.substr(file.rfind('\\') + 1);
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(0);
    std::fwrite(bytes.data(), 1, bytes.size(), pack);
    for (int y = 0; y < entry.Height; ++y) {
        bytes.clear();
        for (int x = 0; x < entry.Width; ++x)
            PutWord(bytes, PackValue(platform::GetPixel(dc, x, y)));
        std::fwrite(bytes.data(), 1, bytes.size(), pack);
    }
}

void ConvertFile(const std::string& packPath, const std::string& file) {
    // A file that does not load leaves 0, an internal object: nothing to write or release.
    const ObjectNo no = LoadObject(file.c_str(), 1);
    if (no == 0) return;
    const ObjectEntry& entry = ObjectTable[no];
    platform::HDC dc = nullptr;
    if (platform::GetDC(entry.Surface, &dc) == platform::DD_OK) {
        // A pack that cannot be opened is skipped for this image.
        if (std::FILE* pack = std::fopen(platform::ResolvePath(packPath.c_str()).c_str(), "ab")) {
            WriteRecord(pack, file, entry, dc);
            std::fclose(pack);
        }
        platform::ReleaseDC(entry.Surface, dc);
    }
    ReleaseObject(no);
}

} // namespace

int Convert(const char* name, const char* folder, int fresh) {
    // Colours are read back exactly only from a display of more than 16 bits.
    if (elSystem::ColorDepth() <= 16)
        return elSystem::Error("elDraw::Convert", "画面をフルカラーにして下さい");
    const std::string programFolder = elSystem::ProgramFolder(0);
    const std::string packPath = programFolder + name;
    if (fresh) std::remove(platform::ResolvePath(packPath.c_str()).c_str());
    const std::string prefix = folder[0] ? std::string(folder) + "\\" : "";
    for (const std::string& found :
         platform::FindFiles((programFolder + prefix + "*.BMP").c_str())) {
        std::string file = prefix + found;
        platform::UpperCaseCp932(file.data(), file.size());
        ConvertFile(packPath, file);
    }
    return 1;
}

} // namespace elDraw
