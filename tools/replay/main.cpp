// tessera-replay [--run NAME [--screen X,Y]] SCRIPT: runs the editor, or with
// --run the play-test on the map NAME, in the current folder, driven by a script.
#include "command_line/command_line.h"
#include "editor/edit_scene.h"
#include "run/map_load.h"
#include "run/run_scene.h"
#include "tools/replay/replay_run.h"

#include <cstring>
#include <string>

namespace {

const CommandUsage USAGE{
    "tessera-replay",
    "[--run NAME [--screen X,Y]] SCRIPT",
    "Runs the editor headless in the current folder, or with --run the play-test on\n"
    "the map NAME (from game screen X,Y), with the replay script as its only input:\n"
    "one command per line (frames N, move X Y, ldown, lup, rdown, rup, keydown K,\n"
    "keyup K, wheel N, type TEXT, answer yes|no|ok, screenshot FILE, shell COMMAND,\n"
    "close, ...).\n"
    "A mistake in the script stops the run with status 2.\n",
};

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, USAGE); status >= 0) return status;
    int x = 0, y = 0;
    const bool run = argc >= 2 && std::strcmp(argv[1], "--run") == 0;
    const bool screen = run && argc == 6 && std::strcmp(argv[3], "--screen") == 0;
    if (argc >= 2 && IsOption(argv[1]) && !run)
        return UsageError(USAGE, "unknown option \"" + std::string(argv[1]) + "\"");
    if (!(argc == 2 && !run) && !(run && argc == 4) && !screen)
        return UsageError(USAGE,
                          "give one script, after --run NAME [--screen X,Y] for the play-test");
    if (screen && !ParseStartScreen(argv[4], x, y))
        return UsageError(USAGE, "--screen " + std::string(argv[4]) + ": give a game screen X,Y");
    tessera::MapLayers map;
    if (run) {
        if (!LoadPlayMap(map, argv[2], x, y)) return 1;
        RegisterPlayTest();
    } else {
        RegisterEditor();
    }
    return RunReplayFile(argv[argc - 1]);
}
