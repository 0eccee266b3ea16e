#include "map/map_files.h"
#include "map/map_model.h"
#include "platform/files/file_io.h"
#include "tools/map/map_usage.h"
#include "tools/map/tmx.h"
#include "tools/map/tmx_read.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int ImportTmx(const char* in, const char* name) {
    tessera::MapLayers map;
    if (!AllocateLayersOnHugePages(map)) {
        std::fprintf(stderr, "tessera-map: out of memory for the map layers\n");
        return 0;
    }
    const int fd = platform::OpenForRead(in);
    if (fd < 0) {
        std::fprintf(stderr, "tessera-map: %s: cannot read (%s)\n", in, std::strerror(errno));
        return 0;
    }
    const int read = ReadTmxFile(map, fd, in);
    platform::CloseFile(fd);
    if (!read) return 0;
    if (tessera::MapError error; !SaveMap(map, name, &error)) {
        std::fprintf(stderr, "tessera-map: %s\n", MapFailure("save", name, error).c_str());
        return 0;
    }
    return 1;
}

int RunImport(int argc, char** argv) {
    if (argc != 2) return UsageError(MapUsage, "import needs a document IN.tmx and a map NAME");
    if (const int status = RefuseMapName(argv[1])) return status;
    return ImportTmx(argv[0], argv[1]) ? 0 : 1;
}
