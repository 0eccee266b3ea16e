#include "tools/map/value_tiles.h"

#include "png/png_rows.h"

#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t KEY = 0xFF00FF;

// The hexadecimal digits in 3 x 5 pixels, one row of three bits per entry,
// leftmost pixel in the highest bit.
constexpr std::uint8_t DIGITS[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7},
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6},
    {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4}};

// Grounds by the value's low digit: cool for attributes, warm for enemies.
constexpr std::uint32_t ATTRIBUTE_GROUNDS[8] = {0x1F5FBF, 0x1F8F8F, 0x2F7F3F, 0x3F3FAF,
                                                0x1F6F6F, 0x4F8FCF, 0x2F5F7F, 0x5F7FAF};
constexpr std::uint32_t ENEMY_GROUNDS[8] = {0xBF3F1F, 0xAF6F0F, 0x9F1F3F, 0xCF5F2F,
                                            0x8F2F1F, 0xBF7F3F, 0xAF2F5F, 0x7F3F0F};

// The pixel at (x, y) of tile v.
std::uint32_t TilePixel(int v, int x, int y, ValueTiles kind) {
    if (v == 0) return KEY;
    const std::uint32_t* grounds =
        kind == ValueTiles::Attributes ? ATTRIBUTE_GROUNDS : ENEMY_GROUNDS;
    const std::uint32_t ground = grounds[v & 7];
    // High digit at columns 0 to 2, low digit at 4 to 6, rows 1 to 5; white.
    if (y < 1 || y > 5 || x == 3 || x == 7) return ground;
    const int digit = x < 3 ? v >> 4 : v & 15;
    const int bit = 2 - (x < 3 ? x : x - 4);
    return (DIGITS[digit][y - 1] >> bit & 1) ? 0xFFFFFF : ground;
}

} // namespace

bool WriteValueTiles(int fd, ValueTiles kind) {
    PngRowWriter writer;
    std::vector<std::uint8_t> rgb(VALUE_TILES_SIZE * 3);
    bool written = writer.Open(fd, VALUE_TILES_SIZE, VALUE_TILES_SIZE);
    for (int y = 0; y < VALUE_TILES_SIZE && written; ++y) {
        for (int x = 0; x < VALUE_TILES_SIZE; ++x) {
            const int v = y / 8 * VALUE_TILE_COLUMNS + x / 8;
            const std::uint32_t p = TilePixel(v, x % 8, y % 8, kind);
            rgb[3 * x] = static_cast<std::uint8_t>(p >> 16);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(p);
        }
        written = writer.WriteRow(rgb.data());
    }
    if (written && writer.Finish()) return true;
    errno = writer.Error();
    return false;
}
