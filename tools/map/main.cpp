// tessera-map COMMAND ...: map tools beside the editor, one command per job.
#include "tools/map/map_render.h"
#include "tools/map/map_usage.h"
#include "tools/map/tmx.h"

#include <cstring>
#include <string>

const CommandUsage MapUsage{
    "tessera-map",
    "render NAME OUT.png [--scale 1|2|4|8] [--frame 0|1] [--attributes] [--enemies]\n"
    "export NAME OUT.tmx\n"
    "import IN.tmx NAME",
    "Works on the map NAME (NAME_data.txt, NAME_zk.txt, NAME_teki.txt) in the current folder.\n"
    "  render  draws the whole map as a PNG picture; --scale 8 is one pixel per cell,\n"
    "          --frame the chip sheet, --attributes and --enemies their layers over it\n"
    "  export  writes a TMX document and its tileset pictures OUT_chips.png,\n"
    "          OUT_attributes.png and OUT_enemies.png\n"
    "  import  reads a TMX document (CSV, base64, zlib or gzip layers) into the map\n"
    "Errors name the file and the fault, write nothing and end with status 1.\n"
    "NAME.lock beside the map is locked (never written) while a program saves or\n"
    "reads the map; NAME.journal is there only while a save puts the files in place,\n"
    "or after one was stopped half-way, which the next save or load finishes.\n",
};

int RefuseMapName(const char* name) {
    const char* fault = tessera::MapNameFault(name);
    if (!fault) return 0;
    // Appended, not added up: GCC 12 warns of a false overlap in "..." + string.
    std::string message = "\"";
    message.append(Printable(name)).append("\": ").append(fault);
    return UsageError(MapUsage, message);
}

std::string MapFailure(const char* doing, const char* name, const tessera::MapError& error) {
    return std::string("cannot ") + doing + " the map \"" + Printable(name) +
           "\": " + Printable(tessera::DescribeMapError(error));
}

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

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, MapUsage); status >= 0) return status;
    if (argc < 2) return UsageError(MapUsage, "no command given");
    for (const Command& command : COMMANDS)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    return UsageError(MapUsage, (IsOption(argv[1]) ? "unknown option \"" : "unknown command \"") +
                                    std::string(argv[1]) + "\"");
}
