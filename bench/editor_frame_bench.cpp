// Whole editor frames on the headless backend, with the editor's own images:
// chip editing with a full view of varied chips, and enemy editing with every
// cell under the overlay holding a non-zero value (types 1 to 8 among them, so
// sprites and numbers are both drawn). Beside them, the attribute pass that
// every save runs, over a full map.
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "editor/map_view.h"
#include "editor/modes.h"
#include "system/system.h"

#include <benchmark/benchmark.h>

namespace {

void FillView() {
    for (int r = 0; r < VIEW_ROWS; ++r)
        for (int c = 0; c < VIEW_COLUMNS; ++c) {
            SetCell(ChipLayer, r, c, (r * 131 + c * 17) % (SHEET_COLUMNS * SHEET_ROWS));
            SetCell(EnemyLayer, r, c, (r * 7 + c * 3) % 255 + 1);
        }
}

void EditorFrame(benchmark::State& state) {
    static bool started = false;
    if (!started) {
        EditorStartup();
        FillView();
        started = true;
    }
    if (PanelImage == 0 || CharSprites[7] == 0) {
        state.SkipWithError("the editor's images are missing");
        return;
    }
    EditMode = EDIT_CHIPS;
    EditScene();
    if (state.range(0) == 2) {
        TakeSnapshot();
        EditMode = EDIT_ENEMIES;
    }
    for (auto _ : state) EditScene();
    state.SetLabel(state.range(0) == 2 ? "enemy editing" : "chip editing");
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

} // namespace

BENCHMARK(EditorFrame)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(SolidPassFullMap)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
