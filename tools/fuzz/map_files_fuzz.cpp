// libFuzzer entry for the map loader: the input, cut at its first two NUL bytes
// into the chip, attribute and enemy files, is written into a private folder
// and loaded. Every set of files is either read into the layers, within their
// bounds, or refused; never read or written out of bounds.
#include "map/map_files.h"
#include "map/map_model.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    namespace fs = std::filesystem;
    // One folder and one map for every input, as one editor loads one map
    // after another; the folder goes when the process ends.
    static const struct Folder {
        std::string path = (fs::temp_directory_path() / "tessera-map-fuzz-XXXXXX").string();
        Folder() {
            if (!mkdtemp(path.data())) std::abort();
        }
        ~Folder() { fs::remove_all(path); }
    } folder;
    static const std::string name = folder.path + "/m";
    static tessera::MapLayers map;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        const std::size_t end = file + 1 < MAP_FILE_COUNT ? rest.find('\0') : rest.npos;
        std::ofstream(tessera::MapFileName(name, file), std::ios::binary | std::ios::trunc)
            << rest.substr(0, end);
        rest.remove_prefix(end == rest.npos ? rest.size() : end + 1);
    }
    if (LoadMap(map, name.c_str()) && (map.width < MAP_SIZE_MIN || map.width > MAP_SIZE_MAX ||
                                       map.height < MAP_SIZE_MIN || map.height > MAP_SIZE_MAX))
        std::abort();
    return 0;
}
