#include "run/map_load.h"

#include "map/map_files.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "system/system.h"

#include <algorithm>
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
    BeginPlayTestRun();
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
    if (screenX >= map.width || screenY >= map.height)
        std::fprintf(stderr,
                     "tessera-run: the map %s is %d x %d game screens; screen %d,%d lies past it, "
                     "so the run starts at %d,%d\n",
                     name, map.width, map.height, screenX, screenY,
                     std::min(screenX, map.width - 1), std::min(screenY, map.height - 1));
    PlayMap(map, screenX, screenY);
    if (EnemiesLeftOut > 0)
        std::fprintf(stderr, "tessera-run: more than %d enemies; the rest are left out\n",
                     ENEMIES_MAX);
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
