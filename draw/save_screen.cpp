// Screen shot: the back buffer's top-left corner written as a 24-bit BMP file.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/files/files.h"
#include "system/system.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace elDraw {

namespace {

constexpr std::uint32_t HEADER_SIZE = 58; // 14-byte file header, 44-byte information block

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLong(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> Header(int width, int height, std::uint32_t rowSize) {
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out{'B', 'M'};
    PutLong(out, HEADER_SIZE + imageSize);
    PutWord(out, 0);
    PutWord(out, 0);
    PutLong(out, HEADER_SIZE);
    PutLong(out, 40);
    PutLong(out, static_cast<std::uint32_t>(width));
    PutLong(out, static_cast<std::uint32_t>(height));
    PutWord(out, 1);
    PutWord(out, 24);
    PutLong(out, 0);
    PutLong(out, imageSize);
    PutLong(out, 2834);
    PutLong(out, 2834);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);
    return out;
}

// Pixels of one row as blue, green, red bytes.
void ConvertRow(const std::uint8_t* pixels, int count, int bits, std::uint8_t* out) {
    for (int x = 0; x < count; ++x, out += 3) {
        if (bits == 16) {
            const std::uint16_t p = reinterpret_cast<const std::uint16_t*>(pixels)[x];
            out[0] = static_cast<std::uint8_t>(DecomposeTable[p][2] * 8);
            out[1] = static_cast<std::uint8_t>(DecomposeTable[p][1] * 8);
            out[2] = static_cast<std::uint8_t>(DecomposeTable[p][0] * 8);
        } else {
            const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(pixels)[x];
            out[0] = static_cast<std::uint8_t>(p >> PixelFormat.Blue.Shift);
            out[1] = static_cast<std::uint8_t>(p >> PixelFormat.Green.Shift);
            out[2] = static_cast<std::uint8_t>(p >> PixelFormat.Red.Shift);
        }
    }
}

// Rows go bottom-up. Pixels beyond the back buffer's edges are written black.
void WriteFile(const char* name, const std::uint8_t* bits, int pitch, int width, int height) {
    const int depth = elSystem::ColorDepth();
    if ((depth != 16 && depth != 32) || width < 0 || height < 0) return;
    const std::string path =
        platform::ResolvePath((std::string(elSystem::ProgramFolder(0)) + name).c_str());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::vector<std::uint8_t> header = Header(width, height, rowSize);
    std::fwrite(header.data(), 1, header.size(), file);
    const int count = std::min(width, BackBuffer->width);
    std::vector<std::uint8_t> row(rowSize, 0);
    for (int y = height - 1; y >= 0; --y) {
        if (y < BackBuffer->height)
            ConvertRow(bits + static_cast<std::ptrdiff_t>(y) * pitch, count, depth, row.data());
        else
            std::fill(row.begin(), row.end(), 0);
        std::fwrite(row.data(), 1, row.size(), file);
    }
    std::fclose(file);
}

} // namespace

int SaveScreen(const char* name, int width, int height) {
    void* bits = nullptr;
    int pitch = 0;
    if (platform::Lock(BackBuffer, &bits, &pitch) != platform::DD_OK) return 0;
    WriteFile(name, static_cast<const std::uint8_t*>(bits), pitch, width, height);
    platform::Unlock(BackBuffer);
    return 1;
}

} // namespace elDraw
