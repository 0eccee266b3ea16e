// Whole editor frames on the headless backend, with the editor's own images:
// chip editing with a full view of varied chips, and enemy editing with every
// cell under the overlay holding a non-zero value (types 1 to 8 among them, so
// sprites and numbers are both drawn), chip editing under the open overview
// and with E and A on. Beside them, the attribute pass that every save runs, the
// overview's opening and the start of a recovery copy, over a full map.
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "editor/layer_toggles.h"
#include "editor/map_view.h"
#include "editor/modes.h"
#include "editor/overview.h"
#include "map/recovery_copy.h"
#include "platform/files/private_folder.h"
#include "platform/files/snapshot_task.h"
#include "system/system.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <string>

namespace {

void FillView() {
    for (int r = 0; r < VIEW_ROWS; ++r)
        for (int c = 0; c < VIEW_COLUMNS; ++c) {
            SetCell(ChipLayer, r, c, (r * 131 + c * 17) % (SHEET_COLUMNS * SHEET_ROWS));
            SetCell(EnemyLayer, r, c, (r * 7 + c * 3) % 255 + 1);
        }
}

// Starts the editor once, for every benchmark; false when its images are missing.
bool Started(benchmark::State& state) {
    static bool started = false;
    if (!started) {
        EditorStartup();
        FillView();
        started = true;
    }
    if (PanelImage != 0 && CharSprites[7] != 0) return true;
    state.SkipWithError("the editor's images are missing");
    return false;
}

// What a frame shows: chip editing, enemy editing, chip editing under the
// overview, or chip editing with E and A on (the view's enemies as sprites,
// its solid cells tinted).
enum FrameKind { CHIPS, ENEMIES, OVERVIEW, LAYERS };

void EditorFrame(benchmark::State& state) {
    if (!Started(state)) return;
    EditMode = EDIT_CHIPS;
    EditScene();
    if (state.range(0) == ENEMIES) {
        TakeSnapshot();
        EditMode = EDIT_ENEMIES;
    }
    OverviewOpen = state.range(0) == OVERVIEW;
    ShowEnemies = ShowSolidTint = state.range(0) == LAYERS;
    for (auto _ : state) EditScene();
    OverviewOpen = ShowEnemies = ShowSolidTint = 0;
    constexpr const char* LABELS[] = {"chip editing", "enemy editing", "overview open",
                                      "chip editing, E and A on"};
    state.SetLabel(LABELS[state.range(0)]);
}

// A full 64 x 64-screen map of varied chips, two in five of them solid. The first
// pass sets their attributes; the later ones, as repeated saves do, find them
// in step and write nothing.
void SolidPassFullMap(benchmark::State& state) {
    AllocateLayers(EditorMap);
    MapWidth = MapHeight = MAP_SIZE_MAX;
    for (int r = 0; r < LAYER_ROWS; ++r)
        for (int c = 0; c < LAYER_COLUMNS; ++c) ChipLayer[r][c] = (r * 131 + c * 17) % CHIP_COUNT;
    for (auto _ : state) SolidPass();
    MapWidth = MapHeight = 1;
}

// The frame that opens the overview on a full map of varied chips with an
// enemy every 37 cells, its picture drawn whole (as after a load), and the
// frame after a stamp, which redraws the stamp's cells only.
void OverviewFullMap(benchmark::State& state) {
    if (!Started(state)) return;
    MapWidth = MapHeight = MAP_SIZE_MAX;
    for (int r = 0; r < LAYER_ROWS; ++r)
        for (int c = 0; c < LAYER_COLUMNS; ++c) {
            ChipLayer[r][c] = (r * 131 + c * 17) % CHIP_COUNT;
            EnemyLayer[r][c] = (r * LAYER_COLUMNS + c) % 37 == 0 ? 1 : 0;
        }
    const bool whole = state.range(0) == 0;
    OverviewOpen = 1;
    EditScene();
    for (auto _ : state) {
        if (whole)
            OverviewTouchAll();
        else
            OverviewTouch(3000, 2000, 40, 30);
        EditScene();
    }
    OverviewOpen = 0;
    MapWidth = MapHeight = 1;
    state.SetLabel(whole ? "opened after a load" : "after a 40 x 30 stamp");
}

// The frame that starts a recovery copy of a full map, every cell of its three
// layers written (so that all of their memory is the process's): the copy of
// the process that the desktop makes (manual time), beside a frame; the
// copy's own writing of the map, flushed, is reported as `write_s`.
double Seconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void RecoveryCopyStart(benchmark::State& state) {
    if (!Started(state)) return;
    MapWidth = MapHeight = MAP_SIZE_MAX;
    for (int r = 0; r < LAYER_ROWS; ++r)
        for (int c = 0; c < LAYER_COLUMNS; ++c) {
            ChipLayer[r][c] = (r * 131 + c * 17) % CHIP_COUNT;
            AttrLayer[r][c] = c % 3;
            EnemyLayer[r][c] = (r * LAYER_COLUMNS + c) % 37 == 0 ? 1 : 0;
        }
    const std::string folder = platform::MakePrivateFolder("tessera-bench-recovery-");
    double writing = 0;
    for (auto _ : state) {
        const double start = Seconds();
        const int task = platform::ForkSnapshotTask(
            [&folder] { return tessera::WriteRecoveryCopy(EditorMap, "full", folder); });
        const double started = Seconds();
        state.SetIterationTime(started - start);
        if (task == 0 || platform::SnapshotTaskEnd(task, true) != platform::TASK_DONE) {
            state.SkipWithError("the copy was not written");
            break;
        }
        writing += Seconds() - started;
    }
    state.counters["write_s"] = benchmark::Counter(writing, benchmark::Counter::kAvgIterations);
    platform::RemoveFolder(folder);
    MapWidth = MapHeight = 1;
}

} // namespace

BENCHMARK(EditorFrame)
    ->Arg(CHIPS)
    ->Arg(ENEMIES)
    ->Arg(OVERVIEW)
    ->Arg(LAYERS)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SolidPassFullMap)->Unit(benchmark::kMillisecond);
BENCHMARK(OverviewFullMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(RecoveryCopyStart)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
