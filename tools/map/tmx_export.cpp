#include "editor/map_files.h"
#include "editor/map_model.h"
#include "tools/map/tmx.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

struct LayerOut {
    const char* name;
    LayerRow* const* layer;
    int firstgid;
    int count;
};

const LayerOut LAYERS[] = {
    {"chips", &ChipLayer, TMX_CHIP_FIRSTGID, TMX_CHIP_COUNT},
    {"attributes", &AttrLayer, TMX_ATTR_FIRSTGID, TMX_VALUE_COUNT},
    {"enemies", &EnemyLayer, TMX_ENEMY_FIRSTGID, TMX_VALUE_COUNT},
};

void AppendTileset(std::string& text, const char* name, int firstgid, int count, int columns) {
    text += " <tileset firstgid=\"" + std::to_string(firstgid) + "\" name=\"" + name +
            "\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"" + std::to_string(count) +
            "\" columns=\"" + std::to_string(columns) + "\"/>\n";
}

// Appends the layer as CSV gids, one line per row; 0 if a value has no tile.
int AppendLayer(std::string& text, const LayerOut& out, int id, int width, int height,
                const char* file) {
    text += " <layer id=\"" + std::to_string(id) + "\" name=\"" + out.name + "\" width=\"" +
            std::to_string(width) + "\" height=\"" + std::to_string(height) +
            "\">\n  <data encoding=\"csv\">\n";
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const int value = GetCell(*out.layer, row, column);
            if (value < 0 || value >= out.count) {
                std::fprintf(stderr,
                             "tessera-map: %s: %s layer value %d at row %d, column %d is "
                             "outside 0..%d\n",
                             file, out.name, value, row, column, out.count - 1);
                return 0;
            }
            text += std::to_string(out.firstgid + value);
            if (column + 1 < width || row + 1 < height) text += ',';
        }
        text += '\n';
    }
    text += "</data>\n </layer>\n";
    return 1;
}

// Writes `text` to a temporary file beside `path`, then renames it over.
int WriteWhole(const char* path, const std::string& text) {
    const std::string temporary = std::string(path) + ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "tessera-map: %s: cannot write (%s)\n", path, std::strerror(errno));
        return 0;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path) != 0) {
        std::fprintf(stderr, "tessera-map: %s: cannot write (%s)\n", path, std::strerror(errno));
        std::remove(temporary.c_str());
        return 0;
    }
    return 1;
}

} // namespace

int ExportTmx(const char* name, const char* out) {
    if (!AllocateLayers()) {
        std::fprintf(stderr, "tessera-map: out of memory for the map layers\n");
        return 0;
    }
    if (!LoadMap(name)) {
        std::fprintf(stderr, "tessera-map: %s: cannot load the map's three files\n", name);
        return 0;
    }
    const int width = MapWidth * SCREEN_COLUMNS;
    const int height = MapHeight * SCREEN_ROWS;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<map version=\"1.10\" orientation=\"orthogonal\" "
                       "renderorder=\"right-down\" width=\"" +
                       std::to_string(width) + "\" height=\"" + std::to_string(height) +
                       "\" tilewidth=\"8\" tileheight=\"8\" infinite=\"0\" nextlayerid=\"4\" "
                       "nextobjectid=\"1\">\n";
    AppendTileset(text, "chips", TMX_CHIP_FIRSTGID, TMX_CHIP_COUNT, SHEET_COLUMNS);
    AppendTileset(text, "attributes", TMX_ATTR_FIRSTGID, TMX_VALUE_COUNT, 16);
    AppendTileset(text, "enemies", TMX_ENEMY_FIRSTGID, TMX_VALUE_COUNT, 16);
    int id = 1;
    for (const LayerOut& layer : LAYERS)
        if (!AppendLayer(text, layer, id++, width, height, name)) return 0;
    text += "</map>\n";
    return WriteWhole(out, text);
}

int RunExport(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-map export NAME OUT.tmx\n");
        return 1;
    }
    return ExportTmx(argv[0], argv[1]) ? 0 : 1;
}
