// Undo and redo of a stamp over the whole layer array (6144 x 4608 cells),
// beside writing the same image back through the cell accessor, the
// resident memory after ten such stamps in the history, and such a stamp
// dragged through the editor's frame.
#include "draw/draw.h"
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "map/layer_area.h"
#include "map/undo_history.h"
#include "system/input_state.h"
#include "system/system.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <utility>

namespace {

// A stamp of the whole array, written and recorded as stamping does.
void StampWholeArray(int value) {
    tessera::AreaImage after(std::size_t{LAYER_COLUMNS} * LAYER_ROWS);
    for (std::size_t i = 0; i < after.size(); ++i)
        after[i] = static_cast<std::int32_t>((i * 7 + static_cast<std::size_t>(value)) % 20000);
    WriteStamp(EditorMap, EditorHistory, std::move(after), LAYER_COLUMNS, LAYER_ROWS, 0, 0);
}

double ResidentMiB() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

void Prepare() {
    AllocateLayers(EditorMap);
    if (EditorHistory.count == 0) StampWholeArray(1);
}

void BM_UndoWholeArray(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        Undo(EditorMap, EditorHistory);
        state.PauseTiming();
        Redo(EditorMap, EditorHistory);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoWholeArray)->Unit(benchmark::kMillisecond);

void BM_RedoWholeArray(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        state.PauseTiming();
        Undo(EditorMap, EditorHistory);
        state.ResumeTiming();
        Redo(EditorMap, EditorHistory);
    }
}
BENCHMARK(BM_RedoWholeArray)->Unit(benchmark::kMillisecond);

// The same image written back one cell at a time, bounds checked per cell.
void BM_UndoWholeArrayPerCell(benchmark::State& state) {
    Prepare();
    const tessera::UndoRecord& record = *EditorHistory.records[EditorHistory.count - 1];
    for (auto _ : state)
        for (int i = 0; i < record.height; ++i)
            for (int j = 0; j < record.width; ++j)
                SetCell(ChipLayer, record.top + i, record.left + j,
                        record.before[static_cast<std::size_t>(i) * record.width + j]);
}
BENCHMARK(BM_UndoWholeArrayPerCell)->Unit(benchmark::kMillisecond);

// Ten whole-array stamps: the history keeps only what fits in its bound.
void BM_TenWholeArrayStamps(benchmark::State& state) {
    AllocateLayers(EditorMap);
    for (auto _ : state)
        for (int i = 0; i < 10; ++i) StampWholeArray(i);
    state.counters["resident_MiB"] = ResidentMiB();
    state.counters["records"] = EditorHistory.count;
    state.counters["images_MiB"] = static_cast<double>(EditorHistory.bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_TenWholeArrayStamps)->Unit(benchmark::kMillisecond)->Iterations(1);

// One editor frame with the pointer at (x, y) and the right button as given.
void RightButtonFrame(int x, int y, int held, int click) {
    MouseX = x;
    MouseY = y;
    RightHeld = held;
    RightClick = click;
    EditScene();
}

// Pressed on the top-left cell of a 64 x 64 map, the view then moved to the
// arrays' far corner and the button released on cell (6143, 4607): the three
// frames of the drag, the last one writing the area and pushing its record.
void BM_StampDragWholeArray(benchmark::State& state) {
    static bool started = false;
    if (!started) {
        elDraw::Screen(1024, 768, 1);
        AllocateLayers(EditorMap);
        started = true;
    }
    MapWidth = MapHeight = MAP_SIZE_MAX;
    for (auto _ : state) {
        ViewX = ViewY = 0;
        RightButtonFrame(4, 4, 1, 1);
        ViewX = LAYER_COLUMNS - VIEW_COLUMNS + 1;
        ViewY = LAYER_ROWS - VIEW_ROWS + 1;
        RightButtonFrame(790, 590, 1, 0);
        RightButtonFrame(790, 590, 0, 0);
    }
    const tessera::UndoRecord& record = *EditorHistory.current;
    state.counters["cells"] = static_cast<double>(record.width) * record.height;
}
BENCHMARK(BM_StampDragWholeArray)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
