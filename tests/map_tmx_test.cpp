// tessera-map export and import, run as the program itself in a fresh folder:
// the TMX written for a known map, round trips byte for byte, every layer
// encoding, and documents that must be refused without writing anything.
#include <gtest/gtest.h>

#include "map/map_files.h"
#include "tests/test_folder.h"
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const LAYER_NAMES[3] = {"chips", "attributes", "enemies"};
constexpr int FIRSTGIDS[3] = {1, 20001, 20257};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using Cells = std::map<std::pair<int, int>, int>; // (row, column) -> value, others 0

std::string Base64(const std::vector<unsigned char>& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t n = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                                (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += digits[n >> 18 & 63];
        text += digits[n >> 12 & 63];
        text += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return text;
}

// A zlib (or gzip) stream of the bytes.
std::vector<unsigned char> Deflate(const std::vector<unsigned char>& bytes, bool gzip) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, gzip ? 16 + MAX_WBITS : MAX_WBITS, 8,
                           Z_DEFAULT_STRATEGY),
              Z_OK);
    std::vector<unsigned char> out(deflateBound(&stream, bytes.size()) + 32);
    stream.next_in = const_cast<unsigned char*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class MapTmx : public TestFolder {
  protected:
    MapTmx() : TestFolder("tessera-tmx-") {}

    // Runs tessera-map with the arguments in the folder; returns the exit code
    // and keeps what it printed in `output`.
    int Run(const std::string& arguments) { return RunInFolder("'" TESSERA_MAP "' " + arguments); }

    // The three files of a map of the given size in screens, as the editor writes them.
    void WriteMap(const std::string& name, int width, int height, const Cells (&layers)[3]) {
        for (int layer = 0; layer < 3; ++layer) {
            std::string text;
            for (int row = 0; row < height * 72; ++row) {
                for (int column = 0; column < width * 96; ++column) {
                    const auto found = layers[layer].find({row, column});
                    text += std::to_string(found == layers[layer].end() ? 0 : found->second) + " ";
                }
                text += "\r\n";
            }
            std::ofstream(folder / tessera::MapFileName(name, layer), std::ios::binary) << text;
        }
    }

    void ExpectSameMap(const std::string& a, const std::string& b) {
        for (int file = 0; file < MAP_FILE_COUNT; ++file) {
            const std::string original = ReadFile(folder / tessera::MapFileName(a, file));
            EXPECT_FALSE(original.empty()) << file;
            EXPECT_TRUE(original == ReadFile(folder / tessera::MapFileName(b, file))) << file;
        }
    }

    void ExpectNoMap(const std::string& name) {
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            EXPECT_FALSE(fs::exists(folder / tessera::MapFileName(name, file)));
    }
};

// A TMX document as a general-purpose editor writes one back for our maps; each
// layer's <data> element is given whole.
std::string Document(int width, int height, const std::string (&data)[3], int tile = 8) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.10\" "
                       "orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" +
                       std::to_string(width) + "\" height=\"" + std::to_string(height) +
                       "\" tilewidth=\"" + std::to_string(tile) + "\" tileheight=\"" +
                       std::to_string(tile) + "\" infinite=\"0\">\n";
    const int counts[3] = {20000, 256, 256};
    for (int i = 0; i < 3; ++i)
        text += " <tileset firstgid=\"" + std::to_string(FIRSTGIDS[i]) + "\" name=\"" +
                LAYER_NAMES[i] + "\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"" +
                std::to_string(counts[i]) + "\" columns=\"16\"/>\n";
    for (int i = 0; i < 3; ++i)
        text += " <layer id=\"" + std::to_string(i + 1) + "\" name=\"" + LAYER_NAMES[i] +
                "\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
                "\">\n  " + data[i] + "\n </layer>\n";
    return text + "</map>\n";
}

// Gids of a layer: the tileset's first gid plus the value, row by row.
std::vector<std::uint32_t> Gids(int layer, int width, int height, const Cells& cells) {
    std::vector<std::uint32_t> gids(static_cast<std::size_t>(width) * height, FIRSTGIDS[layer]);
    for (const auto& [cell, value] : cells)
        gids[static_cast<std::size_t>(cell.first) * width + cell.second] +=
            static_cast<std::uint32_t>(value);
    return gids;
}

std::string Csv(const std::vector<std::uint32_t>& gids, int width) {
    std::string text = "<data encoding=\"csv\">\n";
    for (std::size_t i = 0; i < gids.size(); ++i)
        text += std::to_string(gids[i]) + (i + 1 < gids.size() ? "," : "") +
                ((i + 1) % width == 0 ? "\n" : "");
    return text + "</data>";
}

std::vector<unsigned char> Bytes(const std::vector<std::uint32_t>& gids) {
    std::vector<unsigned char> bytes;
    for (std::uint32_t gid : gids)
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(gid >> shift & 0xFF);
    return bytes;
}

// compression: "" for none, "zlib" or "gzip".
std::string Base64Data(const std::vector<std::uint32_t>& gids, const std::string& compression) {
    const std::vector<unsigned char> bytes =
        compression.empty() ? Bytes(gids) : Deflate(Bytes(gids), compression == "gzip");
    return "<data encoding=\"base64\"" +
           (compression.empty() ? std::string() : " compression=\"" + compression + "\"") +
           ">\n   " + Base64(bytes) + "\n  </data>";
}

// Values at both ends of every tileset.
const Cells EDGES[3] = {{{{0, 0}, 0}, {{0, 1}, 19999}, {{71, 191}, 19999}, {{5, 100}, 1234}},
                        {{{0, 0}, 255}, {{70, 150}, 255}, {{3, 3}, 1}},
                        {{{71, 0}, 255}, {{10, 120}, 8}, {{0, 2}, 255}}};

TEST_F(MapTmx, ExportWritesTheExpectedDocument) {
    WriteMap("one", 1, 1, {{{{0, 0}, 19999}, {{71, 95}, 7}}, {{{0, 1}, 255}}, {{{1, 0}, 3}}});
    ASSERT_EQ(Run("export one one.tmx"), 0) << output;
    std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<map version=\"1.10\" orientation=\"orthogonal\" renderorder=\"right-down\" "
        "width=\"96\" height=\"72\" tilewidth=\"8\" tileheight=\"8\" infinite=\"0\" "
        "nextlayerid=\"4\" nextobjectid=\"1\">\n"
        " <tileset firstgid=\"1\" name=\"chips\" tilewidth=\"8\" tileheight=\"8\" "
        "tilecount=\"20000\" columns=\"80\">\n"
        "  <image source=\"one_chips.png\" width=\"640\" height=\"2000\"/>\n"
        " </tileset>\n"
        " <tileset firstgid=\"20001\" name=\"attributes\" tilewidth=\"8\" tileheight=\"8\" "
        "tilecount=\"256\" columns=\"16\">\n"
        "  <image source=\"one_attributes.png\" trans=\"ff00ff\" width=\"128\" height=\"128\"/>\n"
        " </tileset>\n"
        " <tileset firstgid=\"20257\" name=\"enemies\" tilewidth=\"8\" tileheight=\"8\" "
        "tilecount=\"256\" columns=\"16\">\n"
        "  <image source=\"one_enemies.png\" trans=\"ff00ff\" width=\"128\" height=\"128\"/>\n"
        " </tileset>\n";
    // Row by row: every cell the chip tileset's first gid, or empty (0) in the
    // attribute and enemy layers, but the ones set above.
    const std::map<std::pair<int, int>, std::string> set[3] = {
        {{{0, 0}, "20000"}, {{71, 95}, "8"}}, {{{0, 1}, "20256"}}, {{{1, 0}, "20260"}}};
    for (int layer = 0; layer < 3; ++layer) {
        expected += " <layer id=\"" + std::to_string(layer + 1) + "\" name=\"" +
                    LAYER_NAMES[layer] +
                    "\" width=\"96\" height=\"72\">\n"
                    "  <data encoding=\"csv\">\n";
        for (int row = 0; row < 72; ++row) {
            for (int column = 0; column < 96; ++column) {
                const auto found = set[layer].find({row, column});
                expected += found != set[layer].end() ? found->second : layer == 0 ? "1" : "0";
                if (row < 71 || column < 95) expected += ",";
            }
            expected += "\n";
        }
        expected += "</data>\n </layer>\n";
    }
    expected += "</map>\n";
    EXPECT_EQ(ReadFile(folder / "one.tmx"), expected);
    // The chip sheet beside it: a PNG of the sheet's size (IHDR width and height).
    const std::string png = ReadFile(folder / "one_chips.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    const auto big = [&](std::size_t at) {
        return static_cast<unsigned char>(png[at]) << 24 |
               static_cast<unsigned char>(png[at + 1]) << 16 |
               static_cast<unsigned char>(png[at + 2]) << 8 |
               static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(big(16), 640);
    EXPECT_EQ(big(20), 2000);
}

// Pixels of a PNG file as 0xRRGGBB, row by row; empty when it cannot be read.
std::vector<std::uint32_t> PngPixels(const fs::path& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return pixels;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back(std::uint32_t{rgb[i]} << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    return pixels;
}

// Tile v of a 16-column tileset of 8 x 8 tiles.
std::vector<std::uint32_t> Tile(const std::vector<std::uint32_t>& pixels, int v) {
    std::vector<std::uint32_t> tile;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.push_back(pixels[static_cast<std::size_t>(v / 16 * 8 + y) * 128 + v % 16 * 8 + x]);
    return tile;
}

TEST_F(MapTmx, AttributeAndEnemyTilesetsHavePicturesOfTheirValues) {
    WriteMap("one", 1, 1, {{}, {{{0, 1}, 255}}, {{{1, 0}, 3}}});
    ASSERT_EQ(Run("export one one.tmx"), 0) << output;
    std::vector<std::uint32_t> pictures[2];
    for (int i = 0; i < 2; ++i) {
        const char* name = i == 0 ? "one_attributes.png" : "one_enemies.png";
        int width = 0, height = 0;
        pictures[i] = PngPixels(folder / name, width, height);
        ASSERT_EQ(width, 128) << name;
        ASSERT_EQ(height, 128) << name;
        // Tile 0 is all the transparent key colour; the others hold none of it,
        // differ from each other and show white digits.
        EXPECT_EQ(Tile(pictures[i], 0), std::vector<std::uint32_t>(64, 0xFF00FF)) << name;
        for (int v = 1; v < 256; ++v) {
            const std::vector<std::uint32_t> tile = Tile(pictures[i], v);
            EXPECT_EQ(std::count(tile.begin(), tile.end(), 0xFF00FFu), 0) << name << " " << v;
            EXPECT_GT(std::count(tile.begin(), tile.end(), 0xFFFFFFu), 4) << name << " " << v;
            EXPECT_NE(tile, Tile(pictures[i], v - 1)) << name << " " << v;
        }
    }
    EXPECT_NE(Tile(pictures[0], 1), Tile(pictures[1], 1));
}

TEST_F(MapTmx, ExportThenImportGivesBackTheFilesByteForByte) {
    WriteMap("level", 2, 1, EDGES);
    ASSERT_EQ(Run("export level level.tmx"), 0) << output;
    ASSERT_EQ(Run("import level.tmx copy"), 0) << output;
    ExpectSameMap("level", "copy");
}

TEST_F(MapTmx, ImportsEveryLayerEncoding) {
    WriteMap("level", 2, 1, EDGES);
    for (const std::string compression : {"csv", "", "zlib", "gzip"}) {
        std::string data[3];
        for (int layer = 0; layer < 3; ++layer) {
            const std::vector<std::uint32_t> gids = Gids(layer, 192, 72, EDGES[layer]);
            data[layer] = compression == "csv" ? Csv(gids, 192) : Base64Data(gids, compression);
        }
        std::ofstream(folder / "in.tmx") << Document(192, 72, data);
        ASSERT_EQ(Run("import in.tmx copy"), 0) << compression << ": " << output;
        ExpectSameMap("level", "copy");
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            fs::remove(folder / tessera::MapFileName("copy", file));
    }
}

TEST_F(MapTmx, EmptyCellsImportAsZero) {
    WriteMap("level", 2, 1, EDGES);
    std::string data[3];
    for (int layer = 0; layer < 3; ++layer) {
        std::vector<std::uint32_t> gids = Gids(layer, 192, 72, EDGES[layer]);
        gids[0 * 192 + 7] = gids[71 * 192 + 191 - 1] = gids[40 * 192 + 100] = 0; // cells of value 0
        data[layer] = layer == 1 ? Base64Data(gids, "zlib") : Csv(gids, 192);
    }
    std::ofstream(folder / "erased.tmx") << Document(192, 72, data);
    ASSERT_EQ(Run("import erased.tmx copy"), 0) << output;
    ExpectSameMap("level", "copy");
}

TEST_F(MapTmx, ExportRefusesValuesNoTilesetHolds) {
    WriteMap("big", 1, 1, {{{{2, 3}, 20000}}, {}, {}});
    EXPECT_EQ(Run("export big big.tmx"), 1);
    EXPECT_NE(output.find("big: chips layer value 20000 at row 2, column 3"), std::string::npos)
        << output;
    WriteMap("neg", 1, 1, {{}, {}, {{{4, 5}, -1}}});
    EXPECT_EQ(Run("export neg neg.tmx"), 1);
    EXPECT_NE(output.find("neg: enemies layer value -1 at row 4, column 5"), std::string::npos)
        << output;
    WriteMap("attr", 1, 1, {{}, {{{0, 9}, 256}}, {}});
    EXPECT_EQ(Run("export attr attr.tmx"), 1);
    EXPECT_NE(output.find("attributes layer value 256 at row 0, column 9"), std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(folder / "big.tmx"));
    EXPECT_FALSE(fs::exists(folder / "neg.tmx"));
    EXPECT_FALSE(fs::exists(folder / "attr.tmx"));
    for (const char* picture : {"big_chips.png", "big_attributes.png", "big_enemies.png"})
        EXPECT_FALSE(fs::exists(folder / picture)) << picture;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST_F(MapTmx, ImportRefusesBadDocumentsWritingNothing) {
    const Cells none[3];
    std::string good[3];
    for (int layer = 0; layer < 3; ++layer) good[layer] = Csv(Gids(layer, 96, 72, none[layer]), 96);
    const auto with = [&](int layer, const std::string& data) {
        std::string layers[3] = {good[0], good[1], good[2]};
        layers[layer] = data;
        return Document(96, 72, layers);
    };
    std::vector<std::uint32_t> flipped = Gids(0, 96, 72, {});
    flipped[2 * 96 + 7] |= 0x80000000u;
    std::vector<std::uint32_t> turned = Gids(0, 96, 72, {});
    turned[2 * 96 + 7] |= 0x20000000u; // flipped diagonally
    std::vector<std::uint32_t> outside = Gids(1, 96, 72, {});
    outside[96 + 4] = 5; // a chip gid in the attribute layer
    std::string truncated = Base64Data(Gids(2, 96, 72, {}), "");
    truncated.erase(truncated.find("\n  </data>") - 3, 3);
    std::string broken = Base64Data(Gids(0, 96, 72, {}), "zlib");
    broken.replace(broken.find('>') + 10, 4, "AAAA");
    std::vector<unsigned char> unended = Deflate(Bytes(Gids(0, 96, 72, {})), false);
    unended.resize(unended.size() - 4); // every gid, but not the stream's end
    std::vector<std::uint32_t> past = Gids(1, 96, 72, {});
    past[3] += 256; // one past the attribute tileset
    std::vector<std::uint32_t> beyondCount = Gids(1, 96, 72, {});
    beyondCount[3] += 20; // beyond a tileset that says it holds 10
    const std::pair<std::string, std::string> cases[] = {
        {Document(96, 72, good, 16), "tiles must be 8 x 8 pixels, not 16 x 16"},
        {Document(100, 72, good), "the map is 100 x 72 cells"},
        {Document(96 * 65, 72, good), "the map is 6240 x 72 cells"},
        {with(1, Csv(outside, 96)), "attributes layer: gid 5 at row 1, column 4 is outside"},
        {with(2, truncated), "enemies layer: the base64 data is broken or truncated"},
        {with(0, broken), "chips layer: the zlib stream is broken"},
        {with(0, Csv(flipped, 96)), "chips layer: flipped tile at row 2, column 7"},
        {with(0, "<data encoding=\"csv\">1,2,3</data>"), "chips layer: holds fewer cells"},
        {with(0, Csv(Gids(0, 96, 73, {}), 96)),
         "chips layer: holds more cells than the map's 96 x 72"},
        {with(2, Base64Data(Gids(2, 96, 73, {}), "")),
         "enemies layer: holds 28032 bytes, not 27648"},
        {with(0, Base64Data(Gids(0, 96, 71, {}), "zlib")),
         "chips layer: the zlib stream is broken"},
        {with(0, "<data encoding=\"base64\" compression=\"zlib\">" + Base64(unended) + "</data>"),
         "chips layer: the zlib stream is broken"},
        {with(1, Csv(past, 96)), "attributes layer: gid 20257 at row 0, column 3 is outside"},
        {Replaced(with(1, Csv(beyondCount, 96)), "tilecount=\"256\"", "tilecount=\"10\""),
         "attributes layer: gid 20021 at row 0, column 3 is outside"},
        {Replaced(Document(96, 72, good), "firstgid=\"1\"", "firstgid=\"0\""),
         "chips tileset: bad firstgid"},
        {with(0, Csv(turned, 96)), "chips layer: flipped tile at row 2, column 7"},
        {with(0, "<data encoding=\"csv\">99999999999</data>"),
         "chips layer: a gid is out of range"},
        {with(2, "<data encoding=\"base64\">A===</data>"),
         "enemies layer: the base64 data is broken or truncated"},
        {with(1, ""), "attributes layer: no data"},
        {Document(0, 72, good), "the map is 0 x 72 cells"},
        {Replaced(Document(96, 72, good), "width=\"96\" height", "width=\"-96\" height"),
         "the map is -96 x 72 cells"},
        {Replaced(Document(96, 72, good), "infinite=\"0\"", "infinite=\"1\""),
         "infinite maps are not supported"},
        {Replaced(Document(96, 72, good), "\"orthogonal\"", "\"isometric\""),
         "the map must be orthogonal"},
        {Replaced(Document(96, 72, good), "name=\"chips\" width=\"96\"",
                  "name=\"chips\" width=\"192\""),
         "chips layer: its size differs from the map's"},
        {Replaced(Document(96, 72, good), "name=\"enemies\" width", "name=\"foes\" width"),
         "no layer named enemies"},
        {Replaced(Document(96, 72, good), "name=\"attributes\" tilewidth",
                  "name=\"attrs\" tilewidth"),
         "no tileset named attributes"},
        {"this is not XML <", "not a readable XML document"},
        {Replaced(Document(96, 72, good), "tilewidth=\"8\"", "tilewidth=\"8px\""),
         "the map's tilewidth \"8px\" is not a whole number"},
        {with(1, "<data encoding=\"base64\" compression=\"zstd\">AAAA</data>"),
         "attributes layer: compression \"zstd\" is not supported"},
        {with(0, "<data encoding=\"csv\">1,2</layer>"),
         "not a readable XML document (line 7: </layer> closes <data>)"},
        {with(2, "<data encoding=\"csv\">&nbsp;</data>"),
         "not a readable XML document (line 159: unknown entity &nbsp;)"},
        {Document(96, 72, good) + "<map/>",
         "not a readable XML document (line 235: a second root element <map>)"},
        {Document(96, 72, good).substr(0, Document(96, 72, good).find(" <layer")),
         "not a readable XML document (line 6: the document ends inside <map>)"},
    };
    for (const auto& [document, message] : cases) {
        std::ofstream(folder / "bad.tmx", std::ios::trunc) << document;
        EXPECT_EQ(Run("import bad.tmx out"), 1) << message;
        EXPECT_NE(output.find("bad.tmx: " + message), std::string::npos) << output;
        ExpectNoMap("out");
    }
    EXPECT_EQ(Run("import missing.tmx out"), 1);
    EXPECT_NE(output.find("missing.tmx: cannot read"), std::string::npos) << output;
    ExpectNoMap("out");
}

// What a general-purpose editor or a hand may put in a document: a byte order
// mark, a document type declaration, comments and processing instructions,
// single quotes, CR LF line ends, entities and CDATA sections in the data,
// elements of no interest, layers of other names.
TEST_F(MapTmx, ImportReadsEveryFormOfWellFormedDocument) {
    WriteMap("level", 2, 1, EDGES);
    std::string data[3];
    for (int layer = 0; layer < 3; ++layer)
        data[layer] = Csv(Gids(layer, 192, 72, EDGES[layer]), 192);
    // Chips: the first digit as a character reference, the rest in two CDATA
    // sections with a comment between them.
    const std::string& csv = data[0];
    const std::size_t first = csv.find_first_of("0123456789"), comma = csv.find(',', first);
    data[0] = "<data encoding='csv'>&#" + std::to_string(int{csv[first]}) + ";<![CDATA[" +
              csv.substr(first + 1, comma - first - 1) + "]]><!-- x --><![CDATA[" +
              csv.substr(comma, csv.rfind("</data>") - comma) + "]]></data>";
    std::string document = Document(192, 72, data);
    document.insert(document.find("<map"),
                    "<!DOCTYPE map SYSTEM \"map.dtd\" [ <!ENTITY x \"]>\"> ]>\n"
                    "<?tool run=\"yes\"?>\n");
    document.insert(document.find(" <layer"),
                    " <layer name=\"other\" width=\"1\" height=\"1\"><data>junk</data></layer>\n"
                    " <objectgroup><object id=\"1\"><properties/></object></objectgroup>\n");
    std::string crlf = "\xEF\xBB\xBF";
    for (const char c : document) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::ofstream(folder / "odd.tmx", std::ios::binary) << crlf;
    ASSERT_EQ(Run("import odd.tmx copy"), 0) << output;
    ExpectSameMap("level", "copy");
}

// Peak resident size in kilobytes of tessera-map importing `in`; its exit code
// in `status` and what it printed in `printed`.
long ImportPeak(const fs::path& folder, const std::string& in, int& status, std::string& printed) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen("import.log", "w", stderr)) _exit(99);
        execl(TESSERA_MAP, TESSERA_MAP, "import", in.c_str(), "out", nullptr);
        _exit(99);
    }
    int raw = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &raw, 0, &usage) != child) return -1;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    printed = ReadFile(folder / "import.log");
    return usage.ru_maxrss;
}

// Documents made to cost time or memory: read with memory bounded by the map
// plus a small constant, refused when they are not well formed. Each is made
// and written by a child of its own, so that this process stays small: the
// peak size the system reports for a program counts the process it was started
// from.
TEST_F(MapTmx, HostileDocumentsTakeLittleMemory) {
    const Cells none[3];
    std::string good[3];
    for (int layer = 0; layer < 3; ++layer) good[layer] = Csv(Gids(layer, 96, 72, none[layer]), 96);
    const std::string document = Document(96, 72, good);
    const std::size_t body = document.find(">\n <tileset") + 2;
    const auto inBody = [&](const std::string& text) {
        return document.substr(0, body) + text + document.substr(body);
    };
    constexpr std::size_t MB = 1 << 20;
    const auto repeated = [](const std::string& piece, std::size_t size) {
        std::string text;
        while (text.size() < size) text += piece;
        return text;
    };
    const struct {
        const char* what;
        std::function<std::string()> make;
        const char* refusal; // empty when it imports
    } cases[] = {
        {"100,000 attributes",
         [&] {
             std::string attributes;
             for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "=\"1\"";
             const std::size_t map = document.find("<map") + 4;
             return document.substr(0, map) + attributes + document.substr(map);
         },
         ""},
        {"16 MB of empty elements", [&] { return inBody(repeated("<a/><b c='d'/>", 16 * MB)); },
         ""},
        {"a 16 MB comment", [&] { return inBody("<!--" + std::string(16 * MB, '-') + "->-->"); },
         ""},
        {"16 MB of text", [&] { return inBody(std::string(16 * MB, 'x')); }, ""},
        {"8 MB of entities",
         [&] { return inBody("<a>" + repeated("&amp;&#x41;", 8 * MB) + "</a>"); }, ""},
        {"a 16 MB attribute value",
         [&] { return inBody("<a b=\"" + std::string(16 * MB, 'v') + "\"/>"); }, ""},
        {"elements nested a million deep", [&] { return inBody(repeated("<a>", 3 * MB)); },
         "elements nested more than 256 deep"},
        {"a 16 MB name", [&] { return inBody("<" + std::string(16 * MB, 'n') + "/>"); },
         "a name longer than 256 bytes"},
        {"an unended CDATA section",
         [&] { return inBody("<a><![CDATA[" + std::string(16 * MB, ']')); },
         "the document ends inside a CDATA section"},
    };
    for (const auto& c : cases) {
        const pid_t writer = fork();
        if (writer == 0) {
            std::ofstream(folder / "hostile.tmx", std::ios::trunc | std::ios::binary) << c.make();
            _exit(0);
        }
        ASSERT_EQ(waitpid(writer, nullptr, 0), writer);
        int status = -1;
        std::string printed;
        const long peak = ImportPeak(folder, "hostile.tmx", status, printed);
        EXPECT_EQ(status, *c.refusal ? 1 : 0) << c.what << ": " << printed;
        EXPECT_NE(printed.find(c.refusal), std::string::npos) << c.what << ": " << printed;
        EXPECT_GT(peak, 0) << c.what;
        EXPECT_LT(peak, 32 << 10) << c.what << ": " << peak << " KB";
    }
}

} // namespace
