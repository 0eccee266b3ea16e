// BMP decoding of every supported layout, refusal of damaged files, the fuzzer's
// regression corpus, and the 24-bit writer.
#include "platform/formats/bmp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Pixels = std::vector<std::uint32_t>;

void Put(Bytes& b, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) b[at + i] = value >> 8 * i & 0xFF;
}

// A BMP file to build: header fields, masks (written after a 40-byte header),
// palette, then the pixel bytes as given: padded rows or an RLE stream.
// The palette's size is written as the number of colours used.
struct Bmp {
    Bmp(int width, int height, int bits, Pixels palette = {}, Bytes pixels = {})
        : width(width), height(height), bits(bits), colours(palette.size()), palette(palette),
          pixels(pixels) {}
    int headerSize = 40, width, height, bits;
    std::uint32_t compression = 0, colours;
    Pixels masks, palette;
    Bytes pixels;

    Bytes Build() const {
        const bool core = headerSize == 12;
        Bytes b(14 + headerSize);
        b[0] = 'B', b[1] = 'M';
        Put(b, 14, headerSize, 4);
        Put(b, 18, width, core ? 2 : 4);
        Put(b, core ? 20 : 22, height, core ? 2 : 4);
        Put(b, core ? 22 : 26, 1, 2); // planes
        Put(b, core ? 24 : 28, bits, 2);
        if (!core) Put(b, 30, compression, 4), Put(b, 46, colours, 4);
        if (headerSize == 40) b.resize(b.size() + 4 * masks.size());
        for (std::size_t i = 0; i < masks.size(); ++i) Put(b, 54 + 4 * i, masks[i], 4);
        for (std::uint32_t c : palette)
            for (int i = 0; i < (core ? 3 : 4); ++i) b.push_back(i < 3 ? c >> 8 * i & 0xFF : 0);
        Put(b, 10, b.size(), 4);
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    }
};

// Rows in file order, each padded to 4 bytes.
Bytes Rows(std::vector<Bytes> rows) {
    Bytes all;
    for (Bytes& row : rows) {
        row.resize((row.size() + 3) / 4 * 4);
        all.insert(all.end(), row.begin(), row.end());
    }
    return all;
}

Pixels Decode(const Bytes& file, int width, int height) {
    platform::DecodedImage out;
    EXPECT_TRUE(platform::DecodeBmp(file.data(), file.size(), out));
    EXPECT_EQ(out.width, width);
    EXPECT_EQ(out.height, height);
    return out.pixels;
}

bool Refused(const Bytes& file) {
    platform::DecodedImage out{1, 1, {0}};
    return !platform::DecodeBmp(file.data(), file.size(), out) && out.width == 0 &&
           out.height == 0 && out.pixels.empty();
}

constexpr std::uint32_t A = 0x102030, B = 0xA0B0C0, C = 0x00FF7F, D = 0x7F0001, E = 0xFEDCBA;
constexpr std::uint32_t F = 0x445566, Black = 0;

TEST(BmpDecode, PalettesOfEveryDepthAndHeader) {
    Bmp one(10, 2, 1, {A, B}, Rows({{0b10110000, 0b01000000}, {0xFF, 0xC0}}));
    EXPECT_EQ(Decode(one.Build(), 10, 2), (Pixels{B, B, B, B, B, B, B, B, B, B, //
                                                  B, A, B, B, A, A, A, A, A, B}));

    Bmp four(3, 1, 4, {A, B, C}, Rows({{0x12, 0x00}}));
    EXPECT_EQ(Decode(four.Build(), 3, 1), (Pixels{B, C, A}));

    Bmp topDown(2, -2, 8, {A, B, C}, Rows({{2, 0}, {1, 2}}));
    EXPECT_EQ(Decode(topDown.Build(), 2, 2), (Pixels{C, A, B, C}));

    Bmp core(2, 1, 4, {}, Rows({{0xF1}}));
    core.headerSize = 12;
    for (std::uint32_t i = 0; i < 16; ++i) core.palette.push_back(i * 0x111111);
    EXPECT_EQ(Decode(core.Build(), 2, 1), (Pixels{0xFFFFFF, 0x111111}));
}

TEST(BmpDecode, DirectColourAndBitFieldsScaleToEightBits) {
    Bmp rgb(2, 2, 24, {}, Rows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 0, 0, 0xFF}}));
    EXPECT_EQ(Decode(rgb.Build(), 2, 2), (Pixels{0x090807, 0xFF0000, 0x030201, 0x060504}));

    // 5:5:5 by default: full scale is 255; red 16 and green 1 round to 132 and 8.
    Bmp rgb555(3, 1, 16, {}, Rows({{0xFF, 0x7F, 0x00, 0x7C, 0x20, 0x40}}));
    EXPECT_EQ(Decode(rgb555.Build(), 3, 1), (Pixels{0xFFFFFF, 0xFF0000, 0x840800}));

    Bmp rgb565(3, 1, 16, {}, Rows({{0x00, 0xF8, 0xE0, 0x07, 0x00, 0x04}}));
    rgb565.compression = 3, rgb565.masks = {0xF800, 0x07E0, 0x001F};
    EXPECT_EQ(Decode(rgb565.Build(), 3, 1), (Pixels{0xFF0000, 0x00FF00, 0x008200}));

    Bmp rgb888(1, 1, 32, {}, {0x33, 0x22, 0x11, 0xEE});
    EXPECT_EQ(Decode(rgb888.Build(), 1, 1), (Pixels{0x112233}));

    Bmp wide(1, 1, 32, {}, {0x00, 0x00, 0xF8, 0x3F}); // red 1023, green 512, blue 0
    wide.headerSize = 108, wide.compression = 3, wide.masks = {0x3FF00000, 0xFFC00, 0x3FF};
    EXPECT_EQ(Decode(wide.Build(), 1, 1), (Pixels{0xFF8000}));

    Bmp swapped(1, 1, 32, {}, {0x11, 0x22, 0x33, 0x00});
    swapped.headerSize = 124, swapped.compression = 3, swapped.masks = {0xFF, 0xFF00, 0xFF0000};
    EXPECT_EQ(Decode(swapped.Build(), 1, 1), (Pixels{0x112233}));
}

TEST(BmpDecode, RleRunsEscapesAndSkippedPixels) {
    // Colour 0 is not black: pixels the stream skips must come out black anyway.
    Bmp rle8(6, 3, 8, {E, A, B, C});
    rle8.compression = 1;
    rle8.pixels = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, // run, odd absolute run, end of line
                   0, 2, 1, 1, 2, 3, 0, 1};      // delta, run, early end
    EXPECT_EQ(Decode(rle8.Build(), 6, 3), (Pixels{Black, C, C, Black, Black, Black,         //
                                                  Black, Black, Black, Black, Black, Black, //
                                                  A, A, A, B, C, B}));

    Bmp rle4(7, 2, 4, {E, A, B, C, D, F});
    rle4.compression = 2;
    rle4.pixels = {3, 0x12, 0,    4,    0x34, 0x53, 0, 0, // alternating run, absolute
                   0, 5,    0x12, 0x34, 0x50, 0,    0, 2, 1, 0, 1, 0x40, // padded absolute, delta
                   0, 1};
    EXPECT_EQ(Decode(rle4.Build(), 7, 2), (Pixels{A, B, C, D, F, Black, D, //
                                                  A, B, A, C, D, F, C}));
}

TEST(BmpDecode, DamagedOrUnsupportedFilesAreRefused) {
    const Bmp base(2, 2, 8, {A, B}, Rows({{0, 1}, {1, 0}}));
    auto with = [&](auto change) {
        Bmp bmp = base;
        change(bmp);
        return bmp.Build();
    };
    Bytes good = base.Build();
    // The last row may lack its padding; anything shorter is truncated.
    EXPECT_FALSE(Refused(Bytes(good.begin(), good.end() - 2)));
    for (std::size_t n = 0; n + 2 < good.size(); ++n)
        EXPECT_TRUE(Refused(Bytes(good.begin(), good.begin() + n))) << n;

    EXPECT_FALSE(Refused(with([](Bmp& b) { b.width = 16384, b.pixels.assign(2 * 16384, 1); })));
    for (Bytes bad : {
             with([](Bmp& b) { b.width = 0; }),
             with([](Bmp& b) { b.width = -2; }),
             with([](Bmp& b) { b.width = 16385; }),
             with([](Bmp& b) { b.height = 0; }),
             with([](Bmp& b) { b.height = -16385; }),
             with([](Bmp& b) { b.bits = 2; }),
             with([](Bmp& b) { b.headerSize = 64; }),
             with([](Bmp& b) { b.compression = 4; }),
             with([](Bmp& b) { b.compression = 2; }), // RLE4 of 8-bit pixels
             with([](Bmp& b) { b.colours = 0; }),     // 256 colours that are not there
             with([](Bmp& b) { b.pixels[1] = 2; }),   // index past the palette
             with([](Bmp& b) { b.height = -2, b.compression = 1; }), // top-down RLE
             with([](Bmp& b) { b.bits = 24, b.compression = 3; }),
         })
        EXPECT_TRUE(Refused(bad));
    // Masks that are empty, have holes, or reach past a 16-bit pixel.
    for (Pixels masks : {Pixels{0xF800, 0, 0x1F}, {0xF0F0, 0xF, 0x100}, {0x10000, 0xF, 0xF0}})
        EXPECT_TRUE(
            Refused(with([&](Bmp& b) { b.bits = 16, b.compression = 3, b.masks = masks; })));
    good[0] = 'X';
    EXPECT_TRUE(Refused(good));
    good = base.Build();
    Put(good, 10, good.size(), 4); // pixel data past the end
    EXPECT_TRUE(Refused(good));
    Put(good, 10, 20, 4); // pixel data inside the header
    EXPECT_TRUE(Refused(good));
    good = with([](Bmp& b) { b.bits = 16, b.compression = 3, b.masks = {0xF800, 0x7E0, 0x1F}; });
    Put(good, 10, 56, 4); // masks cut short by the end of the file
    EXPECT_TRUE(Refused(Bytes(good.begin(), good.begin() + 60)));

    auto rle = [&](Bytes stream) {
        return with([&](Bmp& b) { b.compression = 1, b.pixels = stream; });
    };
    EXPECT_FALSE(Refused(rle({2, 1, 0, 0, 0, 2, 0, 1, 0, 1})));
    for (Bytes bad : {rle({3, 1, 0, 1}),                   // run past the row
                      rle({1, 1, 0, 3, 1, 1, 1, 0, 0, 1}), // absolute run past the row
                      rle({0, 2, 0, 3, 0, 1}),             // delta above the image
                      rle({0, 0, 0, 0, 1, 1, 0, 1}),       // run above the last row
                      rle({2, 1}),                         // no end mark
                      rle({0, 4, 1, 1}),                   // absolute run cut short
                      rle({2, 5, 0, 1})})                  // index past the palette
        EXPECT_TRUE(Refused(bad));
}

TEST(BmpDecode, FuzzerCorpusNeverCrashes) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(BMP_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), {});
        platform::DecodedImage out;
        if (platform::DecodeBmp(bytes.data(), bytes.size(), out)) {
            EXPECT_EQ(out.pixels.size(), std::size_t(out.width) * out.height) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(BmpFiles, WrittenImageReadsBack) {
    const fs::path folder = fs::temp_directory_path() / ("tessera-bmp-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "shot.bmp").string();
    const platform::DecodedImage image{3, 2, {A, B, C, D, E, F}};
    ASSERT_TRUE(platform::WriteBmp24(path, image));
    EXPECT_EQ(fs::file_size(path), 54u + 2 * 12);
    platform::DecodedImage back;
    ASSERT_TRUE(platform::LoadBmpFile(path, back));
    EXPECT_EQ(back.pixels, image.pixels);

    EXPECT_FALSE(platform::WriteBmp24((folder / "none" / "x.bmp").string(), image));
    EXPECT_FALSE(platform::WriteBmp24(path, platform::DecodedImage{2, 2, {A}}));
    EXPECT_FALSE(platform::LoadBmpFile((folder / "missing.bmp").string(), back));
    EXPECT_FALSE(platform::LoadBmpFile(folder.string(), back));
    fs::remove_all(folder);
}

} // namespace
