#include "tools/map/map_render.h"

#include "map/map_files.h"
#include "map/map_model.h"
#include "platform/files/files.h"
#include "platform/formats/bmp.h"
#include "platform/formats/pixel_format.h"
#include "png/png_rows.h"
#include "tools/map/map_usage.h"
#include "tools/map/output_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t ATTRIBUTE_MARK = 0xFF00FF; // outline of cells with an attribute

struct RenderOptions {
    const char* name = nullptr;
    const char* out = nullptr;
    int scale = 1;
    int frame = 0;
    bool attributes = false;
    bool enemies = false;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "tessera-map render: %s\n", message.c_str());
    return 1;
}

// Reads the arguments after "render"; an empty string on success, else what is wrong.
std::string ParseOptions(int argc, char** argv, RenderOptions& options) {
    int positional = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--attributes") {
            options.attributes = true;
        } else if (word == "--enemies") {
            options.enemies = true;
        } else if (word == "--scale" || word == "--frame") {
            if (i + 1 >= argc) return word + " needs a value";
            const std::string value = argv[++i];
            if (word == "--scale") {
                if (value != "1" && value != "2" && value != "4" && value != "8")
                    return "--scale is 1, 2, 4 or 8, not \"" + value + "\"";
                options.scale = value[0] - '0';
            } else {
                if (value != "0" && value != "1") return "--frame is 0 or 1, not \"" + value + "\"";
                options.frame = value[0] - '0';
            }
        } else if (IsOption(argv[i])) {
            return "unknown option \"" + word + "\"";
        } else if (positional == 0) {
            options.name = argv[i];
            ++positional;
        } else if (positional == 1) {
            options.out = argv[i];
            ++positional;
        } else {
            return "unexpected argument \"" + word + "\"";
        }
    }
    if (positional < 2) return "render needs a map NAME and a picture OUT.png";
    return "";
}

// The editor's 16-bit screen: what an 0x00RRGGBB pixel looks like once drawn there.
std::uint32_t AsDisplayed(std::uint32_t rgb) {
    const platform::PixelFormat screen{16, 0xF800, 0x07E0, 0x001F};
    // Colours as 0x00BBGGRR.
    const std::uint32_t color = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    const std::uint32_t shown = platform::UnpackColor(screen, platform::PackColor(screen, color));
    return (shown & 0xFF) << 16 | (shown & 0xFF00) | (shown >> 16 & 0xFF);
}

// Loads an image of the program folder, as the editor does, in the screen's
// colours; the path on failure.
std::string LoadImage(const std::string& relative, platform::DecodedImage& image) {
    const std::string path = platform::ExecutableFolder() + relative;
    if (!platform::LoadBmpFile(path, image)) return path;
    for (std::uint32_t& pixel : image.pixels) pixel = AsDisplayed(pixel);
    return "";
}

// Every chip of the sheet already shrunk to the output scale: the rows of
// CELL_SIZE / scale pixels, R, G, B each, that a plain cell of that chip writes.
// Chips off the sheet are black, as the view leaves them.
class ShrunkChips {
  public:
    ShrunkChips(const platform::DecodedImage& sheet, int scale)
        : side_(CELL_SIZE / scale), count_(SHEET_COLUMNS * (sheet.height / CELL_SIZE)),
          bytes_(static_cast<std::size_t>(count_ + 1) * side_ * side_ * 3) {
        const std::size_t chipBytes = static_cast<std::size_t>(side_) * side_ * 3;
        for (int n = 0; n < count_; ++n) {
            if (ChipLeft(n) + CELL_SIZE > sheet.width) continue; // stays black
            std::uint8_t* out = &bytes_[static_cast<std::size_t>(n) * chipBytes];
            for (int y = 0; y < side_; ++y)
                for (int x = 0; x < side_; ++x, out += 3)
                    Average(&sheet.pixels[static_cast<std::size_t>(ChipTop(n) + y * scale) *
                                              sheet.width +
                                          ChipLeft(n) + x * scale],
                            sheet.width, scale, out);
        }
    }

    // Row y (0 to CELL_SIZE / scale - 1) of chip n.
    const std::uint8_t* Row(int n, int y) const {
        const int chip = n >= 0 && n < count_ ? n : count_; // the black one past the end
        return &bytes_[(static_cast<std::size_t>(chip) * side_ + y) * side_ * 3];
    }

    // R, G, B of the rounded average of the scale x scale pixels from `pixels`,
    // whose rows are `stride` apart.
    static void Average(const std::uint32_t* pixels, int stride, int scale, std::uint8_t* rgb) {
        const int count = scale * scale;
        int sum[3] = {0, 0, 0};
        for (int y = 0; y < scale; ++y, pixels += stride)
            for (int i = 0; i < scale; ++i) {
                sum[0] += (pixels[i] >> 16) & 0xFF;
                sum[1] += (pixels[i] >> 8) & 0xFF;
                sum[2] += pixels[i] & 0xFF;
            }
        for (int k = 0; k < 3; ++k)
            rgb[k] = static_cast<std::uint8_t>((sum[k] + count / 2) / count);
    }

  private:
    int side_;
    int count_;
    std::vector<std::uint8_t> bytes_;
};

// The map eight rows (one map row) at a time. Cells that show only their chip
// come from the shrunk chips; cells that a sprite or an attribute mark reaches
// are painted at full size first and shrunk from there.
class BandPainter {
  public:
    BandPainter(const tessera::MapLayers& map, const RenderOptions& options,
                const platform::DecodedImage& sheet, const platform::DecodedImage* sprites)
        : map_(map), options_(options), sheet_(sheet), sprites_(sprites),
          chips_(sheet, options.scale), columns_(map.width * SCREEN_COLUMNS),
          width_(columns_ * CELL_SIZE), band_(static_cast<std::size_t>(width_) * CELL_SIZE),
          painted_(columns_) {}

    int Width() const { return width_; }

    void Paint(int row) {
        row_ = row;
        std::fill(painted_.begin(), painted_.end(), 0);
        if (options_.enemies) DrawSprites(row);
        if (options_.attributes)
            for (int c = 0; c < columns_; ++c)
                if (GetCell(map_.attributes, row, c) != 0) MarkCell(c);
    }

    // Output row y of the band (0 to CELL_SIZE / scale - 1) as R, G, B bytes.
    void ShrinkRow(int y, std::uint8_t* rgb) const {
        const int scale = options_.scale;
        const int side = CELL_SIZE / scale;
        const std::size_t cellBytes = static_cast<std::size_t>(side) * 3;
        const std::int32_t* chips = map_.chips[row_]; // the map lies inside the layers
        for (int c = 0; c < columns_; ++c, rgb += cellBytes) {
            if (!painted_[c]) {
                if (scale == 1) // the common whole-size case as a fixed-size copy
                    std::memcpy(rgb, chips_.Row(chips[c], y), CELL_SIZE * 3);
                else
                    std::memcpy(rgb, chips_.Row(chips[c], y), cellBytes);
                continue;
            }
            const std::uint32_t* pixels =
                &band_[static_cast<std::size_t>(y) * scale * width_ + c * CELL_SIZE];
            for (int x = 0; x < side; ++x)
                ShrunkChips::Average(pixels + x * scale, width_, scale, rgb + 3 * x);
        }
    }

  private:
    std::uint32_t& At(int x, int y) { return band_[static_cast<std::size_t>(y) * width_ + x]; }

    // Paints the cell's chip at full size the first time something is drawn
    // over it: black keyed out over the black screen, so its pixels as they
    // are; a chip off the sheet leaves the cell black.
    void Touch(int column) {
        if (painted_[column]) return;
        painted_[column] = 1;
        const int n = GetCell(map_.chips, row_, column);
        const int left = ChipLeft(n), top = ChipTop(n);
        const bool inside =
            n >= 0 && left + CELL_SIZE <= sheet_.width && top + CELL_SIZE <= sheet_.height;
        for (int y = 0; y < CELL_SIZE; ++y)
            for (int x = 0; x < CELL_SIZE; ++x)
                At(column * CELL_SIZE + x, y) =
                    inside
                        ? sheet_.pixels[static_cast<std::size_t>(top + y) * sheet_.width + left + x]
                        : 0;
    }

    // Sprites of this row and of the rows above that reach down into it, keyed
    // on their top-left pixel; later cells draw over earlier ones.
    void DrawSprites(int row) {
        const int bandTop = row * CELL_SIZE;
        const int reach = (EnemySize[1].Height + ENEMY_SPRITE_OFFSET + CELL_SIZE - 1) / CELL_SIZE;
        for (int r = row - reach; r <= row; ++r)
            for (int c = 0; c < columns_; ++c) {
                const int v = GetCell(map_.enemies, r, c);
                if (v < 1 || v > 8) continue;
                const platform::DecodedImage& sprite = sprites_[v - 1];
                const int w = std::min(EnemySize[v - 1].Width, sprite.width);
                const int h = std::min(EnemySize[v - 1].Height, sprite.height);
                const std::uint32_t key = sprite.pixels[0];
                const int left = c * CELL_SIZE + ENEMY_SPRITE_OFFSET;
                const int top = r * CELL_SIZE + ENEMY_SPRITE_OFFSET - bandTop;
                const int bottom = std::min(CELL_SIZE, top + h), right = std::min(width_, left + w);
                if (std::max(0, top) >= bottom || left >= right) continue;
                for (int x = left; x < right; x += CELL_SIZE) Touch(x / CELL_SIZE);
                Touch((right - 1) / CELL_SIZE);
                for (int y = std::max(0, top); y < bottom; ++y)
                    for (int x = left; x < right; ++x) {
                        const std::uint32_t p =
                            sprite.pixels[static_cast<std::size_t>(y - top) * sprite.width + x -
                                          left];
                        if (p != key) At(x, y) = p;
                    }
            }
    }

    void MarkCell(int column) {
        Touch(column);
        const int left = column * CELL_SIZE;
        for (int i = 0; i < CELL_SIZE; ++i) {
            At(left + i, 0) = At(left + i, CELL_SIZE - 1) = ATTRIBUTE_MARK;
            At(left, i) = At(left + CELL_SIZE - 1, i) = ATTRIBUTE_MARK;
        }
    }

    const tessera::MapLayers& map_;
    const RenderOptions& options_;
    const platform::DecodedImage& sheet_;
    const platform::DecodedImage* sprites_;
    ShrunkChips chips_;
    int columns_;
    int width_;
    int row_ = 0;
    std::vector<std::uint32_t> band_;   // full-size pixels of the painted cells
    std::vector<std::uint8_t> painted_; // per column: 1 when the band holds the cell
};

} // namespace

int RunRender(int argc, char** argv) {
    RenderOptions options;
    if (const std::string wrong = ParseOptions(argc, argv, options); !wrong.empty())
        return UsageError(MapUsage, wrong);
    if (const int status = RefuseMapName(options.name)) return status;
    tessera::MapLayers map;
    if (!AllocateLayersOnHugePages(map)) return Fail("not enough memory for the map");
    if (tessera::MapError error; !LoadMap(map, options.name, &error))
        return Fail(MapFailure("load", options.name, error));

    platform::DecodedImage sheet;
    platform::DecodedImage sprites[8];
    const std::string sheetName = std::string("bmp/m_cp0") + char('0' + options.frame) + ".BMP";
    if (const std::string bad = LoadImage(sheetName, sheet); !bad.empty())
        return Fail("cannot read the chip sheet " + bad);
    if (options.enemies)
        for (int i = 0; i < 8; ++i) {
            const std::string spriteName = std::string("char/char0") + char('0' + i) + ".BMP";
            if (const std::string bad = LoadImage(spriteName, sprites[i]); !bad.empty())
                return Fail("cannot read the enemy sprite " + bad);
        }

    BandPainter band(map, options, sheet, sprites);
    const int outWidth = band.Width() / options.scale;
    const int outHeight = map.height * SCREEN_ROWS * CELL_SIZE / options.scale;
    OutputFiles output({options.out});
    if (!output.Prepare(options.name)) return 1;
    const int fd = output.Create(0);
    if (fd < 0) return 1;
    PngRowWriter writer;
    bool written = writer.Open(fd, outWidth, outHeight);
    for (int row = 0; row < map.height * SCREEN_ROWS && written; ++row) {
        band.Paint(row);
        for (int y = 0; y < CELL_SIZE / options.scale && written; ++y) {
            band.ShrinkRow(y, writer.NextRow());
            written = writer.RowDone();
        }
    }
    written = written && writer.Finish();
    if (!written) output.ReportWriteError(0, writer.Error());
    return output.Finish(written) ? 0 : 1;
}
