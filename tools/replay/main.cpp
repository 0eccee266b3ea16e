// tessera-replay SCRIPT: runs the editor, in the current folder, driven by a script.
#include "tools/replay/replay_run.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-replay SCRIPT\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "tessera-replay: cannot read %s\n", argv[1]);
        return 2;
    }
    std::ostringstream source;
    source << file.rdbuf();
    std::vector<ReplayCommand> commands;
    std::string error;
    if (!ParseReplayScript(source.str(), commands, error)) {
        std::fprintf(stderr, "script:%s\n", error.c_str());
        return 2;
    }
    return RunReplay(commands);
}
