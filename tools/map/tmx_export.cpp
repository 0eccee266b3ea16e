#include "map/map_files.h"
#include "map/map_model.h"
#include "platform/files/file_io.h"
#include "platform/files/files.h"
#include "platform/formats/bmp.h"
#include "png/png_rows.h"
#include "tools/map/map_usage.h"
#include "tools/map/output_files.h"
#include "tools/map/tmx.h"
#include "tools/map/value_tiles.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

struct LayerOut {
    const char* name;
    LayerRow* tessera::MapLayers::*layer;
    int firstgid;
    int count;
    bool zeroIsEmpty; // value 0 written as the empty gid 0
};

const LayerOut LAYERS[] = {
    {"chips", &tessera::MapLayers::chips, TMX_CHIP_FIRSTGID, TMX_CHIP_COUNT, false},
    {"attributes", &tessera::MapLayers::attributes, TMX_ATTR_FIRSTGID, TMX_VALUE_COUNT, true},
    {"enemies", &tessera::MapLayers::enemies, TMX_ENEMY_FIRSTGID, TMX_VALUE_COUNT, true},
};

// A tileset and the picture of its tiles; `trans`, when given, is the colour
// that stands for nothing.
void AppendTileset(std::string& text, const char* name, int firstgid, int count, int columns,
                   const std::string& image, int width, int height, const char* trans = nullptr) {
    text += " <tileset firstgid=\"" + std::to_string(firstgid) + "\" name=\"" + name +
            "\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"" + std::to_string(count) +
            "\" columns=\"" + std::to_string(columns) + "\">\n  <image source=\"" + image + "\"" +
            (trans ? std::string(" trans=\"") + trans + "\"" : std::string()) + " width=\"" +
            std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"/>\n </tileset>\n";
}

// Writes the chip sheet of frame 0, read from the program folder as the editor
// reads it, as a PNG into the open file `fd`, which it closes. False on failure:
// reported when the sheet cannot be read, with the cause in errno otherwise.
bool WriteChipSheet(int fd, platform::DecodedImage& sheet, bool& reported) {
    const std::string source = platform::ExecutableFolder() + "bmp/m_cp00.BMP";
    if (!platform::LoadBmpFile(source, sheet)) {
        platform::CloseFile(fd);
        std::fprintf(stderr, "tessera-map: %s: cannot read the chip sheet\n", source.c_str());
        reported = true;
        return false;
    }
    PngRowWriter writer;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(sheet.width) * 3);
    bool written = writer.Open(fd, sheet.width, sheet.height);
    for (int y = 0; y < sheet.height && written; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            const std::uint32_t p = sheet.pixels[static_cast<std::size_t>(y) * sheet.width + x];
            rgb[3 * x] = p >> 16 & 0xFF;
            rgb[3 * x + 1] = p >> 8 & 0xFF;
            rgb[3 * x + 2] = p & 0xFF;
        }
        written = writer.WriteRow(rgb.data());
    }
    if (written && writer.Finish()) return true;
    errno = writer.Error();
    return false;
}

// The document as it is written: text gathered in large blocks and written a
// block at a time, so that no layer is ever held whole as text.
class BlockWriter {
  public:
    static constexpr std::size_t BLOCK = 1 << 20;
    static constexpr std::size_t ROW_ROOM = LAYER_COLUMNS * 12 + 2; // a row of gids and commas

    explicit BlockWriter(int fd) : fd_(fd), buffer_(new char[BLOCK + ROW_ROOM]) {}

    // 0 after a failure, with its errno value.
    int Error() const { return error_; }
    // Room for ROW_ROOM more bytes from the returned point; Done says how many were used.
    char* Room() {
        if (used_ >= BLOCK) Flush();
        return buffer_.get() + used_;
    }
    void Done(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
    void Append(const std::string& text) {
        Flush();
        Write(text.data(), text.size());
    }
    void Flush() {
        Write(buffer_.get(), used_);
        used_ = 0;
    }

  private:
    void Write(const char* data, std::size_t size) {
        if (!error_ && !platform::WriteAll(fd_, data, size)) error_ = errno;
    }

    int fd_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int error_ = 0;
};

// Writes the map's layer as CSV gids, one line per row, read straight from the
// layer array; 0 if a value has no tile (reported then).
int WriteLayer(BlockWriter& writer, const tessera::MapLayers& map, const LayerOut& out, int id,
               const char* file) {
    const int width = map.width * SCREEN_COLUMNS;
    const int height = map.height * SCREEN_ROWS;
    writer.Append(" <layer id=\"" + std::to_string(id) + "\" name=\"" + out.name + "\" width=\"" +
                  std::to_string(width) + "\" height=\"" + std::to_string(height) +
                  "\">\n  <data encoding=\"csv\">\n");
    for (int row = 0; row < height; ++row) {
        const std::int32_t* cells = (map.*out.layer)[row]; // the map lies inside the layers
        char* text = writer.Room();
        for (int column = 0; column < width; ++column) {
            const int value = cells[column];
            if (value < 0 || value >= out.count) {
                std::fprintf(stderr,
                             "tessera-map: %s: %s layer value %d at row %d, column %d is "
                             "outside 0..%d\n",
                             file, out.name, value, row, column, out.count - 1);
                return 0;
            }
            const int gid = value == 0 && out.zeroIsEmpty ? 0 : out.firstgid + value;
            text = std::to_chars(text, text + 11, gid).ptr;
            *text++ = ',';
        }
        if (row + 1 == height) --text; // no comma after the last gid
        *text++ = '\n';
        writer.Done(text);
    }
    writer.Append("</data>\n </layer>\n");
    return 1;
}

// Writes the document, which uses the pictures of outputs 1 to 3, into the
// open file `fd`, which it flushes and closes. False on failure: reported for a value no tileset
// holds, with the cause in errno otherwise.
bool WriteDocument(int fd, const tessera::MapLayers& map, const char* name,
                   const OutputFiles& outputs, const platform::DecodedImage& sheet,
                   bool& reported) {
    const int width = map.width * SCREEN_COLUMNS;
    const int height = map.height * SCREEN_ROWS;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<map version=\"1.10\" orientation=\"orthogonal\" "
                       "renderorder=\"right-down\" width=\"" +
                       std::to_string(width) + "\" height=\"" + std::to_string(height) +
                       "\" tilewidth=\"8\" tileheight=\"8\" infinite=\"0\" nextlayerid=\"4\" "
                       "nextobjectid=\"1\">\n";
    // The document names its pictures as they lie beside it.
    const auto base = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
    AppendTileset(text, "chips", TMX_CHIP_FIRSTGID, TMX_CHIP_COUNT, SHEET_COLUMNS,
                  base(outputs.Name(1)), sheet.width, sheet.height);
    AppendTileset(text, "attributes", TMX_ATTR_FIRSTGID, TMX_VALUE_COUNT, VALUE_TILE_COLUMNS,
                  base(outputs.Name(2)), VALUE_TILES_SIZE, VALUE_TILES_SIZE, VALUE_TILE_KEY);
    AppendTileset(text, "enemies", TMX_ENEMY_FIRSTGID, TMX_VALUE_COUNT, VALUE_TILE_COLUMNS,
                  base(outputs.Name(3)), VALUE_TILES_SIZE, VALUE_TILES_SIZE, VALUE_TILE_KEY);
    BlockWriter writer(fd);
    writer.Append(text);
    int id = 1;
    for (const LayerOut& layer : LAYERS) // stops at a value no tileset holds
        if ((reported = !WriteLayer(writer, map, layer, id++, name))) break;
    writer.Append("</map>\n");
    int error = writer.Error();
    if (!(error || reported ? platform::CloseFile(fd) : platform::FlushAndClose(fd)) && !error)
        error = errno;
    errno = error;
    return !reported && !error;
}

} // namespace

int ExportTmx(const char* name, const char* out) {
    tessera::MapLayers map;
    if (!AllocateLayersOnHugePages(map)) {
        std::fprintf(stderr, "tessera-map: out of memory for the map layers\n");
        return 0;
    }
    if (tessera::MapError error; !LoadMap(map, name, &error)) {
        std::fprintf(stderr, "tessera-map: %s\n", MapFailure("load", name, error).c_str());
        return 0;
    }
    // The tileset pictures go beside the document: OUT.tmx uses OUT_chips.png,
    // OUT_attributes.png and OUT_enemies.png. The four files are replaced as one
    // set, and only once all are written.
    const std::string tmx = out;
    const std::size_t slash = tmx.rfind('/') + 1;
    const std::size_t dot = tmx.rfind('.');
    const std::string stem =
        tmx.substr(0, dot != std::string::npos && dot > slash ? dot : std::string::npos);
    OutputFiles outputs(
        {tmx, stem + "_chips.png", stem + "_attributes.png", stem + "_enemies.png"});
    if (!outputs.Prepare(name)) return 0;
    // Created first to last, so that a name that cannot be had is the given one.
    int fds[4];
    for (int i = 0; i < 4; ++i)
        if ((fds[i] = outputs.Create(i)) < 0) {
            while (i-- > 0) platform::CloseFile(fds[i]);
            return outputs.Finish(false);
        }
    // Each writer closes the file it is given; those not reached are closed here.
    const auto take = [&](int i) { return std::exchange(fds[i], -1); };
    platform::DecodedImage sheet;
    bool reported = false;
    const auto written = [&](int output, bool done) {
        if (!done && !reported) outputs.ReportWriteError(output, errno);
        reported = reported || !done;
        return done;
    };
    const bool ok = written(1, WriteChipSheet(take(1), sheet, reported)) &&
                    written(2, WriteValueTiles(take(2), ValueTiles::Attributes)) &&
                    written(3, WriteValueTiles(take(3), ValueTiles::Enemies)) &&
                    written(0, WriteDocument(take(0), map, name, outputs, sheet, reported));
    for (const int fd : fds)
        if (fd >= 0) platform::CloseFile(fd);
    return outputs.Finish(ok);
}

int RunExport(int argc, char** argv) {
    if (argc != 2) return UsageError(MapUsage, "export needs a map NAME and a document OUT.tmx");
    if (const int status = RefuseMapName(argv[0])) return status;
    return ExportTmx(argv[0], argv[1]) ? 0 : 1;
}
