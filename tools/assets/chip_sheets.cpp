#include "tools/assets/chip_sheets.h"

#include "tools/assets/chip_tile.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace assets {

namespace {

struct Family {
    int firstColumn;
    void (*paint)(const Tile&);
};

// Sorted by first column; each family runs up to the next one's first column.
constexpr Family kFamilies[] = {
    {0, PaintSky},         {8, PaintClimbing}, {12, PaintWater},  {16, PaintPlants},
    {20, PaintDecoration}, {24, PaintLights},  {28, PaintLedges}, {32, PaintGround},
    {40, PaintBricks},     {48, PaintBlocks},  {56, PaintRock},   {64, PaintLava},
    {68, PaintHazards},    {72, PaintItems},   {76, PaintFlags},
};

void PaintChip(Canvas& sheet, int column, int row, int frame) {
    const Family* family = kFamilies;
    for (const Family& f : kFamilies)
        if (f.firstColumn <= column) family = &f;
    const int band = row / kBandRows;
    family->paint(Tile{sheet, column - family->firstColumn, row % kBandRows, band, frame,
                       ThemeOfBand(band), column * kChip, row * kChip});
}

// A chip as a 16-bit display shows it (five bits a channel), so that chips
// counted as different also look different there.
std::string Seen(const Canvas& sheet, int x0, int y0) {
    std::string key;
    for (int y = 0; y < kChip; ++y)
        for (int x = 0; x < kChip; ++x) {
            const Rgb c = sheet.Get(x0 + x, y0 + y);
            key += static_cast<char>(c.r >> 3), key += static_cast<char>(c.g >> 3),
                key += static_cast<char>(c.b >> 3);
        }
    return key;
}

// Gives a chip that looks like an earlier one a grain of its own: one pixel
// lighter or darker in each frame, preferably inside a surface. A static chip
// gets the same grain in both frames.
void Mark(std::array<Canvas, 2>& sheets, int x0, int y0, int attempt) {
    for (Canvas& sheet : sheets) {
        auto drawn = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < kChip && y < kChip && !sheet.Clear(x0 + x, y0 + y);
        };
        std::vector<int> inner, any;
        for (int y = 0; y < kChip; ++y)
            for (int x = 0; x < kChip; ++x) {
                if (!drawn(x, y)) continue;
                any.push_back(y * kChip + x);
                if (drawn(x - 1, y) && drawn(x + 1, y) && drawn(x, y - 1) && drawn(x, y + 1))
                    inner.push_back(y * kChip + x);
            }
        const std::vector<int>& choice = inner.empty() ? any : inner;
        if (choice.empty()) continue;
        const int p = choice[Hash(x0, y0, attempt) % choice.size()];
        const int x = x0 + p % kChip, y = y0 + p / kChip;
        sheet.Put(x, y, Contrast(sheet.Get(x, y), 40));
    }
}

} // namespace

std::array<Canvas, 2> DrawChipSheets() {
    std::array<Canvas, 2> sheets{Canvas(kSheetColumns * kChip, kSheetRows * kChip),
                                 Canvas(kSheetColumns * kChip, kSheetRows * kChip)};
    for (int frame = 0; frame < 2; ++frame)
        for (int row = 0; row < kSheetRows; ++row)
            for (int column = 0; column < kSheetColumns; ++column)
                PaintChip(sheets[frame], column, row, frame);

    std::unordered_set<std::string> seen[2];
    for (int row = 0; row < kSheetRows; ++row)
        for (int column = 0; column < kSheetColumns; ++column) {
            const int x0 = column * kChip, y0 = row * kChip;
            for (int attempt = 0; attempt < 64; ++attempt) {
                if (!seen[0].contains(Seen(sheets[0], x0, y0)) &&
                    !seen[1].contains(Seen(sheets[1], x0, y0)))
                    break;
                Mark(sheets, x0, y0, attempt);
            }
            for (int frame = 0; frame < 2; ++frame) seen[frame].insert(Seen(sheets[frame], x0, y0));
        }
    return sheets;
}

} // namespace assets
