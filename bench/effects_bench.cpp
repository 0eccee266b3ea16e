// Image effects on a 1024 x 768 5:6:5 back buffer: the editor's dimming blend
// (an 800 x 600 image at opacity 0.7), a table-driven cross-fade and the soft
// edge over the same area, and a 256 x 256 rotation. A quarter of the source
// pixels are 0 (transparent).
#include "draw/draw.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>

namespace {

std::uint16_t ImagePixel(int x, int y) {
    return ((x ^ y) & 3) == 0 ? 0 : static_cast<std::uint16_t>(1 + ((x * 7 + y * 13) & 0x7FFF));
}

ObjectNo MakeImage(int width, int height) {
    ObjectNo no = elDraw::CreateObject(width, height, 2);
    platform::Surface* surface = elDraw::ObjectTable[no].Surface;
    void* bits;
    int pitch;
    platform::Lock(surface, &bits, &pitch);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(bits) + y * pitch)[x] =
                ImagePixel(x, y);
    platform::Unlock(surface);
    return no;
}

void Run(benchmark::State& state, int width, int height,
         const std::function<int(ObjectNo)>& effect) {
    elDraw::SetDepths(16, 0, 0);
    if (elDraw::Screen(1024, 768, 1) != 1) {
        state.SkipWithError("no screen");
        return;
    }
    ObjectNo image = MakeImage(width, height);
    elDraw::FillRect(0, 0, 1024, 768, 0x5AEB);
    for (auto _ : state) {
        benchmark::DoNotOptimize(effect(image));
        benchmark::ClobberMemory();
    }
    elDraw::Quit();
}

void Blend(benchmark::State& state) {
    Run(state, 800, 600,
        [](ObjectNo no) { return elDraw::BlendDraw(0, 0, 0.7f, no, 0, 0, 800, 600); });
}

void CrossFade(benchmark::State& state) {
    Run(state, 800, 600,
        [](ObjectNo no) { return elDraw::CrossFadeDraw(0, 0, 20, no, 0, 0, 800, 600); });
}

void SoftEdge(benchmark::State& state) {
    Run(state, 800, 600,
        [](ObjectNo no) { return elDraw::SoftEdgeDraw(0, 0, no, 0, 0, 800, 600); });
}

void Rotate(benchmark::State& state) {
    Run(state, 256, 256,
        [](ObjectNo no) { return elDraw::RotateDraw(100, 100, 462, 462, 30, no, 0, 0, 256, 256); });
}

} // namespace

BENCHMARK(Blend)->Unit(benchmark::kMillisecond);
BENCHMARK(CrossFade)->Unit(benchmark::kMillisecond);
BENCHMARK(SoftEdge)->Unit(benchmark::kMillisecond);
BENCHMARK(Rotate)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
