// tessera-map render run as a program in a fresh folder: its picture against
// the editor's own view of the same map, scaled pixels against their chips,
// and bad input refused without writing anything.
#include "map/map_files.h"
#include "platform/formats/bmp.h"
#include "png/png_rows.h"

#include <gtest/gtest.h>

#include "tests/level_map.h"
#include "tests/test_folder.h"
#include <fcntl.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Picture = platform::DecodedImage;

// Chips of every part of the sheet, different in neighbouring cells.
int VariedChip(int row, int column) { return (row * 977 + column * 131) % 20000; }

class MapRender : public TestFolder {
  protected:
    MapRender() : TestFolder("tessera-map-") {}

    // Runs a shell command in the folder; its exit code.
    int Run(const std::string& command) {
        const int status = std::system(("cd '" + folder.string() + "' && " + command).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Render(const std::string& arguments) {
        return Run("'" TESSERA_MAP "' render " + arguments + " 2>/dev/null");
    }

    // A map of the given size in screens in the editor's file format: chips from
    // `chip`, attributes and enemies from `other` (layer 1 or 2).
    void WriteMap(const std::string& name, int width, int height, int (*chip)(int, int),
                  int (*other)(int, int, int)) {
        for (int layer = 0; layer < MAP_FILE_COUNT; ++layer) {
            std::string text;
            for (int row = 0; row < height * 72; ++row) {
                for (int column = 0; column < width * 96; ++column)
                    text +=
                        std::to_string(layer == 0 ? chip(row, column) : other(layer, row, column)) +
                        " ";
                text += "\r\n";
            }
            std::ofstream(folder / tessera::MapFileName(name, layer), std::ios::binary) << text;
        }
    }

    Picture ReadPng(const std::string& name) {
        Picture picture;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, (folder / name).c_str())) {
            ADD_FAILURE() << "cannot read " << name;
            return picture;
        }
        image.format = PNG_FORMAT_RGB;
        std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
        EXPECT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << name;
        picture.width = static_cast<int>(image.width);
        picture.height = static_cast<int>(image.height);
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
            picture.pixels.push_back(std::uint32_t{rgb[i]} << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
        return picture;
    }

    // The editor's screen after loading map `name` through its load button.
    Picture EditorView(const std::string& name) {
        std::ofstream(folder / "load.replay")
            << "frametime 125\nmove 560 650\nldown\nframes 1\nlup\nframes 1\n"
               "keydown BACK\nframes 12\nkeyup BACK\nframes 1\ntype "
            << name << "\nkeydown ENTER\nframes 1\nkeyup ENTER\nframes 60\nscreenshot view.bmp\n";
        EXPECT_EQ(Run("'" TESSERA_REPLAY "' load.replay >/dev/null"), 0);
        Picture shot;
        EXPECT_TRUE(platform::LoadBmpFile((folder / "view.bmp").string(), shot));
        return shot;
    }
};

std::uint32_t At(const Picture& p, int x, int y) {
    return p.pixels[static_cast<std::size_t>(y) * p.width + x];
}

int Zero(int, int, int) { return 0; }

// Pixels of the view that the editor draws over the map: the guide grid every
// six cells, the game screen's edges, and the status labels.
bool CoveredInView(int x, int y) {
    struct Box {
        int left, top, right, bottom;
    };
    constexpr Box LABELS[] = {{192, 248, 320, 288}, {296, 296, 408, 312}, {392, 392, 464, 416}};
    if (x % 48 == 0 || y % 48 == 0 || x == 96 * 8 - 1 || y == 72 * 8 - 1) return true;
    for (const Box& box : LABELS)
        if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return true;
    return false;
}

TEST_F(MapRender, ScaleOneMatchesTheEditorsView) {
    WriteMap("m", 1, 1, VariedChip, Zero);
    ASSERT_EQ(Render("m m.png"), 0);
    const Picture picture = ReadPng("m.png");
    ASSERT_EQ(picture.width, 96 * 8);
    ASSERT_EQ(picture.height, 72 * 8);
    const Picture view = EditorView("m");
    ASSERT_EQ(view.width, 1024);
    int compared = 0, different = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (CoveredInView(x, y)) continue;
            ++compared;
            different += At(picture, x, y) != At(view, x, y);
        }
    EXPECT_GT(compared, picture.width * picture.height * 9 / 10);
    EXPECT_EQ(different, 0);
}

// Enemy 1 at row 10, column 20 and an attribute at row 3, column 5 on a two-screen-wide map.
int OneEnemyOneAttribute(int layer, int row, int column) {
    if (layer == 2) return row == 10 && column == 20 ? 1 : 0;
    return row == 3 && column == 5 ? 7 : 0;
}

TEST_F(MapRender, ScaledPixelsAreTheAveragesOfTheirBlocks) {
    WriteMap("m", 2, 1, VariedChip, Zero);
    ASSERT_EQ(Render("m full.png"), 0);
    const Picture full = ReadPng("full.png");
    for (const int scale : {2, 4, 8}) {
        const std::string out = std::string("s").append(std::to_string(scale)).append(".png");
        ASSERT_EQ(Render("m " + out + " --scale " + std::to_string(scale)), 0);
        const Picture small = ReadPng(out);
        ASSERT_EQ(small.width, 2 * 96 * 8 / scale);
        ASSERT_EQ(small.height, 72 * 8 / scale);
        int wrong = 0;
        for (int y = 0; y < small.height; ++y)
            for (int x = 0; x < small.width; ++x)
                for (const int shift : {16, 8, 0}) {
                    int sum = 0;
                    for (int j = 0; j < scale; ++j)
                        for (int i = 0; i < scale; ++i)
                            sum += At(full, x * scale + i, y * scale + j) >> shift & 0xFF;
                    const int n = scale * scale;
                    wrong += static_cast<int>(At(small, x, y) >> shift & 0xFF) != (sum + n / 2) / n;
                }
        EXPECT_EQ(wrong, 0) << "scale " << scale;
    }
}

// A 64-screen-wide picture is written in many separately compressed batches of
// rows; read back, every block still averages to its pixel at scale 8.
TEST_F(MapRender, WidePicturesReadBackWholeAcrossCompressedBatches) {
    WriteMap("m", 64, 1, VariedChip, Zero);
    ASSERT_EQ(Render("m full.png"), 0);
    ASSERT_EQ(Render("m small.png --scale 8"), 0);
    const Picture full = ReadPng("full.png"), small = ReadPng("small.png");
    ASSERT_EQ(full.width, 64 * 96 * 8);
    ASSERT_EQ(full.height, 72 * 8);
    ASSERT_EQ(small.width, 64 * 96);
    int wrong = 0, coloured = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            coloured += At(small, x, y) != 0;
            for (const int shift : {16, 8, 0}) {
                int sum = 0;
                for (int j = 0; j < 8; ++j)
                    for (int i = 0; i < 8; ++i)
                        sum += At(full, x * 8 + i, y * 8 + j) >> shift & 0xFF;
                wrong += static_cast<int>(At(small, x, y) >> shift & 0xFF) != (sum + 32) / 64;
            }
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(coloured, small.width * small.height / 2);
}

// The PNG writer itself, at the edges of its batches of rows (4 MB each):
// pictures one row short of, at, and one row past one or two batches read back
// pixel for pixel, with and without alpha. Each batch after the first starts
// with a row that is black but for every 16th pixel, below a bright one, which
// only the real row above decodes right.
TEST_F(MapRender, PngRowsReadBackAtTheEdgesOfTheirBatches) {
    constexpr int WIDTH = 4096;
    for (const bool alpha : {false, true}) {
        const int pixel = alpha ? 4 : 3;
        const int batch = (4 << 20) / (WIDTH * pixel);
        for (const int height : {1, batch - 1, batch, batch + 1, 2 * batch + 1}) {
            SCOPED_TRACE(testing::Message() << height << " rows, alpha " << alpha);
            const std::size_t rowBytes = static_cast<std::size_t>(WIDTH) * pixel;
            std::vector<std::uint8_t> rows(rowBytes * height);
            for (int y = 0; y < height; ++y)
                for (std::size_t i = 0; i < rowBytes; ++i)
                    rows[y * rowBytes + i] =
                        y % batch == 0 && y > 0
                            ? (i / pixel % 16 == 0 ? 255 : 0)
                            : static_cast<std::uint8_t>((y * 7 + i * 13) % 255 + 1);
            const std::string path = (folder / "rows.png").string();
            PngRowWriter writer;
            ASSERT_TRUE(
                writer.Open(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644),
                            WIDTH, height, alpha));
            for (int y = 0; y < height; ++y) ASSERT_TRUE(writer.WriteRow(&rows[y * rowBytes]));
            ASSERT_TRUE(writer.Finish());

            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
            image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
            std::vector<std::uint8_t> read(PNG_IMAGE_SIZE(image));
            ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr))
                << image.message;
            EXPECT_EQ(image.height, static_cast<unsigned>(height));
            EXPECT_TRUE(read == rows);
        }
    }
}

TEST_F(MapRender, FramesDrawFromTheirOwnSheets) {
    WriteMap("m", 1, 1, VariedChip, Zero);
    ASSERT_EQ(Render("m f0.png --frame 0"), 0);
    ASSERT_EQ(Render("m f1.png --frame 1"), 0);
    EXPECT_NE(ReadPng("f0.png").pixels, ReadPng("f1.png").pixels);
}

TEST_F(MapRender, EnemiesAndAttributesDrawOnlyAtTheirCells) {
    WriteMap("m", 2, 1, VariedChip, OneEnemyOneAttribute);
    ASSERT_EQ(Render("m plain.png"), 0);
    ASSERT_EQ(Render("m enemies.png --enemies"), 0);
    ASSERT_EQ(Render("m marks.png --attributes"), 0);
    const Picture plain = ReadPng("plain.png"), enemies = ReadPng("enemies.png"),
                  marks = ReadPng("marks.png");
    // The sprite's 48 x 48 pixels sit 2 pixels into the cell at (160, 80).
    int spriteChanged = 0, outsideChanged = 0, markChanged = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x) {
            const bool inSprite = x >= 162 && x < 210 && y >= 82 && y < 130;
            const bool changed = At(plain, x, y) != At(enemies, x, y);
            (inSprite ? spriteChanged : outsideChanged) += changed;
            const bool inCell = x >= 40 && x < 48 && y >= 24 && y < 32;
            if (At(plain, x, y) != At(marks, x, y)) markChanged += inCell ? 1 : 1000;
        }
    EXPECT_GT(spriteChanged, 48 * 48 / 4);
    EXPECT_EQ(outsideChanged, 0);
    EXPECT_GT(markChanged, 0);
    EXPECT_LT(markChanged, 1000);
}

// Wrong arguments end with 2, files that cannot be read or written with 1.
TEST_F(MapRender, BadInputExitsWithOneOrTwoAndWritesNothing) {
    WriteMap("m", 1, 1, VariedChip, Zero);
    EXPECT_EQ(Render("missing out.png"), 1);
    EXPECT_EQ(Render("m out.png --scale 3"), 2);
    EXPECT_EQ(Render("m out.png --frame 2"), 2);
    EXPECT_EQ(Render("m out.png --scale"), 2);
    EXPECT_EQ(Render("m out.png --shadows"), 2);
    EXPECT_EQ(Render("m"), 2);
    EXPECT_EQ(Render("m nofolder/out.png"), 1);
    EXPECT_EQ(Run("'" TESSERA_MAP "' draw m out.png 2>/dev/null"), 2);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        files += entry.path().extension() != ".txt" && entry.path().extension() != ".lock";
    EXPECT_EQ(files, 0);
    // The message names the map's files.
    EXPECT_EQ(Run("'" TESSERA_MAP "' render missing out.png 2>err.log"), 1);
    std::ifstream log(folder / "err.log");
    const std::string message((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(message.find("missing_data.txt"), std::string::npos) << message;
}

// The size of the picture as the PNG library writes it at zlib's fastest level,
// with its own choice of filter for each row.
std::size_t FastDeflateSize(const Picture& picture) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::size_t size = 0;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(
        png, &size,
        [](png_structp png, png_bytep, png_size_t n) {
            *static_cast<std::size_t*>(png_get_io_ptr(png)) += n;
        },
        nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(picture.width) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = At(picture, x, y);
            row[3 * x] = p >> 16 & 0xFF;
            row[3 * x + 1] = p >> 8 & 0xFF;
            row[3 * x + 2] = p & 0xFF;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return size;
}

int LevelLayer(int layer, int row, int column) {
    return layer == 2 && row % 72 == 58 && column % 53 == 9 ? 1 + column % 8 : 0;
}

// Chips whose eight rows are alike, side by side: rows that repeat the one
// above, further back than the deflate window reaches.
int Columns(int, int column) {
    constexpr int CHIPS[] = {292, 293, 634, 635, 664, 665, 747, 0};
    return CHIPS[(column * 7 + column / 5) % 8];
}

// Pictures of a level, mostly sky and repeated ground, and of a wall of
// columns are no larger than half as much again as zlib's fastest level makes
// of their pixels, at every scale.
TEST_F(MapRender, PicturesAreAboutAsSmallAsFastDeflateMakesThem) {
    WriteMap("level", 6, 2, LevelChip, LevelLayer);
    WriteMap("columns", 16, 1, Columns, Zero);
    for (const char* arguments : {"level", "level --enemies", "level --scale 2", "level --scale 8",
                                  "columns", "columns --scale 4"}) {
        ASSERT_EQ(Render(std::string(arguments).insert(std::strcspn(arguments, " "), " out.png")),
                  0)
            << arguments;
        const std::size_t ours = fs::file_size(folder / "out.png");
        const std::size_t fast = FastDeflateSize(ReadPng("out.png"));
        ASSERT_GT(fast, 0u);
        EXPECT_LE(ours, fast * 3 / 2) << arguments << ": " << ours << " bytes, not " << fast;
    }
}

} // namespace
