// The play-test headless: one whole frame with a screen of varied chips, 32
// awake enemies walking in cages and the status line; and the start of
// tessera-replay --run on a full 64 x 64 map up to its first frame and out.
#include "map/map_files.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "system/system.h"
#include "tests/level_map.h"
#include "tests/spawn_in_folder.h"

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Four floors of eight cages, each holding one enemy that turns at its walls.
void BuildScreen(tessera::MapLayers& map) {
    map.width = map.height = 1;
    for (int r = 0; r < SCREEN_ROWS; ++r)
        for (int c = 0; c < SCREEN_COLUMNS; ++c) {
            map.chips[r][c] = (r * 131 + c * 17) % CHIP_COUNT;
            const bool floor = r % 16 == 15 || r == SCREEN_ROWS - 1;
            const bool wall = c >= 8 && (c - 8) % 11 == 0 && r % 16 >= 7;
            map.attributes[r][c] = floor || wall ? 1 : 0;
            map.enemies[r][c] = r % 16 == 8 && c >= 9 && (c - 9) % 11 == 0 && r < 64
                                    ? 1 + (r / 16 * 8 + (c - 9) / 11) % 8
                                    : 0;
        }
}

void RunFrame(benchmark::State& state) {
    tessera::MapLayers map;
    if (!AllocateLayers(map)) {
        state.SkipWithError("no memory for the layers");
        return;
    }
    BuildScreen(map);
    PlayMap(map, 0, 0);
    RunStartup();
    for (auto _ : state) {
        FrameSeconds = 1.0f / STEPS_PER_SECOND;
        RunScene();
    }
    int awake = 0;
    for (const Enemy& enemy : Enemies) awake += enemy.awake && enemy.alive;
    state.counters["awake_enemies"] = awake;
    if (Restarts != 0) state.SkipWithError("the run was restarted");
}

// A full map laid out as a level, its solid chips marked solid, an enemy
// every few screens' worth of cells, saved by a child process so that this
// one stays small.
std::string FullMap() {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("tessera-run-bench-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(folder);
    const pid_t child = fork();
    if (child == 0) {
        tessera::MapLayers map;
        if (!AllocateLayers(map)) _exit(1);
        map.width = map.height = MAP_SIZE_MAX;
        for (int row = 0; row < LAYER_ROWS; ++row)
            for (int column = 0; column < LAYER_COLUMNS; ++column) {
                const int chip = LevelChip(row, column);
                map.chips[row][column] = chip;
                map.attributes[row][column] = IsSolidChip(chip);
                map.enemies[row][column] = row % 72 == 52 && column % 97 == 40 ? 1 : 0;
            }
        _exit(SaveMap(map, (folder + "/full").c_str()) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || status != 0) return "";
    std::ofstream(folder + "/first.replay") << "frames 1\n";
    return folder;
}

void StartOnFullMap(benchmark::State& state) {
    const std::string folder = FullMap();
    if (folder.empty()) {
        state.SkipWithError("cannot write the full map");
        return;
    }
    for (auto _ : state) {
        const pid_t child =
            SpawnInFolder(TESSERA_REPLAY, {"--run", "full", "first.replay"}, folder);
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || status != 0)
            state.SkipWithError("tessera-replay --run failed");
    }
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(RunFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(StartOnFullMap)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
