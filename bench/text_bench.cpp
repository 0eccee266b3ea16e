// Text as the editor draws it on the 1024 x 768 back buffer. The argument is
// the display depth.
// HexLabels: the attribute overlay, one bracket of face 1 at height 7 with a
// "%x" label (values 1..255) in each of the 96 x 72 cells, 8 pixels apart,
// each formatted with snprintf as the editor does.
// EditorLines: a frame's status lines, each in its own debug-style bracket
// (a font made and deleted per line), and the save prompt in the display face.
#include "draw/draw.h"
#include "text/text.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

bool OpenScreen(benchmark::State& state) {
    elDraw::SetDepths(static_cast<int>(state.range(0)), 0, 0);
    if (elDraw::Screen(1024, 768, 1) == 1) return true;
    state.SkipWithError("no screen");
    return false;
}

void HexLabels(benchmark::State& state) {
    if (!OpenScreen(state)) return;
    for (auto _ : state) {
        elText::Begin(1, 7, 0, 0, 0, 0);
        elText::Color(0xC8C8C8, 0, 1);
        char label[8];
        for (int row = 0; row < 72; ++row)
            for (int column = 0; column < 96; ++column) {
                std::snprintf(label, sizeof label, "%x", 1 + (row * 96 + column) % 255);
                elText::Print(column * 8 + 2, row * 8 + 2, label);
            }
        elText::End();
        benchmark::ClobberMemory();
    }
    elDraw::Quit();
}

void DebugLine(int x, int y, const char* text) {
    elText::Begin(1, 12, 0, 0, 0, 0);
    elText::Color(0xFFFFFF, 0x800000, 0);
    elText::Print(x, y, text);
    elText::End();
}

void EditorLines(benchmark::State& state) {
    if (!OpenScreen(state)) return;
    int frame = 0;
    for (auto _ : state) {
        char line[260];
        std::snprintf(line, sizeof line, "マップ編集  X:%d Y:%d  チップ %d", frame % 100,
                      frame % 75, frame % 20000);
        DebugLine(400, 400, line);
        std::snprintf(line, sizeof line, "マップサイズ %d x %d 画面", 1 + frame % 64,
                      1 + frame % 64);
        DebugLine(400, 420, line);
        DebugLine(400, 440, "Ctrl+Z 元に戻す  Ctrl+Y やり直し");
        elText::BeginFace("HG創英角ﾎﾟｯﾌﾟ体", 20, 0, 0, 0, 0);
        elText::Color(0xC8C8FF, 0, 1);
        elText::Print(360, 700, "保存名を指定してください：");
        elText::Print(360, 720, "map01");
        elText::End();
        ++frame;
        benchmark::ClobberMemory();
    }
    elDraw::Quit();
}

} // namespace

BENCHMARK(HexLabels)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorLines)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
