#include "run/map_load.h"

#include "map/map_files.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "system/system.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The load while start-up runs, and its result.
std::thread Loading;
int LoadResult = 1;

// Opens the window and loads what the game shows and plays while the map
// loads, then starts the run on it.
void StartupWhileLoading() {
    OpenRunScreen();
    if (!PlayMapLoaded()) {
        elSystem::Shutdown();
        std::exit(EXIT_FAILURE);
    }
    BeginRun();
}

} // namespace

int LoadPlayMap(tessera::MapLayers& map, const char* name, int screenX, int screenY) {
    if (!AllocateLayersOnHugePages(map)) {
        std::fprintf(stderr, "tessera-run: not enough memory for the map\n");
        return 0;
    }
    if (tessera::MapError error; !LoadMap(map, name, &error)) {
        std::fprintf(stderr, "tessera-run: cannot read the map %s: %s\n", name,
                     tessera::DescribeMapError(error).c_str());
        return 0;
    }
    PlayMap(map, screenX, screenY);
    return 1;
}

void RegisterPlayTestLoading(tessera::MapLayers& map, const char* name, int screenX, int screenY) {
    LoadResult = 1;
    Loading = std::thread([&map, name = std::string(name), screenX, screenY] {
        LoadResult = LoadPlayMap(map, name.c_str(), screenX, screenY);
    });
    RegisterPlayTest();
    ProgramStartup = StartupWhileLoading;
}

int PlayMapLoaded() {
    if (Loading.joinable()) Loading.join();
    return LoadResult;
}
