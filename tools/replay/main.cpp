// tessera-replay SCRIPT: runs the editor, in the current folder, driven by a script.
#include "editor/edit_scene.h"
#include "tools/replay/replay_run.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-replay SCRIPT\n");
        return 2;
    }
    RegisterEditor();
    return RunReplayFile(argv[1]);
}
