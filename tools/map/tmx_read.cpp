#include "tools/map/tmx_read.h"
#include "map/map_model.h"
#include "tools/map/tmx.h"
#include "tools/map/xml_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr std::uint32_t FLIP_BITS = 0xE0000000u; // horizontal, vertical, diagonal
constexpr std::size_t PIECE = 1 << 16;           // bytes decoded or inflated at a time

struct LayerIn {
    const char* name;
    LayerRow* const* layer;
    int count;          // values the layer's tileset holds
    int firstgid = 0;   // read from the document's tileset of the same name
    bool found = false; // the document has a layer of this name
};

// The C library's formatting is the standard one on every system (on Windows
// too, where MinGW's own stands in for the system's).
#ifdef __MINGW32__
#define STANDARD_PRINTF gnu_printf
#else
#define STANDARD_PRINTF printf
#endif

// The first fault found, as it is reported.
struct Fault {
    std::string message;

    [[gnu::format(STANDARD_PRINTF, 2, 3)]] int operator()(const char* format, ...) {
        if (!message.empty()) return 0;
        char text[512];
        std::va_list values;
        va_start(values, format);
        std::vsnprintf(text, sizeof text, format, values);
        va_end(values);
        message = text;
        return 0;
    }
};

enum class Encoding { Csv, Base64, Zlib, Gzip };

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// The text of one layer's <data> element, decoded as it arrives: its gids go
// into the layer in row order as they stand, checked against the map's size
// and for flips; their tileset is checked once the whole document is read.
class DataReader {
  public:
    explicit DataReader(Fault& fault) : fault_(fault) {}
    DataReader(const DataReader&) = delete;
    DataReader& operator=(const DataReader&) = delete;
    ~DataReader() { EndInflate(); }

    int Begin(LayerIn& layer, int width, int height, Encoding encoding) {
        EndInflate();
        layer_ = &layer;
        width_ = width;
        cells_ = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        encoding_ = encoding;
        stored_ = bytes_ = symbols_ = 0;
        row_ = column_ = 0;
        csv_ = CsvState::Before;
        gid_ = 0;
        tooLarge_ = false;
        bits_ = 0;
        held_ = padding_ = partBytes_ = 0;
        part_ = 0;
        if (encoding == Encoding::Zlib || encoding == Encoding::Gzip) {
            stream_ = {};
            if (inflateInit2(&stream_, encoding == Encoding::Gzip ? 16 + MAX_WBITS : MAX_WBITS) !=
                Z_OK)
                return fault_("%s layer: out of memory", layer.name);
            inflating_ = true;
            streamEnded_ = false;
        }
        return 1;
    }

    int Feed(const char* text, std::size_t size) {
        return encoding_ == Encoding::Csv ? FeedCsv(text, size) : FeedBase64(text, size);
    }

    int Finish() {
        if (encoding_ == Encoding::Csv) {
            if (csv_ == CsvState::Number && !EndNumber()) return 0;
            if (stored_ < cells_)
                return fault_("%s layer: holds fewer cells than the map's %d x %zu", layer_->name,
                              width_, cells_ / static_cast<std::size_t>(width_));
            return 1;
        }
        if (symbols_ % 4 != 0)
            return fault_("%s layer: the base64 data is broken or truncated", layer_->name);
        if (encoding_ != Encoding::Base64) {
            const bool whole = streamEnded_ && stream_.total_out == cells_ * 4;
            EndInflate();
            if (!whole) return BrokenStream();
            return 1;
        }
        if (bytes_ != cells_ * 4)
            return fault_("%s layer: holds %zu bytes, not %zu", layer_->name, bytes_, cells_ * 4);
        return 1;
    }

  private:
    enum class CsvState { Before, Number, After }; // a gid, in one, after one

    int Store(std::uint32_t gid) {
        if (stored_ == cells_)
            return fault_("%s layer: holds more cells than the map's %d x %zu", layer_->name,
                          width_, cells_ / static_cast<std::size_t>(width_));
        if (gid & FLIP_BITS)
            return fault_("%s layer: flipped tile at row %d, column %d", layer_->name, row_,
                          column_);
        (*layer_->layer)[row_][column_] = static_cast<std::int32_t>(gid); // inside the layers
        ++stored_;
        if (++column_ == width_) {
            column_ = 0;
            ++row_;
        }
        return 1;
    }

    int NotNumbers() {
        return fault_("%s layer: CSV holds something other than numbers", layer_->name);
    }

    int EndNumber() {
        if (tooLarge_) return fault_("%s layer: a gid is out of range", layer_->name);
        csv_ = CsvState::After;
        return Store(static_cast<std::uint32_t>(gid_));
    }

    // Gids separated by commas, white space around them.
    int FeedCsv(const char* text, std::size_t size) {
        for (const char* p = text; p < text + size; ++p) {
            const char c = *p;
            if (c >= '0' && c <= '9') {
                if (csv_ == CsvState::After) return NotNumbers();
                if (csv_ == CsvState::Before) {
                    csv_ = CsvState::Number;
                    gid_ = 0;
                    tooLarge_ = false;
                }
                gid_ = gid_ * 10 + static_cast<std::uint64_t>(c - '0');
                if (gid_ > UINT32_MAX) {
                    tooLarge_ = true;
                    gid_ = UINT32_MAX; // keeps growing no further
                }
                continue;
            }
            if (csv_ == CsvState::Number && !EndNumber()) return 0;
            if (c == ',' && csv_ == CsvState::After)
                csv_ = CsvState::Before;
            else if (!IsSpace(c))
                return NotNumbers();
        }
        return 1;
    }

    // Base64 symbols, white space ignored, padding only at the end.
    int FeedBase64(const char* text, std::size_t size) {
        unsigned char bytes[PIECE];
        std::size_t count = 0;
        for (const char* p = text; p < text + size; ++p) {
            const char c = *p;
            if (IsSpace(c)) continue;
            ++symbols_;
            if (c == '=') {
                if (++padding_ > 2)
                    return fault_("%s layer: the base64 data is broken or truncated", layer_->name);
                continue;
            }
            const int value = Base64Value(c);
            if (value < 0 || padding_)
                return fault_("%s layer: the base64 data is broken or truncated", layer_->name);
            bits_ = bits_ << 6 | static_cast<std::uint32_t>(value);
            held_ += 6;
            if (held_ >= 8) {
                held_ -= 8;
                bytes[count++] = static_cast<unsigned char>(bits_ >> held_);
                if (count == PIECE) {
                    if (!TakeBytes(bytes, count)) return 0;
                    count = 0;
                }
            }
        }
        return TakeBytes(bytes, count);
    }

    int BrokenStream() {
        return fault_("%s layer: the %s stream is broken or of the wrong size", layer_->name,
                      encoding_ == Encoding::Gzip ? "gzip" : "zlib");
    }

    // Decoded bytes: compressed, or the gids themselves.
    int TakeBytes(const unsigned char* bytes, std::size_t size) {
        if (encoding_ == Encoding::Base64) return TakeGidBytes(bytes, size);
        if (streamEnded_) return 1; // what follows the end of the stream is not read
        stream_.next_in = const_cast<unsigned char*>(bytes);
        stream_.avail_in = static_cast<uInt>(size);
        unsigned char out[PIECE];
        while (stream_.avail_in > 0 && !streamEnded_) {
            stream_.next_out = out;
            stream_.avail_out = sizeof out;
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return BrokenStream();
            streamEnded_ = status == Z_STREAM_END;
            const std::size_t made = sizeof out - stream_.avail_out;
            if (stream_.total_out > cells_ * 4) return BrokenStream();
            if (!TakeGidBytes(out, made)) return 0;
            if (status == Z_BUF_ERROR && made == 0) break; // needs more input
        }
        return 1;
    }

    // Little-endian 32-bit gids, any number of bytes at a time.
    int TakeGidBytes(const unsigned char* bytes, std::size_t size) {
        bytes_ += size;
        if (bytes_ > cells_ * 4) return 1; // counted only, for the report at the end
        for (std::size_t i = 0; i < size; ++i) {
            part_ |= static_cast<std::uint32_t>(bytes[i]) << (8 * partBytes_);
            if (++partBytes_ == 4) {
                if (!Store(part_)) return 0;
                part_ = 0;
                partBytes_ = 0;
            }
        }
        return 1;
    }

    void EndInflate() {
        if (inflating_) inflateEnd(&stream_);
        inflating_ = false;
    }

    Fault& fault_;
    LayerIn* layer_ = nullptr;
    int width_ = 0;
    std::size_t cells_ = 0;
    Encoding encoding_ = Encoding::Csv;
    std::size_t stored_ = 0;   // gids stored
    int row_ = 0, column_ = 0; // of the next gid
    // CSV
    CsvState csv_ = CsvState::Before;
    std::uint64_t gid_ = 0;
    bool tooLarge_ = false;
    // base64
    std::size_t symbols_ = 0;
    std::uint32_t bits_ = 0;
    int held_ = 0, padding_ = 0;
    std::size_t bytes_ = 0; // gid bytes decoded
    std::uint32_t part_ = 0;
    int partBytes_ = 0;
    // zlib and gzip
    z_stream stream_{};
    bool inflating_ = false;
    bool streamEnded_ = false;
};

// An attribute that the reader looks for, as the last start tag gave it.
struct Wanted {
    std::string_view name;
    std::string value;
    bool given = false, whole = true;
};

// Reads an attribute's whole number; `fallback` when it is not given. 0 when
// it is not a number.
int WholeNumber(const Wanted& attribute, int fallback, int& out) {
    out = fallback;
    if (!attribute.given) return 1;
    const std::string& text = attribute.value;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const bool negative = i < text.size() && text[i] == '-';
    i += negative || (i < text.size() && text[i] == '+');
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= INT32_MAX; ++i)
        value = value * 10 + (text[i] - '0');
    const std::size_t end = i;
    while (i < text.size() && text[i] == ' ') ++i;
    if (!attribute.whole || end == digits || i != text.size() || value > INT32_MAX) return 0;
    out = static_cast<int>(negative ? -value : value);
    return 1;
}

bool Is(const Wanted& attribute, const char* text) {
    return attribute.given && attribute.whole && attribute.value == text;
}

// The document's elements as the reader meets them: the map, its tilesets
// and layers (children of the map) and the layers' data.
class TmxHandler final : public XmlHandler {
  public:
    explicit TmxHandler(LayerIn (&layers)[3]) : layers_(layers), data_(fault) {}

    Fault fault;
    int width = 0, height = 0; // in cells

    int Start(std::string_view name, int depth) override {
        element_ = Element::Other;
        if (depth == 1) {
            if (name != "map") return fault("not a TMX document (no map element)");
            element_ = Element::Map;
        } else if (depth == 2 && name == "tileset") {
            element_ = Element::Tileset;
        } else if (depth == 2 && name == "layer") {
            element_ = Element::Layer;
        } else if (depth == 3 && name == "data" && layer_ && !layerHasData_) {
            element_ = Element::Data;
        }
        for (Wanted& attribute : wanted_) attribute.given = false;
        for (std::size_t i = 0; i < 6; ++i) wanted_[i].name = NAMES[static_cast<int>(element_)][i];
        return 1;
    }

    int Attribute(std::string_view name, std::string_view value, bool whole) override {
        for (Wanted& attribute : wanted_)
            if (!attribute.name.empty() && name == attribute.name) {
                attribute.value = value;
                attribute.given = true;
                attribute.whole = whole;
            }
        return 1;
    }

    int StartDone() override {
        switch (element_) {
        case Element::Map:
            return MapStarted();
        case Element::Tileset:
            return TilesetStarted();
        case Element::Layer:
            return LayerStarted();
        case Element::Data:
            return DataStarted();
        case Element::Other:
            return 1;
        }
        return 1;
    }

    int Text(const char* text, std::size_t size) override {
        return !inData_ || data_.Feed(text, size);
    }

    int End(int depth) override {
        if (depth == 3 && inData_) {
            inData_ = false;
            return data_.Finish();
        }
        if (depth == 2 && layer_) {
            LayerIn& layer = *layer_;
            layer_ = nullptr;
            if (!layerHasData_) return fault("%s layer: no data", layer.name);
        }
        return 1;
    }

  private:
    enum class Element { Map, Tileset, Layer, Data, Other };
    // The attributes read of each kind of element, in that order.
    static constexpr std::string_view NAMES[5][6] = {
        {"orientation", "infinite", "tilewidth", "tileheight", "width", "height"},
        {"name", "firstgid", "tilecount"},
        {"name", "width", "height"},
        {"encoding", "compression"},
        {}};

    int NotANumber(const char* element, const Wanted& attribute) {
        return fault("the %s's %s \"%s\" is not a whole number", element,
                     std::string(attribute.name).c_str(), attribute.value.c_str());
    }

    int MapStarted() {
        if (!Is(wanted_[0], "orthogonal")) return fault("the map must be orthogonal");
        int numbers[5];
        for (int i = 0; i < 5; ++i)
            if (!WholeNumber(wanted_[i + 1], 0, numbers[i]))
                return NotANumber("map", wanted_[i + 1]);
        if (numbers[0] != 0) return fault("infinite maps are not supported");
        if (numbers[1] != CELL_SIZE || numbers[2] != CELL_SIZE)
            return fault("tiles must be 8 x 8 pixels, not %d x %d", numbers[1], numbers[2]);
        width = numbers[3];
        height = numbers[4];
        if (width % SCREEN_COLUMNS != 0 || height % SCREEN_ROWS != 0 ||
            width < MAP_SIZE_MIN * SCREEN_COLUMNS || width > MAP_SIZE_MAX * SCREEN_COLUMNS ||
            height < MAP_SIZE_MIN * SCREEN_ROWS || height > MAP_SIZE_MAX * SCREEN_ROWS)
            return fault("the map is %d x %d cells; it must be 1 to 64 screens of 96 x 72 "
                         "each way",
                         width, height);
        return 1;
    }

    int TilesetStarted() {
        for (LayerIn& layer : layers_)
            if (Is(wanted_[0], layer.name)) {
                int firstgid, count;
                if (!WholeNumber(wanted_[1], 0, firstgid) || firstgid < 1)
                    return fault("%s tileset: bad firstgid", layer.name);
                if (!WholeNumber(wanted_[2], layer.count, count))
                    return NotANumber("tileset", wanted_[2]);
                layer.firstgid = firstgid;
                layer.count = std::min(layer.count, count);
            }
        return 1;
    }

    // A layer of the same name as an earlier one takes its place.
    int LayerStarted() {
        for (LayerIn& layer : layers_)
            if (Is(wanted_[0], layer.name)) {
                int layerWidth, layerHeight;
                if (!WholeNumber(wanted_[1], 0, layerWidth) ||
                    !WholeNumber(wanted_[2], 0, layerHeight) || layerWidth != width ||
                    layerHeight != height)
                    return fault("%s layer: its size differs from the map's", layer.name);
                layer.found = true;
                layer_ = &layer;
                layerHasData_ = false;
            }
        return 1;
    }

    int DataStarted() {
        layerHasData_ = true;
        const Wanted& encoding = wanted_[0];
        const Wanted& compression = wanted_[1];
        Encoding kind;
        if (Is(encoding, "csv") && !compression.given) {
            kind = Encoding::Csv;
        } else if (Is(encoding, "base64")) {
            if (!compression.given)
                kind = Encoding::Base64;
            else if (Is(compression, "zlib"))
                kind = Encoding::Zlib;
            else if (Is(compression, "gzip"))
                kind = Encoding::Gzip;
            else
                return fault("%s layer: compression \"%s\" is not supported", layer_->name,
                             compression.value.c_str());
        } else {
            return fault("%s layer: encoding must be csv or base64", layer_->name);
        }
        inData_ = true;
        return data_.Begin(*layer_, width, height, kind);
    }

    LayerIn (&layers_)[3];
    DataReader data_;
    Element element_ = Element::Other;
    Wanted wanted_[6];
    LayerIn* layer_ = nullptr; // the layer of ours being read
    bool layerHasData_ = false;
    bool inData_ = false;
};

// Checks every gid stored in the layer against its tileset and puts the value
// in its place.
int ToValues(const LayerIn& layer, int width, int height, Fault& fault) {
    for (int row = 0; row < height; ++row) {
        std::int32_t* cells = (*layer.layer)[row];
        for (int column = 0; column < width; ++column) {
            const std::uint32_t gid = static_cast<std::uint32_t>(cells[column]);
            // Gid 0 is an empty cell, as general-purpose editors leave an erased tile.
            const long long value = gid == 0 ? 0 : static_cast<long long>(gid) - layer.firstgid;
            if (value < 0 || value >= layer.count)
                return fault("%s layer: gid %u at row %d, column %d is outside the %s tileset",
                             layer.name, gid, row, column, layer.name);
            cells[column] = static_cast<std::int32_t>(value);
        }
    }
    return 1;
}

int Read(tessera::MapLayers& map, const XmlInput& input, const char* file) {
    LayerIn layers[] = {{"chips", &map.chips, TMX_CHIP_COUNT},
                        {"attributes", &map.attributes, TMX_VALUE_COUNT},
                        {"enemies", &map.enemies, TMX_VALUE_COUNT}};
    TmxHandler handler(layers);
    Fault& fault = handler.fault;
    std::string error;
    if (!AllocateLayers(map)) {
        fault("out of memory for the map layers");
    } else {
        switch (ReadXml(input, handler, error)) {
        case XmlResult::Malformed:
            fault("not a readable XML document (%s)", error.c_str());
            break;
        case XmlResult::Unreadable:
            fault("cannot read (%s)", error.c_str());
            break;
        case XmlResult::Stopped:
            break;
        case XmlResult::Read:
            for (const LayerIn& layer : layers) {
                if (layer.firstgid < 1) {
                    fault("no tileset named %s", layer.name);
                    break;
                }
                if (!layer.found) {
                    fault("no layer named %s", layer.name);
                    break;
                }
            }
            for (const LayerIn& layer : layers)
                if (!fault.message.empty() ||
                    !ToValues(layer, handler.width, handler.height, fault))
                    break;
        }
    }
    if (!fault.message.empty()) {
        std::fprintf(stderr, "tessera-map: %s: %s\n", file, fault.message.c_str());
        return 0;
    }
    map.width = handler.width / SCREEN_COLUMNS;
    map.height = handler.height / SCREEN_ROWS;
    return 1;
}

} // namespace

int ReadTmx(tessera::MapLayers& map, const char* text, std::size_t size, const char* file) {
    return Read(map, {text, size, -1}, file);
}

int ReadTmxFile(tessera::MapLayers& map, int fd, const char* file) {
    return Read(map, {nullptr, 0, fd}, file);
}
