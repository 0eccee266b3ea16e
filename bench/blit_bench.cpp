// One full map view: 7500 keyed 8 x 8 chips from a 640 x 2000 sheet drawn on
// the 1024 x 768 back buffer (100 x 75 cells, the view scrolled half a cell so
// the first row and column are clipped), plus the opaque 800 x 600 capture.
// The argument is the display depth.
#include "draw/draw.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// Chip pixels, a quarter of them black (the sheet's key).
std::uint32_t SheetPixel(int x, int y) {
    return ((x ^ y) & 3) == 0 ? 0 : 1 + ((x * 7 + y * 13) & 0x7FFF);
}

void FillSheet(platform::Surface* sheet) {
    void* bits;
    int pitch;
    platform::Lock(sheet, &bits, &pitch);
    for (int y = 0; y < sheet->height; ++y) {
        auto* row = static_cast<std::uint8_t*>(bits) + y * pitch;
        for (int x = 0; x < sheet->width; ++x) {
            if (sheet->format.bits == 16)
                reinterpret_cast<std::uint16_t*>(row)[x] =
                    static_cast<std::uint16_t>(SheetPixel(x, y));
            else
                reinterpret_cast<std::uint32_t*>(row)[x] = SheetPixel(x, y);
        }
    }
    platform::Unlock(sheet);
}

void MapView(benchmark::State& state) {
    elDraw::SetDepths(static_cast<int>(state.range(0)), 0, 0);
    elDraw::KeyColor(0);
    if (elDraw::Screen(1024, 768, 1) != 1) {
        state.SkipWithError("no screen");
        return;
    }
    ObjectNo sheet = elDraw::CreateObject(640, 2000, 2);
    FillSheet(elDraw::ObjectTable[sheet].Surface);
    for (auto _ : state) {
        for (int row = 0; row < 75; ++row)
            for (int column = 0; column < 100; ++column) {
                // Chips spread over the sheet's 80 x 250.
                const auto chip = static_cast<int>((row * 100u + column) * 2654435761u % 20000);
                const int sx = chip % 80 * 8, sy = chip / 80 * 8;
                elDraw::Draw(column * 8 - 4, row * 8 - 4, sheet, sx, sy, sx + 8, sy + 8);
            }
        elDraw::Capture(0, 0, 0, 800, 600);
        benchmark::ClobberMemory();
    }
    elDraw::Quit();
}

} // namespace

BENCHMARK(MapView)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
