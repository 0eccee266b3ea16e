// Saving and loading a full 64 x 64 screen map (three files of 4608 lines of
// 6144 values each), beside a plain stdio version of the same work.
// Every layer holds values spread over 0 to 19999, the chip number range.
#include "map/map_files.h"
#include "map/map_model.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The benchmark's map.
tessera::MapLayers Map;

LayerRow* Layer(int i) { return i == 0 ? Map.chips : i == 1 ? Map.attributes : Map.enemies; }

void FillFullMap() {
    Map.width = Map.height = MAP_SIZE_MAX;
    unsigned seed = 1;
    for (int i = 0; i < 3; ++i)
        for (int row = 0; row < LAYER_ROWS; ++row)
            for (int column = 0; column < LAYER_COLUMNS; ++column) {
                seed = seed * 1103515245u + 12345u;
                SetCell(Layer(i), row, column, static_cast<int>((seed >> 8) % 20000));
            }
}

int NaiveSave(const char* name) {
    for (int i = 0; i < 3; ++i) {
        FILE* f = std::fopen(tessera::MapFileName(name, i).c_str(), "w");
        if (!f) return 0;
        for (int row = 0; row < Map.height * SCREEN_ROWS; ++row) {
            for (int column = 0; column < Map.width * SCREEN_COLUMNS; ++column)
                std::fprintf(f, "%d ", GetCell(Layer(i), row, column));
            std::fputs("\r\n", f);
        }
        std::fclose(f);
    }
    return 1;
}

int NaiveLoad(const char* name) {
    static char line[1 << 17];
    for (int i = 0; i < 3; ++i) {
        FILE* f = std::fopen(tessera::MapFileName(name, i).c_str(), "r");
        if (!f) return 0;
        int row = 0;
        while (std::fgets(line, sizeof line, f)) {
            int column = 0;
            for (char* piece = std::strtok(line, " "); piece; piece = std::strtok(nullptr, " ")) {
                int value;
                if (std::sscanf(piece, "%d", &value) == 1) SetCell(Layer(i), row, column, value);
                ++column;
            }
            if (i == 2) Map.width = column / SCREEN_COLUMNS;
            ++row;
        }
        std::fclose(f);
        if (i == 2) Map.height = row / SCREEN_ROWS;
    }
    return 1;
}

void BM_SaveMap(benchmark::State& state) {
    for (auto _ : state)
        if (!SaveMap(Map, "ours")) state.SkipWithError("SaveMap failed");
}

void BM_NaiveSave(benchmark::State& state) {
    for (auto _ : state)
        if (!NaiveSave("naive")) state.SkipWithError("save failed");
}

void BM_LoadMap(benchmark::State& state) {
    for (auto _ : state)
        if (!LoadMap(Map, "ours") || Map.width != 64 || Map.height != 64)
            state.SkipWithError("LoadMap failed");
}

void BM_NaiveLoad(benchmark::State& state) {
    for (auto _ : state)
        if (!NaiveLoad("ours") || Map.width != 64 || Map.height != 64)
            state.SkipWithError("load failed");
}

BENCHMARK(BM_SaveMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_NaiveSave)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_NaiveLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::filesystem::path previous = std::filesystem::current_path();
    // In TMPDIR when set, to compare file systems.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/map_files_bench.XXXXXX";
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0 || !AllocateLayers(Map)) return 1;
    FillFullMap();
    if (!SaveMap(Map, "ours")) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    return 0;
}
