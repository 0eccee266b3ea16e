// tessera-map COMMAND ...: map tools beside the editor, one command per job.
#include "platform/file_replacement.h"
#include "tools/map/map_render.h"
#include "tools/map/tmx.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv); // arguments after the command's name
};

constexpr Command COMMANDS[] = {
    {"render", RunRender},
    {"export", RunExport},
    {"import", RunImport},
};

void PrintUsage() {
    std::fprintf(stderr, "usage: tessera-map render NAME OUT.png [--scale 1|2|4|8] [--frame 0|1] "
                         "[--attributes] [--enemies]\n"
                         "       tessera-map export NAME OUT.tmx\n"
                         "       tessera-map import IN.tmx NAME\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 1;
    }
    platform::SetUpToolSignals();
    for (const Command& command : COMMANDS)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    std::fprintf(stderr, "tessera-map: unknown command \"%s\"\n", argv[1]);
    PrintUsage();
    return 1;
}
