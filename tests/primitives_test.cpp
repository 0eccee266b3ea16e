// Primitives on the back buffer: fills and shading by raw pixel value, the
// one-pixel line rule, wide pens, rectangles, hatched polygons, curves, pixels
// and inversion, and absurd coordinates that must stay inside memory.
#include "draw/draw.h"
#include "platform/headless/headless.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using platform::POINT;
constexpr COLORREF RED = 0x0000FF;
constexpr std::uint32_t RED565 = 0xF800, BG = 0x1234;

std::uint32_t At(int x, int y) {
    const platform::Surface* s = elDraw::BackBuffer;
    const std::uint8_t* row = s->memory.data() + y * s->pitch;
    return s->format.bits == 16 ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                : reinterpret_cast<const std::uint32_t*>(row)[x];
}

// Row y (or column x) from `from` to `to` - 1, '#' where a pixel holds `value`.
std::string Row(int y, int from, int to, std::uint32_t value) {
    std::string s;
    for (int x = from; x < to; ++x) s += At(x, y) == value ? '#' : '.';
    return s;
}
std::string Column(int x, int from, int to, std::uint32_t value) {
    std::string s;
    for (int y = from; y < to; ++y) s += At(x, y) == value ? '#' : '.';
    return s;
}

class Primitives : public ::testing::Test {
  protected:
    void Start(int depth) {
        elDraw::SetDepths(depth, 0, 0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        elDraw::FillRect(0, 0, 1024, 768, BG);
    }
    void SetUp() override {
        platform::headless::UseFormat555(false);
        Start(16);
    }
    void TearDown() override { elDraw::Quit(); }
};

TEST_F(Primitives, FillsWriteRawValuesIntoTheirRectanglesOnly) {
    EXPECT_EQ(elDraw::FillRect(2, 3, 5, 4, 0x7ABCD), platform::DD_OK);
    EXPECT_EQ(Row(3, 0, 7, 0xABCD), "..###..");
    EXPECT_EQ(At(2, 4), BG);
    elDraw::FrameRect(10, 10, 20, 20);
    EXPECT_EQ(Row(19, 9, 21, 0), ".##########.");
    EXPECT_EQ(Row(15, 9, 21, 0), ".#........#.");
    EXPECT_EQ(Column(15, 9, 21, 0), ".#........#.");
    // Absurd rectangles are cut to the surface.
    elDraw::FrameRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    elDraw::FrameRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    EXPECT_EQ(At(0, 0), BG);
    elDraw::WhiteRect(INT_MIN, INT_MIN, 1, 1);
    EXPECT_EQ(At(0, 0), 0xFFFFu);
    elDraw::InvertRect(1, 1, 3, 2);
    EXPECT_EQ(Row(1, 0, 4, 0xEDCB), ".##.");
    EXPECT_EQ(At(1, 2), BG);

    ObjectNo no = elDraw::CreateObject(8, 8, 2);
    std::vector<std::uint8_t>& pixels = elDraw::ObjectTable[no].Surface->memory;
    pixels.assign(pixels.size(), 0x55);
    EXPECT_EQ(elDraw::ClearObject(no), platform::DD_OK);
    EXPECT_EQ(pixels, std::vector<std::uint8_t>(pixels.size(), 0));
    EXPECT_NE(elDraw::ClearObject(OBJECT_COUNT), platform::DD_OK);

    elDraw::Clear();
    for (int y = 0; y < 768; ++y) ASSERT_EQ(Row(y, 0, 1024, 0), std::string(1024, '#'));
}

TEST_F(Primitives, ShadeRectAveragesInsideTheClipRectangleOnly) {
    elDraw::FillRect(0, 0, 1024, 768, 0xFFFF);
    elDraw::SetClip(100, 100, 200, 150);
    EXPECT_EQ(elDraw::ShadeRect(50, 120, 300, 400, 0), 1);
    EXPECT_EQ(Row(120, 99, 201, 0x7BEF), std::string(".").append(100, '#').append("."));
    EXPECT_EQ(Column(150, 119, 151, 0x7BEF), std::string(".").append(30, '#').append("."));
    // Halved black plus halved red: no channel spills into the next.
    elDraw::FillRect(0, 0, 1024, 768, 0);
    elDraw::ShadeRect(0, 0, 1024, 768, RED565);
    EXPECT_EQ(At(150, 120), 0x7800u);

    // Nothing left after clipping: no lock is taken, so a lost buffer still answers 1.
    elDraw::BackBuffer->lost = true;
    EXPECT_EQ(elDraw::ShadeRect(-50, 120, -10, 130, 0), 1);
    EXPECT_EQ(elDraw::ShadeRect(120, 120, 130, 130, 0), 0);
    elDraw::BackBuffer->lost = false;

    elDraw::SetClip(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    elDraw::FillRect(0, 0, 1024, 768, 0xFFFF);
    EXPECT_EQ(elDraw::ShadeRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0), 1);
    EXPECT_EQ(At(1023, 767), 0x7BEFu);
}

TEST_F(Primitives, OnePixelLinesLeaveOutTheirEndAndTiesGoUp) {
    elDraw::Line(0, 5, 10, 5, RED, 1);
    EXPECT_EQ(Row(5, 0, 12, RED565), "##########..");
    elDraw::Line(40, 43, 40, 40, RED, 0);
    EXPECT_EQ(Column(40, 39, 45, RED565), "..###.");
    elDraw::Line(50, 50, 50, 50, RED, 1);
    EXPECT_EQ(At(50, 50), BG);
    // y = x / 2: odd columns fall halfway between two rows and take the upper,
    // in either direction.
    elDraw::Line(100, 100, 108, 104, RED, 1);
    elDraw::Line(208, 104, 200, 100, RED, 1);
    for (int y = 100; y < 105; ++y) {
        const std::string row = std::string(2 * (y - 100), '.') + (y < 104 ? "##" : "");
        EXPECT_EQ(Row(y, 100, 109, RED565), row + std::string(9 - row.size(), '.'));
    }
    EXPECT_EQ(Row(100, 200, 209, RED565), ".#.......");
    EXPECT_EQ(Row(104, 200, 209, RED565), "........#");

    // Far-off ends: the visible part is exactly that of the whole line.
    elDraw::Line(-2000000000, -1000000000, 2000000000, 1000000000, RED, 1);
    for (int y = 200; y < 512; ++y)
        ASSERT_EQ(Row(y, 0, 1024, RED565),
                  std::string(2 * y, '.') + "##" + std::string(1022 - 2 * y, '.'));
    elDraw::Line(INT_MIN, INT_MAX, INT_MAX, INT_MIN, RED, 1);
    elDraw::Line(-100, -100, -50, -50, RED, -7);
}

TEST_F(Primitives, WideLinesCoverTheirWidthWithRoundEnds) {
    elDraw::Line(100, 50, 200, 50, RED, 5);
    EXPECT_EQ(Column(150, 46, 55, RED565), "..#####..");
    EXPECT_EQ(Row(50, 96, 205, RED565), ".." + std::string(105, '#') + "..");
    EXPECT_EQ(Row(48, 97, 101, RED565), "..##"); // the corner lies outside the round end
    elDraw::Line(300, 300, 300, 400, RED, 4);
    EXPECT_EQ(Row(350, 296, 304, RED565), "..####..");

    elDraw::Line(INT_MAX, INT_MAX, INT_MIN, INT_MIN, RED, 3);
    elDraw::Line(INT_MIN, 0, INT_MAX, 0, RED, INT_MAX);
    for (int y = 0; y < 768; ++y) ASSERT_EQ(Row(y, 0, 1024, RED565), std::string(1024, '#'));
}

TEST_F(Primitives, BoxOutlinesInsideItsRightAndBottomAndFillsWithin) {
    constexpr COLORREF BLUE = 0xFF0000;
    elDraw::Box(16, 14, 10, 10, BLUE, RED, 1);
    EXPECT_EQ(Row(10, 9, 17, RED565), ".######.");
    EXPECT_EQ(Row(13, 9, 17, RED565), ".######.");
    EXPECT_EQ(Row(11, 9, 17, RED565), ".#....#.");
    EXPECT_EQ(Row(11, 9, 17, 0x001F), "..####..");
    EXPECT_EQ(Column(12, 9, 15, 0x001F), "..##..");
    elDraw::Box(INT_MIN, INT_MIN, INT_MAX, INT_MAX, BLUE, RED, 3);
    EXPECT_EQ(At(1023, 767), 0x001Fu);
}

TEST_F(Primitives, PolygonHatchGapsTakeTheBackColourOrKeepWhatIsBelow) {
    const POINT square[4] = {{0, 0}, {32, 0}, {32, 32}, {0, 32}};
    elDraw::Polygon(square, 4, RED, 0x00FF00, 1, 1);
    int hatch = 0, back = 0;
    for (int y = 1; y < 32; ++y)
        for (int x = 1; x < 32; ++x) {
            hatch += At(x, y) == RED565;
            back += At(x, y) == 0x07E0;
        }
    EXPECT_EQ(hatch + back, 31 * 31);
    EXPECT_GT(hatch, 31 * 2);
    EXPECT_GT(back, 31 * 20);
    EXPECT_EQ(Column(32, 0, 34, RED565), std::string(33, '#') + "."); // closing outline

    // The hatch is anchored to the surface, so a square moved by 128 repeats it.
    const POINT moved[4] = {{128, 0}, {160, 0}, {160, 32}, {128, 32}};
    elDraw::Polygon(moved, 4, RED, 0x00FF00, 1, 2);
    for (int y = 1; y < 32; ++y)
        for (int x = 1; x < 32; ++x)
            ASSERT_EQ(At(128 + x, y), At(x, y) == RED565 ? RED565 : BG) << x << "," << y;
    const POINT hollow[4] = {{200, 0}, {232, 0}, {232, 32}, {200, 32}};
    elDraw::Polygon(hollow, 4, RED, 0x00FF00, 1, 0);
    EXPECT_EQ(Row(16, 199, 234, RED565), ".#" + std::string(31, '.') + "#.");

    // A pentagram's tips are inside; its centre is crossed twice, so outside.
    const POINT star[5] = {{600, 100}, {659, 281}, {505, 169}, {695, 169}, {541, 281}};
    elDraw::Polygon(star, 5, RED, 0x00FF00, 1, 1);
    EXPECT_EQ(At(600, 200), BG);
    EXPECT_NE(At(600, 130), BG);
    EXPECT_NE(At(530, 174), BG);
}

TEST_F(Primitives, BezierFollowsItsCurveAndNeedsThreePointsPerPiece) {
    const POINT straight[4] = {{0, 10}, {10, 10}, {20, 10}, {30, 10}};
    elDraw::Bezier(straight, 4, RED, 1);
    EXPECT_EQ(Row(10, 0, 32, RED565), std::string(30, '#') + "..");
    const POINT arch[7] = {{100, 300}, {100, 400}, {200, 400}, {200, 300},
                           {200, 200}, {300, 200}, {300, 300}};
    elDraw::Bezier(arch, 7, RED, 1);
    EXPECT_NE(Column(150, 370, 380, RED565).find('#'), std::string::npos); // middle of piece 1
    EXPECT_NE(Column(250, 220, 230, RED565).find('#'), std::string::npos); // and of piece 2
    EXPECT_EQ(Column(150, 380, 420, RED565), std::string(40, '.')); // not the control polygon
    EXPECT_EQ(At(300, 300), BG);
    const POINT five[5] = {{500, 300}, {500, 400}, {600, 400}, {600, 300}, {700, 300}};
    elDraw::Bezier(five, 5, RED, 1);
    EXPECT_EQ(At(500, 300), BG);
}

TEST_F(Primitives, FarPointsAndBadCountsStayInsideMemory) {
    const POINT far[4] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}, {INT_MIN, 0}};
    elDraw::Polygon(far, 3, RED, 0, 9, 1);
    EXPECT_NE(At(0, 0), BG);
    EXPECT_NE(At(1023, 767), BG);
    elDraw::Polygon(far, -5, RED, 0, 1, 1);
    elDraw::Polygon(nullptr, 3, RED, 0, 1, 1);
    elDraw::Bezier(far, 4, RED, 40);
    elDraw::InvertRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    elDraw::SetPixel(INT_MIN, 1024, 0);
}

TEST_F(Primitives, ThirtyTwoBitPixelsShadeInvertAndReadBack) {
    elDraw::Quit();
    Start(32);
    elDraw::WhiteRect(0, 0, 10, 10);
    elDraw::ShadeRect(0, 0, 20, 20, 0);
    EXPECT_EQ(At(5, 5), 0x7F7F7Fu);
    EXPECT_EQ(At(15, 15), 0x091Au);

    elDraw::InvertRect(30, 30, 31, 31);
    EXPECT_EQ(At(30, 30), 0xFFEDCBu); // the unused top byte stays clear

    EXPECT_EQ(elDraw::SetPixel(7, 8, 0x00336699), platform::DD_OK);
    int red = 0, green = 0, blue = 0;
    elDraw::GetPixel(7, 8, red, green, blue);
    EXPECT_EQ(std::vector<int>({red, green, blue}), std::vector<int>({0x99, 0x66, 0x33}));
    elDraw::GetPixel(-1, INT_MAX, red, green, blue);
    EXPECT_EQ(std::vector<int>({red, green, blue}), std::vector<int>({255, 255, 255}));
}

} // namespace
