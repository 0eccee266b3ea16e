// tessera-run NAME [--screen X,Y]: plays the map NAME from game screen X,Y
// (0,0 unless given) in a window of its own.
#include "command_line/command_line.h"
#include "run/map_load.h"
#include "run/run_scene.h"
#include "system/system.h"

#include <cstring>
#include <string>

namespace {

const CommandUsage USAGE{
    "tessera-run",
    "NAME [--screen X,Y]",
    "Plays the map NAME (NAME_data.txt, NAME_zk.txt, NAME_teki.txt in the current\n"
    "folder) in a window of its own, from game screen X,Y (0,0 unless given).\n"
    "A map that cannot be read ends it with status 1.\n",
};

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, USAGE); status >= 0) return status;
    int x = 0, y = 0;
    for (int i = 1; i < argc; ++i)
        if (IsOption(argv[i]) && std::strcmp(argv[i], "--screen") != 0)
            return UsageError(USAGE, "unknown option \"" + std::string(argv[i]) + "\"");
    const bool screen = argc == 4 && std::strcmp(argv[2], "--screen") == 0;
    if (!(argc == 2 || screen) || IsOption(argv[1]))
        return UsageError(USAGE, "give a map NAME, then --screen X,Y to start elsewhere");
    if (screen && !ParseStartScreen(argv[3], x, y))
        return UsageError(USAGE, "--screen " + std::string(argv[3]) + ": give a game screen X,Y");
    tessera::MapLayers map;
    RegisterPlayTestLoading(map, argv[1], x, y);
    const int status = elSystem::RunProgram(1, argv);
    // The program can end before its start-up waited for the map: another
    // play-test runs, or there is no display.
    return PlayMapLoaded() ? status : 1;
}
