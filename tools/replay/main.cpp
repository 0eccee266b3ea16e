// tessera-replay [--run NAME [--screen X,Y]] SCRIPT: runs the editor, or with
// --run the play-test on the map NAME, in the current folder, driven by a script.
#include "editor/edit_scene.h"
#include "tools/replay/replay_run.h"
#include "tools/run/run_scene.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    int x = 0, y = 0;
    const bool run = argc >= 4 && std::strcmp(argv[1], "--run") == 0;
    const bool screen = run && argc == 6 && std::strcmp(argv[3], "--screen") == 0;
    if (!(argc == 2 || (run && argc == 4) || screen) ||
        (screen && !ParseStartScreen(argv[4], x, y))) {
        std::fprintf(stderr, "usage: tessera-replay [--run NAME [--screen X,Y]] SCRIPT\n");
        return 2;
    }
    if (run) {
        if (!OpenPlayMap(argv[2], x, y)) return 1;
        RegisterPlayTest();
    } else {
        RegisterEditor();
    }
    return RunReplayFile(argv[argc - 1]);
}
