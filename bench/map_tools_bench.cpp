// tessera-map run as the program on a full 64 x 64-screen map (6144 x 4608
// cells), made once per run: chips of every part of the sheet, different in
// neighbouring cells, an attribute in about one cell of eleven and an enemy
// every few screens. The editor's own load of the same map is the reference.
// Times are wall-clock seconds; render at scale 1 also reports the largest
// resident size of the programs run so far (it runs first of them).
#include "editor/map_files.h"
#include "editor/map_model.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string Folder;

void MakeFullMap() {
    MapWidth = MapHeight = MAP_SIZE_MAX;
    for (int row = 0; row < LAYER_ROWS; ++row)
        for (int column = 0; column < LAYER_COLUMNS; ++column) {
            ChipLayer[row][column] = (row * 977 + column * 131) % 20000;
            AttrLayer[row][column] = (row * 7 + column * 3) % 11 == 0 ? (row + column) % 16 : 0;
            EnemyLayer[row][column] =
                row % 37 == 5 && column % 41 == 3 ? 1 + (row + column) % 8 : 0;
        }
}

// Runs tessera-map with the arguments in the map's folder; 0 on success.
int RunMap(const std::string& arguments) {
    const std::string command = "cd '" + Folder + "' && '" TESSERA_MAP "' " + arguments;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Command(benchmark::State& state, const char* arguments) {
    for (auto _ : state)
        if (RunMap(arguments) != 0) state.SkipWithError(arguments);
}

void BM_LoadMap(benchmark::State& state) {
    const std::string name = Folder + "/full";
    for (auto _ : state)
        if (!LoadMap(name.c_str()) || MapWidth != 64 || MapHeight != 64)
            state.SkipWithError("LoadMap failed");
}

void BM_RenderScale1(benchmark::State& state) {
    Command(state, "render full full.png");
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    std::filesystem::remove(Folder + "/full.png"); // gigabytes
}

void BM_RenderScale8(benchmark::State& state) { Command(state, "render full small.png --scale 8"); }
void BM_Export(benchmark::State& state) { Command(state, "export full full.tmx"); }
void BM_Import(benchmark::State& state) {
    if (!std::filesystem::exists(Folder + "/full.tmx") && RunMap("export full full.tmx") != 0)
        state.SkipWithError("export failed");
    Command(state, "import full.tmx copy");
}

BENCHMARK(BM_LoadMap)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RenderScale1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RenderScale8)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Export)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Import)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* tmp = std::getenv("TMPDIR");
    Folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/map_tools_bench.XXXXXX";
    if (!mkdtemp(Folder.data()) || !AllocateLayers()) return 1;
    MakeFullMap();
    if (!SaveMap((Folder + "/full").c_str())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder);
    return 0;
}
