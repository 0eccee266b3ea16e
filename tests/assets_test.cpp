// The images the build draws beside the editor: names, sizes and format, the
// panel pieces at the rectangles the panel code copies, distinct chips, black
// only where transparency is meant, and the images as the editor loads them.
// The play-test's data: the player's sprite sheet, the sound effects and their
// pack as the sound module loads it, and the tune as the MIDI reader reads it.
#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/panel.h"
#include "platform/formats/bmp.h"
#include "platform/formats/midi_file.h"
#include "platform/headless/headless.h"
#include "system/system.h"
#include "tests/sound_test_support.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::DecodedImage;

// This test lives in the build folder, beside the editor and its images.
fs::path Folder() { return fs::path(elSystem::ProgramFolder(0)); }

const DecodedImage& Image(const std::string& name) {
    static std::map<std::string, DecodedImage> cache;
    auto found = cache.find(name);
    if (found == cache.end()) {
        DecodedImage image;
        platform::LoadBmpFile((Folder() / name).string(), image);
        found = cache.emplace(name, std::move(image)).first;
    }
    return found->second;
}

std::uint32_t At(const DecodedImage& image, int x, int y) {
    return image.pixels[y * image.width + x];
}

// What 16-bit displays keep of a colour (0x00RRGGBB).
std::uint32_t As555(std::uint32_t p) {
    return (p >> 19 & 31) << 10 | (p >> 11 & 31) << 5 | (p >> 3 & 31);
}
std::uint32_t As565(std::uint32_t p) {
    return (p >> 19 & 31) << 11 | (p >> 10 & 63) << 5 | (p >> 3 & 31);
}
int Lum(std::uint32_t p) {
    return ((p >> 16 & 255) * 299 + (p >> 8 & 255) * 587 + (p & 255) * 114) / 1000;
}

struct Rect {
    int left, top, right, bottom;
};

std::vector<std::uint32_t> Pixels(const DecodedImage& image, Rect r) {
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) pixels.push_back(At(image, x, y));
    return pixels;
}

int CountBlack(const std::vector<std::uint32_t>& pixels) {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), 0u));
}

// Mean colour of some pixels, channel by channel.
std::array<double, 3> Mean(const std::vector<std::uint32_t>& pixels) {
    std::array<double, 3> sum{};
    for (std::uint32_t p : pixels)
        for (int c = 0; c < 3; ++c) sum[c] += p >> (16 - 8 * c) & 255;
    for (double& v : sum) v /= std::max<std::size_t>(1, pixels.size());
    return sum;
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

TEST(AssetFiles, EveryImageIsA24BitBmpOfItsSizeUnderItsExactName) {
    struct File {
        const char* name;
        int width, height;
    };
    const File files[] = {{"bmp/m_cp00.BMP", 640, 2000},  {"bmp/m_cp01.BMP", 640, 2000},
                          {"bmp/kurowaku.bmp", 800, 600}, {"bmp/edita.bmp", 0, 0},
                          {"char/char00.BMP", 48, 48},    {"char/char01.BMP", 56, 56},
                          {"char/char02.BMP", 56, 56},    {"char/char03.BMP", 56, 56},
                          {"char/char04.BMP", 48, 48},    {"char/char05.BMP", 48, 48},
                          {"char/char06.BMP", 48, 48},    {"char/char07.BMP", 48, 48},
                          {"run/player.BMP", 128, 48}};
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        std::ifstream in(Folder() / file.name, std::ios::binary);
        ASSERT_TRUE(in) << "missing";
        unsigned char header[30] = {};
        in.read(reinterpret_cast<char*>(header), sizeof header);
        EXPECT_EQ(header[0], 'B');
        EXPECT_EQ(header[1], 'M');
        EXPECT_EQ(header[28], 24); // bits per pixel
        const DecodedImage& image = Image(file.name);
        ASSERT_FALSE(image.pixels.empty());
        if (file.width) {
            EXPECT_EQ(image.width, file.width);
            EXPECT_EQ(image.height, file.height);
        }
    }
}

// ---- The panel image ----

enum class Kind { Opaque, Overlay };

struct Piece {
    std::string name;
    Rect rect;
    Kind kind;
};

// Every rectangle the panel, the frame and the pointer code copy from the
// panel image, with lit = 0 and 1 where the code uses both.
std::vector<Piece> PanelPieces() {
    std::vector<Piece> pieces;
    auto add = [&](std::string name, Rect r, Kind kind = Kind::Opaque) {
        pieces.push_back({std::move(name), r, kind});
    };
    for (int lit = 0; lit < 2; ++lit) {
        const std::string l = lit ? " lit" : "";
        add("up" + l, {0, lit * 20, 10, lit * 20 + 20});
        add("down" + l, {10, lit * 20, 20, lit * 20 + 20});
        add("left" + l, {20, lit * 10 + 20, 40, lit * 10 + 30});
        add("right" + l, {20, lit * 10, 40, lit * 10 + 10});
        add("plus" + l, {40, lit * 79, 80, lit * 79 + 39});
        add("minus" + l, {40, lit * 79 + 40, 80, lit * 79 + 79});
        const std::pair<const char*, int> buttons[] = {
            {"unlabelled", 80}, {"save", 200},   {"load", 320}, {"mode 0", 520},
            {"mode 1", 640},    {"mode 2", 760}, {"quit", 1080}};
        for (auto [name, x] : buttons) add(name + l, {x, lit * 79, x + 120, lit * 79 + 79});
        add("animation" + l, {440, lit * 79, 520, lit * 79 + 79});
    }
    add("track", {0, 139, 10, 149});
    add("background", {0, 60, 40, 139});
    for (int d = 0; d < 10; ++d) {
        const int x = (d % 5) * 40 + 880, y = d < 5 ? 0 : 79;
        add("digit " + std::to_string(d), {x, y, x + 40, y + 79}, Kind::Overlay);
    }
    for (int f = 0; f < 2; ++f) {
        const int x = (f % 5) * 40 + 880, y = (f / 5) * 78;
        add("frame digit " + std::to_string(f), {x, y, x + 40, y + 78}, Kind::Overlay);
    }
    add("pointer", {0, 40, 20, 60}, Kind::Overlay);
    add("times", {20, 40, 40, 60}, Kind::Overlay);
    return pieces;
}

const DecodedImage& Panel() { return Image("bmp/edita.bmp"); }

Rect Find(const std::string& name) {
    for (const Piece& piece : PanelPieces())
        if (piece.name == name) return piece.rect;
    ADD_FAILURE() << "no piece " << name;
    return {};
}

TEST(PanelImage, EveryPieceLiesInsideAndShowsSomething) {
    const DecodedImage& panel = Panel();
    for (const Piece& piece : PanelPieces()) {
        SCOPED_TRACE(piece.name);
        const Rect r = piece.rect;
        ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= panel.width &&
                    r.bottom <= panel.height);
        const std::vector<std::uint32_t> pixels = Pixels(panel, r);
        const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_GE(colours.size(), 3u);
        // Black is transparent: buttons and bar pieces have none, the pieces
        // drawn over something else let it show through.
        if (piece.kind == Kind::Opaque)
            EXPECT_EQ(CountBlack(pixels), 0);
        else
            EXPECT_GT(CountBlack(pixels), static_cast<int>(pixels.size()) / 3);
    }
}

TEST(PanelImage, LitPicturesDifferFromUnlitOnes) {
    const DecodedImage& panel = Panel();
    for (const char* name : {"up", "down", "left", "right", "plus", "minus", "unlabelled", "save",
                             "load", "animation", "mode 0", "mode 1", "mode 2", "quit"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(Pixels(panel, Find(name)), Pixels(panel, Find(std::string(name) + " lit")));
    }
}

TEST(PanelImage, LabelledButtonsCarryDistinctTexts) {
    const DecodedImage& panel = Panel();
    // Text is drawn nearly white; the faces and their bevels are darker.
    auto text = [&](const std::string& name) {
        std::string mask;
        for (std::uint32_t p : Pixels(panel, Find(name))) mask += Lum(p) >= 235 ? '#' : '.';
        return mask;
    };
    const std::string blank = text("unlabelled");
    EXPECT_LT(std::count(blank.begin(), blank.end(), '#'), 5);
    std::set<std::string> seen;
    for (const char* name : {"save", "load", "animation", "mode 0", "mode 1", "mode 2", "quit"})
        for (const char* lit : {"", " lit"}) {
            SCOPED_TRACE(std::string(name) + lit);
            const std::string mask = text(name + std::string(lit));
            EXPECT_GT(std::count(mask.begin(), mask.end(), '#'), 80);
            if (!*lit) {
                EXPECT_TRUE(seen.insert(mask).second);
            }
        }
}

TEST(PanelImage, DigitsAreTenFiguresThatFitTheDisplayTheyAreDrawnOn) {
    const DecodedImage& panel = Panel();
    const Rect well = Find("background");
    std::set<std::vector<std::uint32_t>> figures;
    for (int d = 0; d < 10; ++d) {
        SCOPED_TRACE(d);
        const Rect r = Find("digit " + std::to_string(d));
        figures.insert(Pixels(panel, r));
        // Drawn pixels stay inside the well's dark face, off its bevel, and
        // the chip-frame copy, one row shorter, loses none of them.
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                if (At(panel, x, y) == 0) continue;
                const int u = x - r.left, v = y - r.top;
                EXPECT_TRUE(Lum(At(panel, well.left + u, well.top + v)) < 40) << u << "," << v;
                EXPECT_LT(v, 78);
            }
    }
    EXPECT_EQ(figures.size(), 10u);
}

TEST(PanelImage, PointerIsOneShapeFromItsTipWithAnOutline) {
    const DecodedImage& panel = Panel();
    const Rect r = Find("pointer");
    auto drawn = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 20 && y < 20 && At(panel, r.left + x, r.top + y) != 0;
    };
    ASSERT_TRUE(drawn(0, 0)) << "the tip marks the pointer position";
    for (auto [x, y] : {std::pair{19, 0}, {0, 19}, {19, 19}}) EXPECT_FALSE(drawn(x, y));
    // Flood from the tip reaches every drawn pixel.
    std::set<std::pair<int, int>> reached{{0, 0}};
    std::vector<std::pair<int, int>> open{{0, 0}};
    while (!open.empty()) {
        auto [x, y] = open.back();
        open.pop_back();
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            if (drawn(x + dx, y + dy) && reached.insert({x + dx, y + dy}).second)
                open.push_back({x + dx, y + dy});
    }
    const std::vector<std::uint32_t> pixels = Pixels(panel, r);
    EXPECT_EQ(reached.size(), pixels.size() - CountBlack(pixels));
    // Dark edge and light body: visible on light and on dark ground.
    EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](auto p) { return p && Lum(p) < 50; }));
    EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](auto p) { return Lum(p) > 200; }));
}

// Pixels of a piece brighter than `threshold`, inside its two-pixel rim.
std::vector<std::vector<bool>> Glyph(Rect r, int threshold) {
    const DecodedImage& panel = Panel();
    std::vector<std::vector<bool>> glyph(r.bottom - r.top, std::vector<bool>(r.right - r.left));
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
        for (int x = r.left + 2; x < r.right - 2; ++x)
            glyph[y - r.top][x - r.left] = Lum(At(panel, x, y)) > threshold;
    return glyph;
}

TEST(PanelImage, ArrowsPointTheWayTheirControlsScroll) {
    for (const char* lit : {"", " lit"}) {
        // Widths of the arrow glyph across its axis, from top or left.
        auto profile = [&](const char* name, bool vertical) {
            const auto glyph = Glyph(Find(name + std::string(lit)), 215);
            std::vector<int> widths;
            const int along = vertical ? glyph.size() : glyph[0].size();
            const int across = vertical ? glyph[0].size() : glyph.size();
            for (int i = 0; i < along; ++i) {
                int width = 0;
                for (int j = 0; j < across; ++j) width += vertical ? glyph[i][j] : glyph[j][i];
                if (width) widths.push_back(width);
            }
            return widths;
        };
        for (auto [name, vertical, growing] : {std::tuple{"up", true, true},
                                               {"down", true, false},
                                               {"left", false, true},
                                               {"right", false, false}}) {
            SCOPED_TRACE(name + std::string(lit));
            const std::vector<int> widths = profile(name, vertical);
            ASSERT_GE(widths.size(), 2u);
            EXPECT_EQ(widths.front() < widths.back(), growing) << "the tip leads";
        }
    }
}

TEST(PanelImage, PlusAndMinusShowTheirSigns) {
    for (const char* lit : {"", " lit"}) {
        for (auto [name, plus] : {std::pair{"plus", true}, {"minus", false}}) {
            SCOPED_TRACE(name + std::string(lit));
            const auto glyph = Glyph(Find(name + std::string(lit)), 215);
            int bar = 0, stem = 0;
            for (std::size_t y = 0; y < glyph.size(); ++y)
                for (std::size_t x = 0; x < glyph[y].size(); ++x) {
                    if (!glyph[y][x]) continue;
                    const bool middle = std::abs(static_cast<int>(y) - 19) <= 3;
                    bar += middle, stem += !middle;
                }
            EXPECT_GE(bar, 24);
            EXPECT_EQ(stem > 20, plus);
        }
    }
}

TEST(PanelImage, DigitsShowSevenSegmentFigures) {
    // The lit strokes of a digit, and which figures hold all strokes of which.
    auto strokes = [](int d) {
        std::vector<bool> lit;
        for (std::uint32_t p : Pixels(Panel(), Find("digit " + std::to_string(d))))
            lit.push_back(Lum(p) > 150);
        return lit;
    };
    auto within = [](const std::vector<bool>& a, const std::vector<bool>& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] && !b[i]) return false;
        return true;
    };
    const std::pair<int, int> nested[] = {{1, 7}, {7, 3}, {3, 9}, {9, 8}, {1, 4}, {4, 9},
                                          {5, 6}, {6, 8}, {2, 8}, {0, 8}, {7, 0}};
    for (auto [small, large] : nested)
        EXPECT_TRUE(within(strokes(small), strokes(large))) << small << " in " << large;
    const std::pair<int, int> apart[] = {{2, 3}, {3, 2}, {5, 3}, {6, 0}, {0, 6}, {4, 7}};
    for (auto [a, b] : apart) EXPECT_FALSE(within(strokes(a), strokes(b))) << a << " in " << b;
}

TEST(PanelImage, SwitchesLookClearlyOnWhenLit) {
    for (const char* name : {"animation", "mode 0", "mode 1", "mode 2"}) {
        const double change = Distance(Mean(Pixels(Panel(), Find(name))),
                                       Mean(Pixels(Panel(), Find(std::string(name) + " lit"))));
        EXPECT_GT(change, 90) << name;
    }
}

// ---- The chip sheets ----

constexpr int kColumns = 80, kRows = 250;
const char* const kSheets[] = {"bmp/m_cp00.BMP", "bmp/m_cp01.BMP"};

std::vector<std::uint32_t> Chip(const DecodedImage& sheet, int n) {
    const int x = n % kColumns * 8, y = n / kColumns * 8;
    return Pixels(sheet, {x, y, x + 8, y + 8});
}

TEST(ChipSheets, AllTwentyThousandChipsDifferAlsoOnA16BitDisplay) {
    for (const char* name : kSheets) {
        SCOPED_TRACE(name);
        const DecodedImage& sheet = Image(name);
        std::set<std::vector<std::uint32_t>> seen;
        for (int n = 0; n < kColumns * kRows; ++n) {
            std::vector<std::uint32_t> chip = Chip(sheet, n);
            for (std::uint32_t& p : chip) p = As555(p);
            EXPECT_TRUE(seen.insert(chip).second) << "chip " << n;
        }
        EXPECT_EQ(CountBlack(Chip(sheet, 0)), 64) << "chip 0 is empty";
    }
}

TEST(ChipSheets, SolidColumnsAreOpaqueAndStill) {
    const DecodedImage &first = Image(kSheets[0]), &second = Image(kSheets[1]);
    for (int n = 0; n < kColumns * kRows; ++n) {
        if ((n % kColumns & 0x20) == 0) continue;
        EXPECT_EQ(CountBlack(Chip(first, n)), 0) << "chip " << n;
        EXPECT_EQ(Chip(first, n), Chip(second, n)) << "chip " << n;
    }
}

TEST(ChipSheets, SecondFrameMovesSomeChipsOfEveryBand) {
    const DecodedImage &first = Image(kSheets[0]), &second = Image(kSheets[1]);
    int total = 0;
    for (int band = 0; band < kRows / 10; ++band) {
        int moved = 0;
        for (int n = band * 800; n < band * 800 + 800; ++n)
            moved += Chip(first, n) != Chip(second, n);
        EXPECT_GE(moved, 40) << "band " << band;
        total += moved;
    }
    EXPECT_LT(total, kColumns * kRows / 2);
}

TEST(ChipSheets, TransparentPixelsFormNoOnePixelHoles) {
    // A lone black pixel inside a drawn shape is a dark colour gone wrong.
    for (const char* name : kSheets) {
        const DecodedImage& sheet = Image(name);
        for (int n = 0; n < kColumns * kRows; ++n) {
            const std::vector<std::uint32_t> chip = Chip(sheet, n);
            for (int y = 1; y < 7; ++y)
                for (int x = 1; x < 7; ++x)
                    EXPECT_FALSE(chip[y * 8 + x] == 0 && chip[y * 8 + x - 1] &&
                                 chip[y * 8 + x + 1] && chip[y * 8 + x - 8] && chip[y * 8 + x + 8])
                        << name << " chip " << n << " at " << x << "," << y;
        }
    }
}

TEST(ChipSheets, EveryBandHasColoursOfItsOwn) {
    const DecodedImage& sheet = Image(kSheets[0]);
    std::vector<std::array<double, 3>> bands;
    for (int band = 0; band < kRows / 10; ++band)
        bands.push_back(Mean(Pixels(sheet, {256, band * 80, 512, band * 80 + 80})));
    for (std::size_t a = 0; a < bands.size(); ++a)
        for (std::size_t b = a + 1; b < bands.size(); ++b)
            EXPECT_GT(Distance(bands[a], bands[b]), 12) << "bands " << a << " and " << b;
}

// ---- Every image ----

TEST(AllImages, NoDrawnColourTurnsBlackOnA16BitDisplay) {
    for (const char* name :
         {"bmp/edita.bmp", "bmp/m_cp00.BMP", "bmp/m_cp01.BMP", "bmp/kurowaku.bmp"}) {
        int vanishing = 0;
        for (std::uint32_t p : Image(name).pixels)
            vanishing += p != 0 && (As555(p) == 0 || As565(p) == 0);
        EXPECT_EQ(vanishing, 0) << name;
    }
}

TEST(DimmingImage, IsDarkEverywhereWithoutBlack) {
    const DecodedImage& image = Image("bmp/kurowaku.bmp");
    for (std::uint32_t p : image.pixels) {
        ASSERT_NE(As555(p), 0u);
        ASSERT_LE(Lum(p), 60);
    }
}

TEST(DimmingImage, KeepsGrey200NumbersReadableOverAWhiteMap) {
    // The blend takes 0.7 of the image and 0.3 of the screen.
    for (std::uint32_t p : Image("bmp/kurowaku.bmp").pixels)
        ASSERT_LE(0.7 * Lum(p) + 0.3 * 255, 115);
}

TEST(EnemySprites, CreaturesFillMostOfTheirSprite) {
    for (int i = 0; i < 8; ++i) {
        const DecodedImage& sprite = Image("char/char0" + std::to_string(i) + ".BMP");
        const std::uint32_t key = At(sprite, 0, 0);
        int left = sprite.width, right = -1, top = sprite.height, bottom = -1;
        for (int y = 0; y < sprite.height; ++y)
            for (int x = 0; x < sprite.width; ++x)
                if (At(sprite, x, y) != key)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                    bottom = std::max(bottom, y);
        const int width = right - left + 1, height = bottom - top + 1;
        EXPECT_GE(std::min(width, height), sprite.width / 2) << i;
        EXPECT_GE(std::max(width, height), sprite.width * 3 / 4) << i;
    }
}

TEST(EnemySprites, KeyedOnTheTopLeftPixelAndEightDifferentCreatures) {
    std::set<std::vector<std::uint32_t>> seen;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const DecodedImage& sprite = Image("char/char0" + std::to_string(i) + ".BMP");
        const std::uint32_t key = At(sprite, 0, 0);
        const int w = sprite.width, h = sprite.height;
        EXPECT_EQ(At(sprite, w - 1, 0), key);
        EXPECT_EQ(At(sprite, 0, h - 1), key);
        EXPECT_EQ(At(sprite, w - 1, h - 1), key);
        const int keyed =
            static_cast<int>(std::count(sprite.pixels.begin(), sprite.pixels.end(), key));
        EXPECT_GT(keyed, w * h / 5);
        EXPECT_LT(keyed, w * h * 4 / 5);
        // No drawn pixel becomes the key on a 16-bit display.
        for (std::uint32_t p : sprite.pixels) {
            if (p == key) continue;
            ASSERT_TRUE(As555(p) != As555(key) && As565(p) != As565(key));
        }
        EXPECT_TRUE(seen.insert(sprite.pixels).second);
    }
}

// ---- The play-test's data ----

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PlayerSheet, FourKeyedFramesWithAFigureInTheCollisionBoxWhoseLegsMove) {
    const DecodedImage& sheet = Image("run/player.BMP");
    ASSERT_EQ(sheet.width, 128);
    ASSERT_EQ(sheet.height, 48);
    const std::uint32_t key = At(sheet, 0, 0);
    EXPECT_EQ(key, 0u); // black, which a mirrored copy leaves out
    std::set<std::vector<std::uint32_t>> frames, legs;
    for (int f = 0; f < 4; ++f) {
        SCOPED_TRACE(f);
        const int left = f * 32;
        for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 47}, {31, 47}})
            EXPECT_EQ(At(sheet, left + x, y), key);
        // The game's collision box is 20 x 40 at (6, 8) of the frame.
        int inside = 0, outside = 0, bottom = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 32; ++x) {
                const std::uint32_t p = At(sheet, left + x, y);
                if (p == key) continue;
                ASSERT_TRUE(As555(p) != As555(key) && As565(p) != As565(key));
                const bool box = x >= 6 && x < 26 && y >= 8;
                inside += box, outside += !box, bottom += y == 47;
            }
        EXPECT_GT(inside, 20 * 40 / 2);
        EXPECT_LT(outside, inside / 6); // a hand raised in the jump may reach above
        EXPECT_GT(bottom, 3) << "a foot on the bottom row";
        // The shirt is a strong colour, not a grey that gets lost on the map.
        const std::array<double, 3> shirt = Mean(Pixels(sheet, {left + 13, 24, left + 20, 29}));
        EXPECT_GT(*std::max_element(shirt.begin(), shirt.end()) -
                      *std::min_element(shirt.begin(), shirt.end()),
                  120);
        frames.insert(Pixels(sheet, {left, 0, left + 32, 48}));
        legs.insert(Pixels(sheet, {left, 34, left + 32, 48}));
    }
    EXPECT_EQ(frames.size(), 4u);
    EXPECT_EQ(legs.size(), 4u);
}

// The samples of a WAV file as the sound module reads it; empty unless it is
// 16-bit mono at 22050 Hz.
std::vector<int> EffectSamples(const std::string& name) {
    std::vector<std::uint8_t> format, data;
    const std::string path = (Folder() / "run" / "wav" / name).string();
    if (!elSound::ReadWave(path.c_str(), format, data)) return {};
    auto word = [&](int at) { return format[at] | format[at + 1] << 8; };
    if (word(0) != 1 || word(2) != 1 || word(4) != 22050 || word(6) != 0 || word(14) != 16)
        return {};
    std::vector<int> samples;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(data[i] | data[i + 1] << 8));
    return samples;
}

// Sign changes from `from` to `to`, as a measure of pitch.
int Crossings(const std::vector<int>& samples, std::size_t from, std::size_t to) {
    int count = 0;
    for (std::size_t i = from + 1; i < to; ++i) count += (samples[i - 1] < 0) != (samples[i] < 0);
    return count;
}

TEST(SoundEffects, ShortLoudButUnclippedAndMovingInPitchTheWayTheyShould) {
    struct Effect {
        const char* name;
        double shortest, longest;
        int pitch; // +1 rising, -1 falling from the first third to the last
    };
    for (const Effect e : {Effect{"JUMP.WAV", 0.1, 0.3, +1}, Effect{"STOMP.WAV", 0.1, 0.25, -1},
                           Effect{"MISS.WAV", 0.5, 0.8, -1}, Effect{"CLEAR.WAV", 0.4, 0.8, +1}}) {
        SCOPED_TRACE(e.name);
        const std::vector<int> samples = EffectSamples(e.name);
        ASSERT_FALSE(samples.empty());
        const double seconds = samples.size() / 22050.0;
        EXPECT_GE(seconds, e.shortest);
        EXPECT_LE(seconds, e.longest);
        int peak = 0;
        double power = 0;
        for (int s : samples) peak = std::max(peak, std::abs(s)), power += double(s) * s;
        EXPECT_LT(peak, 32767 * 9 / 10);
        EXPECT_GT(std::sqrt(power / samples.size()), 32767 * 0.1);
        EXPECT_LT(std::abs(samples.back()), 300) << "ends without a click";
        const std::size_t third = samples.size() / 3;
        const int first = Crossings(samples, 0, third),
                  last = Crossings(samples, samples.size() - third, samples.size());
        EXPECT_EQ(last > first, e.pitch > 0) << first << " then " << last;
    }
}

using PlayTestSounds = sound_test::SoundTest;

TEST_F(PlayTestSounds, PackHoldsTheFourEffectsAndEachLoadsAndPlays) {
    // Records: data size, name, format size, format block, data.
    const std::vector<std::uint8_t> pack = ReadFile(Folder() / "run" / "sounds.pak");
    auto dword = [&](std::size_t at) {
        return std::uint32_t(pack[at] | pack[at + 1] << 8 | pack[at + 2] << 16 |
                             pack[at + 3] << 24);
    };
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at + 4 <= pack.size() && names.size() < 10) {
        const std::uint32_t size = dword(at);
        names.emplace_back(reinterpret_cast<const char*>(&pack[at + 4]));
        at += 4 + names.back().size() + 1;
        at += 4 + dword(at) + size;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CLEAR.WAV", "JUMP.WAV", "MISS.WAV", "STOMP.WAV"}));
    EXPECT_EQ(at, pack.size());

    // As the game loads them.
    elSound::SetPack("run\\sounds.pak");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const int no = elSound::LoadPack(name.c_str(), 2);
        ASSERT_GE(no, 0);
        EXPECT_EQ(elSound::SoundTable[no].FromPack, 1);
        EXPECT_EQ(elSound::SoundTable[no].MixCount, 2);
        EXPECT_EQ(elSound::SoundTable[no].BaseFrequency, 22050u);
        platform::headless::ClearSoundOutput();
        elSound::Play(no, elSound::MIX_TURN);
        platform::headless::AdvanceClock(100);
        const std::vector<int> heard = platform::headless::SoundSamples();
        EXPECT_GT(*std::max_element(heard.begin(), heard.end()), 3000);
    }
    EXPECT_TRUE(platform::headless::BoxLog().empty());
}

TEST(PlayTestTune, LeadBassAndDrumsInWholeBarsAt140BeatsAMinute) {
    const std::vector<std::uint8_t> bytes = ReadFile(Folder() / "run" / "tune.mid");
    ASSERT_GT(bytes.size(), 14u);
    EXPECT_EQ(bytes[9], 1) << "format 1";
    platform::MidiSong song;
    ASSERT_TRUE(platform::ReadMidiFile(bytes.data(), bytes.size(), song));
    // Whole bars of four beats, so that looping keeps the beat.
    const double beat = 60e6 / 140, bars = song.length / (4 * beat);
    EXPECT_GE(song.length, 16000000u);
    EXPECT_LE(song.length, 24000000u);
    EXPECT_NEAR(bars, std::round(bars), 1e-4);

    std::map<int, int> programs, notes;
    std::map<std::pair<int, int>, int> sounding;
    for (const platform::MidiEvent& event : song.events) {
        const int kind = event.status & 0xF0, channel = event.status & 0x0F;
        if (kind == 0xC0) programs[channel] = event.data1;
        if (kind == 0x90 && event.data2) {
            ++notes[channel], ++sounding[{channel, event.data1}];
            // On a sixteenth-note grid.
            const double sixteenths = event.time / (beat / 4);
            EXPECT_NEAR(sixteenths, std::round(sixteenths), 1e-3) << event.time;
        } else if (kind == 0x80 || kind == 0x90) {
            --sounding[{channel, event.data1}];
        }
    }
    EXPECT_EQ(programs, (std::map<int, int>{{0, 80}, {1, 38}}));
    EXPECT_EQ(notes.size(), 3u);
    for (int channel : {0, 1, 9}) EXPECT_GE(notes[channel], 40) << channel;
    for (const auto& [note, count] : sounding) EXPECT_EQ(count, 0) << "still sounding at the end";
}

// ---- The generator itself ----

int RunTool(const std::string& arguments) {
    const int status =
        std::system((std::string(ASSETS_TOOL) + " " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AssetTool, DrawsTheSameFilesAgainIntoAFreshFolder) {
    const fs::path fresh = fs::temp_directory_path() / ("assets_" + std::to_string(getpid()));
    fs::remove_all(fresh);
    ASSERT_EQ(RunTool(fresh.string()), 0);
    for (const char* name :
         {"bmp/edita.bmp", "bmp/m_cp00.BMP", "bmp/m_cp01.BMP", "bmp/kurowaku.bmp",
          "char/char00.BMP", "char/char07.BMP", "run/player.BMP", "run/wav/JUMP.WAV",
          "run/wav/CLEAR.WAV", "run/sounds.pak", "run/tune.mid",
          "icons/hicolor/16x16/apps/tessera.png"}) {
        std::ifstream a(Folder() / name, std::ios::binary), b(fresh / name, std::ios::binary);
        const std::string first{std::istreambuf_iterator<char>(a), {}};
        const std::string second{std::istreambuf_iterator<char>(b), {}};
        EXPECT_TRUE(!first.empty() && first == second) << name;
    }
    fs::remove_all(fresh);
}

TEST(AssetTool, FailsWithoutAFolderOrWhereItCannotWrite) {
    EXPECT_EQ(RunTool(""), 2);
    EXPECT_EQ(RunTool("/dev/null/inside"), 1);
}

// ---- The icon of the desktop entry ----

// Every size: a PNG with transparency, see-through in the corners, opaque over
// the whole tile, the orange chip in the middle and the green stamp outline
// beside it, the sky cells above and the ground cells below.
TEST(Icon, EverySizeShowsTheChipBeingStampedIntoTheGrid) {
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const fs::path path = Folder() / "icons/hicolor" / (side + "x" + side) / "apps/tessera.png";
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
        EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, PNG_FORMAT_FLAG_ALPHA) << path;
        ASSERT_EQ(image.width, static_cast<unsigned>(size));
        ASSERT_EQ(image.height, static_cast<unsigned>(size));
        image.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << path;
        const auto at = [&](double u, double v) {
            const std::size_t i =
                (static_cast<std::size_t>(v * size) * size + static_cast<std::size_t>(u * size)) *
                4;
            return std::array<int, 4>{rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
        };
        for (const auto& corner : {at(0, 0), at(0.99, 0), at(0, 0.99), at(0.99, 0.99)})
            EXPECT_EQ(corner[3], 0) << size;
        for (double u = 0.1; u < 0.9; u += 0.05)
            for (double v = 0.1; v < 0.9; v += 0.05) EXPECT_EQ(at(u, v)[3], 255) << size;
        // Whether a pixel within one of (u, v) is of the kind asked for.
        const auto near = [&](double u, double v, auto kind) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (kind(at(std::clamp(u + dx / double(size), 0.0, 0.99),
                                std::clamp(v + dy / double(size), 0.0, 0.99))))
                        return true;
            return false;
        };
        using Pixel = std::array<int, 4>;
        EXPECT_TRUE(near(0.45, 0.45, [](Pixel p) { // the orange chip
            return p[0] > 200 && p[1] > 100 && p[1] < 180 && p[2] < 90;
        })) << size;
        EXPECT_TRUE(near(0.65, 0.5, [](Pixel p) { // the green outline
            return p[1] > 200 && p[0] < 120 && p[2] < 150;
        })) << size;
        EXPECT_TRUE(near(0.25, 0.25, [](Pixel p) { return p[2] > 200 && p[0] < 150; })) << size;
        EXPECT_TRUE(near(0.25, 0.8, [](Pixel p) { return p[0] > p[2] && p[2] < 100; })) << size;
    }
}

// The Windows icon file holds every size, each entry naming its size and the
// place of the theme's own PNG of that size.
TEST(Icon, TheWindowsIconFileHoldsEverySizesPicture) {
    std::ifstream file(Folder() / "tessera.ico", std::ios::binary);
    const std::string ico{std::istreambuf_iterator<char>(file), {}};
    const auto at16 = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<std::uint8_t>(ico[i])) |
               static_cast<unsigned>(static_cast<std::uint8_t>(ico[i + 1])) << 8;
    };
    const auto at32 = [&](std::size_t i) { return at16(i) | at16(i + 2) << 16; };
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    ASSERT_GE(ico.size(), 6u + 16 * std::size(sizes));
    EXPECT_EQ(at16(0), 0u);
    EXPECT_EQ(at16(2), 1u); // an icon
    ASSERT_EQ(at16(4), std::size(sizes));
    std::size_t end = 6 + 16 * std::size(sizes);
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const unsigned side = sizes[i] == 256 ? 0 : sizes[i];
        EXPECT_EQ(static_cast<std::uint8_t>(ico[entry]), side);
        EXPECT_EQ(static_cast<std::uint8_t>(ico[entry + 1]), side);
        EXPECT_EQ(at16(entry + 6), 32u) << sizes[i];
        const std::size_t bytes = at32(entry + 8), offset = at32(entry + 12);
        EXPECT_EQ(offset, end) << sizes[i]; // one after another, nothing between
        ASSERT_LE(offset + bytes, ico.size()) << sizes[i];
        const std::string side_text = std::to_string(sizes[i]);
        std::ifstream png(Folder() / "icons/hicolor" / (side_text + "x" + side_text) /
                              "apps/tessera.png",
                          std::ios::binary);
        EXPECT_EQ(ico.substr(offset, bytes), std::string(std::istreambuf_iterator<char>(png), {}))
            << sizes[i];
        end = offset + bytes;
    }
    EXPECT_EQ(end, ico.size());
}

// ---- The images as the editor's start-up loads them ----

class LoadedImages : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        platform::headless::UseFormat555(GetParam() == 555);
        elDraw::SetDepths(GetParam() == 32 ? 32 : 16, 0, 0);
        elDraw::KeyColor(0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        panel = elDraw::LoadObject("bmp\\edita.bmp", 2);
        sheet = elDraw::LoadObject("bmp\\m_cp00.BMP", 2);
        elDraw::KeyTopLeft();
        for (int i = 0; i < 8; ++i)
            enemies[i] =
                elDraw::LoadObject(("char\\char0" + std::to_string(i) + ".BMP").c_str(), 2);
        // A colour none of the images uses, to see what a blit leaves alone.
        platform::Surface* back = elDraw::BackBuffer;
        marker = platform::PackColor(back->format, 0x00FF00FF);
        for (int y = 0; y < back->height; ++y)
            for (int x = 0; x < back->width; ++x) Set(x, y, marker);
    }
    void TearDown() override {
        elDraw::Quit();
        elDraw::KeyColor(0);
        platform::headless::UseFormat555(false);
    }
    static void Set(int x, int y, std::uint32_t v) {
        platform::Surface* s = elDraw::BackBuffer;
        std::uint8_t* row = s->memory.data() + y * s->pitch;
        if (s->format.bits == 16)
            reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(v);
        else
            reinterpret_cast<std::uint32_t*>(row)[x] = v;
    }
    static std::uint32_t Get(int x, int y) {
        const platform::Surface* s = elDraw::BackBuffer;
        const std::uint8_t* row = s->memory.data() + y * s->pitch;
        return s->format.bits == 16 ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                    : reinterpret_cast<const std::uint32_t*>(row)[x];
    }
    int Untouched(int x0, int y0, int width, int height) const {
        int count = 0;
        for (int y = y0; y < y0 + height; ++y)
            for (int x = x0; x < x0 + width; ++x) count += Get(x, y) == marker;
        return count;
    }
    ObjectNo panel = 0, sheet = 0, enemies[8] = {};
    std::uint32_t marker = 0;
};

TEST_P(LoadedImages, TransparencyFallsWhereItIsMeant) {
    ASSERT_GE(panel, 4);
    ASSERT_GE(sheet, 4);
    // The pointer: its tip drawn, its surroundings see-through.
    elDraw::Draw(100, 100, panel, 0, 40, 20, 60);
    EXPECT_NE(Get(100, 100), marker);
    EXPECT_EQ(Get(119, 100), marker);
    // A button covers its place completely.
    elDraw::Draw(0, 689, panel, 520, 0, 640, 79);
    EXPECT_EQ(Untouched(0, 689, 120, 79), 0);
    // Chip 0 is empty; solid chips cover their cell, dark pixels included.
    elDraw::Draw(200, 200, sheet, 0, 0, 8, 8);
    EXPECT_EQ(Untouched(200, 200, 8, 8), 64);
    for (int n : {32, 63, 19999 - 16, 100 * 80 + 40}) {
        const int x = n % 80 * 8, y = n / 80 * 8;
        elDraw::Draw(300, 300, sheet, x, y, x + 8, y + 8);
        EXPECT_EQ(Untouched(300, 300, 8, 8), 0) << "chip " << n;
    }
    // Enemies: keyed on their corner, drawn in the middle.
    for (int i = 0; i < 8; ++i) {
        const int size = i >= 1 && i <= 3 ? 56 : 48;
        ASSERT_EQ(elDraw::ObjectTable[enemies[i]].Width, size);
        elDraw::Draw(500 + 60 * i, 500, enemies[i], 0, 0, size, size);
        EXPECT_EQ(Get(500 + 60 * i, 500), marker);
        EXPECT_LT(Untouched(500 + 60 * i, 500, size, size), size * size * 4 / 5);
    }
}

TEST_P(LoadedImages, PanelAsTheEditorDrawsItCoversItsPlaces) {
    // The editor's own drawing with every control unlit, a 1 x 1 map and frame 0.
    PanelImage = panel;
    std::memset(ButtonLit, 0, sizeof ButtonLit);
    MapWidth = MapHeight = 1;
    ChipFrame = 0;
    DrawPanel();

    // Every control and every scroll bar is covered where the layout puts it.
    auto covered = [&](const PanelRect& r) { return Untouched(r.x, r.y, r.width, r.height) == 0; };
    for (int i = 0; i < CONTROL_COUNT; ++i) EXPECT_TRUE(covered(PANEL_LAYOUT[i].screen)) << i;
    for (const ScrollBar& bar :
         {VIEW_VERTICAL_BAR, VIEW_HORIZONTAL_BAR, PALETTE_VERTICAL_BAR, PALETTE_HORIZONTAL_BAR})
        EXPECT_TRUE(covered(BarRect(bar)));
    // Left open: the row between each plus and minus, and the second row
    // between the mode buttons and Quit.
    EXPECT_EQ(Untouched(0, 610, 800, 79), 3 * 40);
    EXPECT_EQ(Untouched(0, 689, 800, 79), 320 * 79);
    EXPECT_EQ(Untouched(360, 689, 320, 79), 320 * 79);
}

INSTANTIATE_TEST_SUITE_P(Formats, LoadedImages, ::testing::Values(565, 555, 32));

} // namespace
