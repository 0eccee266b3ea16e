#include "tools/map/tmx_read.h"
#include "editor/map_model.h"
#include "tools/map/tmx.h"

#include <tinyxml2.h>
#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using tinyxml2::XMLElement;

constexpr std::uint32_t FLIP_BITS = 0xE0000000u; // horizontal, vertical, diagonal

struct LayerIn {
    const char* name;
    LayerRow* const* layer;
    int count;    // values the layer's tileset holds
    int firstgid; // read from the document's tileset of the same name
};

// Errors name the document and the fault.
struct Import {
    const char* file = nullptr;
    int width = 0, height = 0; // in cells
    std::string error;         // the first fault found

    [[gnu::format(printf, 2, 3)]] int Fail(const char* format, ...) {
        char message[512];
        std::va_list values;
        va_start(values, format);
        std::vsnprintf(message, sizeof message, format, values);
        va_end(values);
        error = message;
        return 0;
    }
};

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Decodes base64 text, white space ignored, padding only at the end.
int DecodeBase64(const char* text, std::vector<unsigned char>& out) {
    std::uint32_t bits = 0;
    int held = 0, padding = 0;
    std::size_t symbols = 0;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        ++symbols;
        if (c == '=') {
            if (++padding > 2) return 0;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding) return 0;
        bits = bits << 6 | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out.push_back(static_cast<unsigned char>(bits >> held));
        }
    }
    return symbols % 4 == 0;
}

// Inflates a zlib or gzip stream that must hold exactly `size` bytes.
int Inflate(const std::vector<unsigned char>& in, bool gzip, std::size_t size,
            std::vector<unsigned char>& out) {
    out.assign(size + 1, 0); // one spare byte shows a stream that is too long
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK) return 0;
    stream.next_in = const_cast<unsigned char*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const bool whole = status == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    out.resize(size);
    return whole;
}

// Checks gid number `index` (row by row) of the layer against its tileset and
// stores its value in the layer.
int Store(Import& import, const LayerIn& layer, std::size_t index, std::uint32_t gid) {
    const int row = static_cast<int>(index / static_cast<std::size_t>(import.width));
    const int column = static_cast<int>(index % static_cast<std::size_t>(import.width));
    if (gid & FLIP_BITS)
        return import.Fail("%s layer: flipped tile at row %d, column %d", layer.name, row, column);
    // Gid 0 is an empty cell, as general-purpose editors leave an erased tile.
    const long long value = gid == 0 ? 0 : static_cast<long long>(gid) - layer.firstgid;
    if (value < 0 || value >= layer.count)
        return import.Fail("%s layer: gid %u at row %d, column %d is outside the %s tileset",
                           layer.name, gid, row, column, layer.name);
    (*layer.layer)[row][column] = static_cast<int>(value); // the map lies inside the layers
    return 1;
}

inline bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// Reads CSV gids straight into the layer, as they come.
int ReadCsv(Import& import, const LayerIn& layer, const char* text) {
    const std::size_t cells = static_cast<std::size_t>(import.width) * import.height;
    const char* p = text;
    const char* const end = text + std::strlen(text);
    std::size_t count = 0;
    while (true) {
        while (p < end && IsSpace(*p)) ++p;
        if (p == end) break;
        std::uint32_t gid = 0;
        const auto [next, error] = std::from_chars(p, end, gid);
        if (error == std::errc::result_out_of_range)
            return import.Fail("%s layer: a gid is out of range", layer.name);
        if (error != std::errc())
            return import.Fail("%s layer: CSV holds something other than numbers", layer.name);
        if (count == cells)
            return import.Fail("%s layer: holds more cells than the map's %d x %d", layer.name,
                               import.width, import.height);
        if (!Store(import, layer, count++, gid)) return 0;
        p = next;
        while (p < end && IsSpace(*p)) ++p;
        if (p < end && *p == ',')
            ++p;
        else if (p < end)
            return import.Fail("%s layer: CSV holds something other than numbers", layer.name);
    }
    if (count < cells)
        return import.Fail("%s layer: holds fewer cells than the map's %d x %d", layer.name,
                           import.width, import.height);
    return 1;
}

// Reads base64 gids, plain or compressed, into the layer.
int ReadBase64(Import& import, const LayerIn& layer, const char* text, const char* compression) {
    const std::size_t cells = static_cast<std::size_t>(import.width) * import.height;
    std::vector<unsigned char> bytes, inflated;
    bytes.reserve(std::strlen(text) / 4 * 3);
    if (!DecodeBase64(text, bytes))
        return import.Fail("%s layer: the base64 data is broken or truncated", layer.name);
    if (compression &&
        (std::strcmp(compression, "zlib") == 0 || std::strcmp(compression, "gzip") == 0)) {
        if (!Inflate(bytes, compression[0] == 'g', cells * 4, inflated))
            return import.Fail("%s layer: the %s stream is broken or of the wrong size", layer.name,
                               compression);
        bytes.swap(inflated);
    } else if (compression) {
        return import.Fail("%s layer: compression \"%s\" is not supported", layer.name,
                           compression);
    }
    if (bytes.size() != cells * 4)
        return import.Fail("%s layer: holds %zu bytes, not %zu", layer.name, bytes.size(),
                           cells * 4);
    for (std::size_t i = 0; i < cells; ++i) // little-endian 32-bit gids
        if (!Store(import, layer, i,
                   bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
                       static_cast<std::uint32_t>(bytes[4 * i + 3]) << 24))
            return 0;
    return 1;
}

// Reads the layer's gids, in any of the encodings, into the layer.
int ReadData(Import& import, const LayerIn& layer, const XMLElement* data) {
    const char* encoding = data->Attribute("encoding");
    const char* compression = data->Attribute("compression");
    const char* text = data->GetText() ? data->GetText() : "";
    if (encoding && std::strcmp(encoding, "csv") == 0 && !compression)
        return ReadCsv(import, layer, text);
    if (encoding && std::strcmp(encoding, "base64") == 0)
        return ReadBase64(import, layer, text, compression);
    return import.Fail("%s layer: encoding must be csv or base64", layer.name);
}

int ReadMap(Import& import, const tinyxml2::XMLDocument& document, LayerIn (&layers)[3]) {
    const XMLElement* map = document.FirstChildElement("map");
    if (!map) return import.Fail("not a TMX document (no map element)");
    const char* orientation = map->Attribute("orientation");
    if (!orientation || std::strcmp(orientation, "orthogonal") != 0)
        return import.Fail("the map must be orthogonal");
    if (map->IntAttribute("infinite", 0) != 0)
        return import.Fail("infinite maps are not supported");
    if (map->IntAttribute("tilewidth") != CELL_SIZE || map->IntAttribute("tileheight") != CELL_SIZE)
        return import.Fail("tiles must be 8 x 8 pixels, not %d x %d",
                           map->IntAttribute("tilewidth"), map->IntAttribute("tileheight"));
    import.width = map->IntAttribute("width");
    import.height = map->IntAttribute("height");
    if (import.width % SCREEN_COLUMNS != 0 || import.height % SCREEN_ROWS != 0 ||
        import.width < MAP_SIZE_MIN * SCREEN_COLUMNS ||
        import.width > MAP_SIZE_MAX * SCREEN_COLUMNS ||
        import.height < MAP_SIZE_MIN * SCREEN_ROWS || import.height > MAP_SIZE_MAX * SCREEN_ROWS)
        return import.Fail("the map is %d x %d cells; it must be 1 to 64 screens of 96 x 72 "
                           "each way",
                           import.width, import.height);
    for (const XMLElement* set = map->FirstChildElement("tileset"); set;
         set = set->NextSiblingElement("tileset"))
        for (LayerIn& layer : layers)
            if (const char* name = set->Attribute("name"); name && !std::strcmp(name, layer.name)) {
                layer.firstgid = set->IntAttribute("firstgid");
                layer.count = std::min(layer.count, set->IntAttribute("tilecount", layer.count));
                if (layer.firstgid < 1) return import.Fail("%s tileset: bad firstgid", name);
            }
    const XMLElement* data[3] = {};
    for (LayerIn& layer : layers) {
        if (layer.firstgid < 1) return import.Fail("no tileset named %s", layer.name);
        const XMLElement* found = nullptr;
        for (const XMLElement* element = map->FirstChildElement("layer"); element;
             element = element->NextSiblingElement("layer"))
            if (const char* name = element->Attribute("name");
                name && !std::strcmp(name, layer.name))
                found = element;
        if (!found) return import.Fail("no layer named %s", layer.name);
        if (found->IntAttribute("width") != import.width ||
            found->IntAttribute("height") != import.height)
            return import.Fail("%s layer: its size differs from the map's", layer.name);
        data[&layer - layers] = found->FirstChildElement("data");
        if (!data[&layer - layers]) return import.Fail("%s layer: no data", layer.name);
    }
    // The layers are read side by side, each from its own element of the
    // document; the first fault in layer order is the one reported.
    Import parts[3] = {import, import, import};
    int read[3] = {};
    const auto readLayer = [&](int i) { read[i] = ReadData(parts[i], layers[i], data[i]); };
    std::vector<std::thread> helpers;
    for (int i = 1; i < 3; ++i) {
        try {
            helpers.emplace_back(readLayer, i);
        } catch (const std::system_error&) {
            readLayer(i);
        }
    }
    readLayer(0);
    for (std::thread& helper : helpers) helper.join();
    for (int i = 0; i < 3; ++i)
        if (!read[i]) return import.Fail("%s", parts[i].error.c_str());
    return 1;
}

// Checks the parsed document and fills the layers and the map size.
int ReadDocument(const tinyxml2::XMLDocument& document, tinyxml2::XMLError parsed,
                 const char* file) {
    Import import;
    import.file = file;
    LayerIn layers[] = {{"chips", &ChipLayer, TMX_CHIP_COUNT, 0},
                        {"attributes", &AttrLayer, TMX_VALUE_COUNT, 0},
                        {"enemies", &EnemyLayer, TMX_VALUE_COUNT, 0}};
    if (parsed != tinyxml2::XML_SUCCESS)
        import.Fail("not a readable XML document (%s)", document.ErrorStr());
    else if (!AllocateLayers())
        import.Fail("out of memory for the map layers");
    else
        ReadMap(import, document, layers);
    if (!import.error.empty()) {
        std::fprintf(stderr, "tessera-map: %s: %s\n", file, import.error.c_str());
        return 0;
    }
    MapWidth = import.width / SCREEN_COLUMNS;
    MapHeight = import.height / SCREEN_ROWS;
    return 1;
}

} // namespace

int ReadTmx(const char* text, std::size_t size, const char* file) {
    tinyxml2::XMLDocument document;
    return ReadDocument(document, document.Parse(text, size), file);
}

int ReadTmxFile(std::FILE* in, const char* file) {
    tinyxml2::XMLDocument document;
    return ReadDocument(document, document.LoadFile(in), file);
}
