#include "tools/map/output_files.h"

#include "map/map_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

int PrepareOutputs(std::span<OutputFile> outputs, const char* map) {
    for (OutputFile& output : outputs) {
        if (!platform::PrepareReplacement(output.name, output.file)) {
            ReportWriteError(output, errno);
            return 0;
        }
        if (tessera::IsMapFile(map, output.file.path)) {
            std::fprintf(stderr, "tessera-map: %s: is a file of the map %s; give another name\n",
                         output.name.c_str(), map);
            return 0;
        }
    }
    return 1;
}

int CreateOutput(OutputFile& output) {
    const int fd = platform::CreateReplacement(output.file);
    if (fd < 0) ReportWriteError(output, errno);
    return fd;
}

void ReportWriteError(const OutputFile& output, int error) {
    std::fprintf(stderr, "tessera-map: %s: cannot write (%s)\n", output.name.c_str(),
                 std::strerror(error));
}

int FinishOutputs(std::span<OutputFile> outputs, bool written) {
    std::vector<platform::ReplacedFile> files;
    for (const OutputFile& output : outputs) files.push_back(output.file);
    if (!written) {
        platform::RestoreFiles(files);
        return 0;
    }
    if (platform::ReplaceFiles(files)) return 1;
    ReportWriteError(outputs.front(), errno); // the name the user gave
    return 0;
}
