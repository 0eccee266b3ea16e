// Composed text on the font sprite: layout with hanging characters, shadow and
// thickening, the colour floor, the character table and its limit, smoothed
// text on 16- and 32-bit screens, and the typewriter reveal through frames.
#include "draw/draw.h"
#include "platform/headless/headless.h"
#include "system/system.h"
#include "tests/scripted_run.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace platform {
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static void PrintTo(const RECT& r, std::ostream* out) {
    *out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
} // namespace platform

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF RED = 0x0000FF;

void OpenScreen(int depth) {
    elDraw::SetDepths(depth, 0, 0);
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    elDraw::Clear();
}

std::uint32_t Pixel(const platform::Surface& s, int x, int y) {
    std::uint32_t value = 0;
    const int bytes = s.format.bits / 8;
    std::memcpy(&value, s.memory.data() + y * s.pitch + x * bytes, bytes);
    return value;
}

void SetPixel(platform::Surface& s, int x, int y, std::uint32_t value) {
    std::memcpy(s.memory.data() + y * s.pitch + x * (s.format.bits / 8), &value, s.format.bits / 8);
}

// Bounds [left, right) x [top, bottom) of the back buffer's pixels of a colour.
platform::RECT Extent(COLORREF color) {
    const platform::Surface& s = *elDraw::BackBuffer;
    const std::uint32_t raw = platform::PackColor(s.format, color);
    platform::RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (Pixel(s, x, y) == raw)
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                     std::max(r.bottom, y + 1)};
    return r;
}

bool AnyLit(const platform::RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Pixel(*elDraw::BackBuffer, x, y) != 0) return true;
    return false;
}

platform::SIZE Extent(const char* text) {
    platform::SIZE size{};
    platform::GetTextExtentPoint32(elText::TextDC, text, static_cast<int>(std::strlen(text)),
                                   &size);
    return size;
}

class TextEffects : public ::testing::Test {
  protected:
    void SetUp() override { OpenScreen(16); }
    void TearDown() override {
        elText::End();
        elDraw::Quit();
    }
    static std::vector<platform::RECT> Rects() {
        return {elText::CharRects + 1, elText::CharRects + 1 + elText::CharCount};
    }
};

TEST_F(TextEffects, LinesBreakBeforeTheLimitButHangingCharactersStayPastIt) {
    elText::Begin(1, 16, 0, 0, 0, 0);
    elText::Color(WHITE, 0, 1);
    const platform::SIZE a = Extent("あ"), dot = Extent("。");
    const int line = std::max(16 + 4, a.cy);
    const int right = 100 + 3 * a.cx;
    elText::PrintEffect(100, 50, right, 700, "あいう。え\nお", 4);
    const std::vector<platform::RECT> hung = {
        {100, 50, 100 + a.cx, 50 + a.cy},
        {100 + a.cx, 50, 100 + 2 * a.cx, 50 + a.cy},
        {100 + 2 * a.cx, 50, right, 50 + a.cy},
        {right, 50, right + dot.cx, 50 + dot.cy},
        {100, 50 + line, 100 + a.cx, 50 + line + a.cy},
        {100, 50 + 2 * line, 100 + a.cx, 50 + 2 * line + a.cy}};
    EXPECT_EQ(Rects(), hung);
    // The bounds reach one character's width past the pen after each character.
    EXPECT_EQ(elText::CharRects[0],
              (platform::RECT{100, 50, std::max(right + a.cx, right + 2 * dot.cx),
                              50 + 2 * line + a.cy}));
    // The hanging "。" is drawn past the limit and copied to the back buffer.
    EXPECT_TRUE(AnyLit({right, 50, right + dot.cx, 50 + line}));
    // The bracket is still open on the back buffer.
    EXPECT_EQ(elText::TextDC->surface, elDraw::BackBuffer);

    // Any other character starts the next line; a box that holds two lines
    // stops before the third.
    elDraw::Clear();
    elText::PrintEffect(100, 50, right, 50 + 3 * line, "あいうえおかきく", 4);
    ASSERT_EQ(elText::CharCount, 6);
    EXPECT_EQ(Rects()[3], (platform::RECT{100, 50 + line, 100 + a.cx, 50 + line + a.cy}));
    EXPECT_FALSE(AnyLit({right, 0, 1024, 768}));
    EXPECT_FALSE(AnyLit({0, 50 + 2 * line, 1024, 768}));
}

TEST_F(TextEffects, ShadowAndThickeningOffsets) {
    elText::Begin(1, 24, 0, 0, 0, 0);
    elText::Color(WHITE, RED, 0);
    elText::PrintEffect(200, 200, 900, 700, "口", 0);
    const platform::RECT glyph = Extent(WHITE);
    ASSERT_LT(glyph.left, glyph.right);
    EXPECT_EQ(Extent(RED).left, INT_MAX);

    const struct {
        int flags, whiteGrow, shadowX, shadowY;
    } cases[] = {{0x100, 0, 1, 1}, {0x300, 1, 2, 1}, {0x500, 0, 1, 2}, {0x700, 1, 2, 2}};
    for (const auto& c : cases) {
        elDraw::Clear();
        elText::PrintEffect(200, 200, 900, 700, "口", c.flags);
        const platform::RECT white = Extent(WHITE), shadow = Extent(RED);
        EXPECT_EQ(white.left, glyph.left) << c.flags;
        EXPECT_EQ(white.right, glyph.right + ((c.flags & 0x200) ? 1 : 0)) << c.flags;
        EXPECT_EQ(white.bottom, glyph.bottom + ((c.flags & 0x400) ? 1 : 0)) << c.flags;
        EXPECT_EQ(shadow.right, glyph.right + c.shadowX) << c.flags;
        EXPECT_EQ(shadow.bottom, glyph.bottom + c.shadowY) << c.flags;
    }
    // Each flag widens or heightens the character's rectangle by one.
    const platform::SIZE plain = Extent("口");
    EXPECT_EQ(elText::CharRects[1],
              (platform::RECT{200, 200, 200 + plain.cx + 2, 200 + plain.cy + 2}));
    EXPECT_EQ(elText::CharRects[0],
              (platform::RECT{200, 200, 200 + 2 * (plain.cx + 2), 200 + plain.cy + 2}));
}

TEST_F(TextEffects, DarkColoursAreLiftedAboveTheKey) {
    elText::Begin(1, 16, 0, 0, 0, 0);
    elText::Color(0x000000, 0x0F0F0F, 1);
    elText::PrintEffect(10, 10, 500, 500, "あ", 0x100);
    EXPECT_EQ(elText::CurrentTextColor, 0x101010u);
    EXPECT_EQ(elText::CurrentBackColor, 0x101010u);
    EXPECT_LT(Extent(0x101010).left, INT_MAX);
    // One channel at 16 keeps the colour.
    elText::Color(0x100F0F, 0x0F0F0F, 1);
    elText::PrintEffect(10, 10, 500, 500, "あ", 0);
    EXPECT_EQ(elText::CurrentTextColor, 0x100F0Fu);
}

TEST_F(TextEffects, HoldKeepsTheBackBufferAndTheTableStopsAtItsLimit) {
    elText::Begin(1, 8, 0, 0, 0, 0);
    elText::Color(WHITE, 0, 1);
    elText::PrintEffectHold(0, 0, 1000, 700, "abc", 0);
    EXPECT_FALSE(AnyLit({0, 0, 1024, 768}));
    EXPECT_EQ(elText::TextCopy, 1);
    EXPECT_EQ(elText::CharCount, 3);
    // A hold given no text composes nothing, and the next compose still shows.
    elText::PrintEffectHold(0, 0, 1000, 700, nullptr, 0);
    elText::PrintEffect(0, 0, 1000, 700, "abc", 0);
    EXPECT_TRUE(AnyLit({0, 0, 1024, 768}));
    elDraw::Clear();

    const std::string longText(5000, 'i');
    elText::PrintEffect(0, 0, INT_MAX, 700, longText.c_str(), 0);
    EXPECT_EQ(elText::CharCount, CHAR_RECT_COUNT - 1);
    // A lead byte at the end, a line feed first, an empty text and a box far
    // off the screen do no harm.
    elText::PrintEffect(0, 0, 100, 100, "\n\x82", 0);
    EXPECT_EQ(elText::CharCount, 1);
    elText::PrintEffect(INT_MAX - 2, INT_MAX - 2, INT_MIN, INT_MIN, "abc", 0x7FF);
    elText::PrintEffect(0, 0, -5, INT_MAX, "あい", 0);
    EXPECT_EQ(elText::CharCount, 2);
    elText::PrintEffect(0, 0, 100, 100, "", 0);
    EXPECT_EQ(elText::CharCount, 0);
}

// A 2 x 2 white square at the buffer's corner over a blue back buffer with red
// 64 (8 at five bits).
void SmoothSquare(int depth, std::uint32_t max, const std::vector<std::uint32_t>& reds) {
    OpenScreen(depth);
    platform::Surface& buffer = *elDraw::SurfaceOf(FONT_BUFFER_SPRITE);
    elDraw::ClearObject(FONT_BUFFER_SPRITE);
    const std::uint32_t white = platform::PackColor(buffer.format, WHITE);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) SetPixel(buffer, x, y, white);
    platform::Surface& back = *elDraw::BackBuffer;
    const std::uint32_t under = platform::PackColor(back.format, 0xFF0040);
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x) SetPixel(back, x, y, under);
    elDraw::ClearObject(FONT_SPRITE);
    elText::SmoothSegment(500, 300, 0, 0, 8, 8);
    const platform::Surface& sprite = *elDraw::SurfaceOf(FONT_SPRITE);
    const PixelFormatInfo& f = elDraw::PixelFormat;
    const int redShift = depth == 16 ? f.Red.Shift5 : f.Red.Shift;
    const int blueShift = depth == 16 ? f.Blue.Shift5 : f.Blue.Shift;
    const int points[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t p = Pixel(sprite, 500 + points[i][0], 300 + points[i][1]);
        EXPECT_EQ(p >> redShift & max, reds[i]) << depth << " " << i;
        EXPECT_EQ(p >> blueShift & max, max) << depth << " " << i;
    }
    // No lit sample: transparent; nothing outside the 4 x 4 output.
    EXPECT_EQ(Pixel(sprite, 503, 303), 0u);
    EXPECT_EQ(Pixel(sprite, 504, 300), 0u);
    elDraw::Quit();
}

TEST(SmoothSegment, AveragesLitSamplesOverTheBackgroundAt16And32Bits) {
    // Four, two, two and one lit samples, plus white once, filled up to eight
    // samples with the background.
    SmoothSquare(16, 31, {(155 + 4 * 8) / 8, (93 + 6 * 8) / 8, (93 + 6 * 8) / 8, (62 + 7 * 8) / 8});
    SmoothSquare(32, 255,
                 {(1275 + 4 * 64) / 8, (765 + 6 * 64) / 8, (765 + 6 * 64) / 8, (510 + 7 * 64) / 8});
}

TEST(SmoothSegment, OutputStartsAtTheClipBoundsAndEndsAtTheScreen) {
    OpenScreen(32);
    platform::Surface& buffer = *elDraw::SurfaceOf(FONT_BUFFER_SPRITE);
    std::fill(buffer.memory.begin(), buffer.memory.end(), 0xFF);
    elDraw::SetClip(100, 100, 1024, 768);
    elText::SmoothSegment(90, 95, 0, 0, 1000, 40);
    const platform::Surface& sprite = *elDraw::SurfaceOf(FONT_SPRITE);
    EXPECT_EQ(Pixel(sprite, 99, 100), 0u);
    EXPECT_EQ(Pixel(sprite, 100, 99), 0u);
    EXPECT_NE(Pixel(sprite, 100, 100), 0u);
    EXPECT_NE(Pixel(sprite, 589, 114), 0u);
    EXPECT_EQ(Pixel(sprite, 590, 114), 0u);
    EXPECT_EQ(Pixel(sprite, 589, 115), 0u);
    // Output running past the screen's right edge ends there.
    elText::SmoothSegment(1000, 300, 0, 0, 400, 2);
    EXPECT_NE(Pixel(sprite, 1023, 300), 0u);
    EXPECT_EQ(Pixel(sprite, 0, 301), 0u);
    elText::SmoothSegment(-5000, INT_MAX, INT_MIN, 0, INT_MAX, INT_MAX);
    elDraw::Quit();
}

TEST(SmoothText, LinesAreHalvedBlendedAndLaidOutAtHalfSize) {
    for (int depth : {16, 32}) {
        OpenScreen(depth);
        elDraw::FillRect(0, 0, 1024, 768,
                         platform::PackColor(elDraw::BackBuffer->format, 0x800000));
        elText::BeginSmooth(1, 16);
        EXPECT_EQ(elText::FontDesc->lfHeight, 32);
        EXPECT_EQ(elText::TextDC->surface, elDraw::SurfaceOf(FONT_BUFFER_SPRITE));
        elText::Color(WHITE, 0, 1);
        const platform::SIZE a = Extent("あ");
        const platform::SIZE dot = Extent("。");
        const int half = (a.cx + (a.cx & 1)) / 2, halfH = (a.cy + (a.cy & 1)) / 2;
        const int line = std::max(32, a.cy + (a.cy & 1)) / 2;
        // "う" reaches the limit and starts the next line; "。" hangs past it.
        elText::PrintSmooth(100, 100, 100 + 2 * half + 1, 700, "あいうえ。\nお", 0);
        const std::vector<platform::RECT> expected = {
            {100, 100, 100 + half, 100 + halfH},
            {100 + half, 100, 100 + 2 * half, 100 + halfH},
            {100, 100 + line, 100 + half, 100 + line + halfH},
            {100 + half, 100 + line, 100 + 2 * half, 100 + line + halfH},
            {100 + 2 * half, 100 + line, 100 + 2 * half + (dot.cx + (dot.cx & 1)) / 2,
             100 + line + (dot.cy + (dot.cy & 1)) / 2},
            {100, 100 + 3 * line, 100 + half, 100 + 3 * line + halfH}};
        EXPECT_EQ(std::vector<platform::RECT>(elText::CharRects + 1,
                                              elText::CharRects + 1 + elText::CharCount),
                  expected)
            << depth;
        // Edges blend white with the navy under them; the bracket stays open.
        const platform::RECT& all = elText::CharRects[0];
        int blended = 0;
        const COLORREF navy = 0x800000;
        const std::uint32_t pure = platform::PackColor(elDraw::BackBuffer->format, WHITE);
        const std::uint32_t under = platform::PackColor(elDraw::BackBuffer->format, navy);
        for (int y = all.top; y < all.bottom; ++y)
            for (int x = all.left; x < all.right; ++x) {
                const std::uint32_t p = Pixel(*elDraw::BackBuffer, x, y);
                blended += p != pure && p != under;
            }
        EXPECT_GT(blended, 20) << depth;
        EXPECT_EQ(elText::TextDC->surface, elDraw::SurfaceOf(FONT_BUFFER_SPRITE));
        // A hold given no text composes nothing, and the next compose still shows.
        elDraw::Clear();
        elText::PrintSmoothHold(100, 100, 900, 700, nullptr, 0);
        elText::PrintSmooth(100, 100, 900, 700, "あ", 0);
        EXPECT_TRUE(AnyLit(elText::CharRects[1])) << depth;
        elText::EndSmooth();
        EXPECT_EQ(elText::TextDC, nullptr);
        elDraw::Quit();
    }
}

// Pixels of a surface that are not the transparent 0, inside a rectangle.
int LitCount(const platform::Surface& s, const platform::RECT& r) {
    int lit = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) lit += Pixel(s, x, y) != 0;
    return lit;
}

TEST(SmoothText, ACharacterThatWouldCrossTheBufferStartsTheNextSegmentWhole) {
    std::string row;
    for (int i = 0; i < 40; ++i) row += "亜";
    for (int height : {15, 16}) {
        OpenScreen(32);
        elText::BeginSmooth(1, height);
        elText::Color(WHITE, 0, 1);
        elText::PrintSmooth(0, 0, 1024, 768, row.c_str(), 0);
        ASSERT_EQ(elText::CharCount, 40) << height;
        // One line of characters side by side, each as lit as the first.
        const platform::Surface& sprite = *elDraw::SurfaceOf(FONT_SPRITE);
        const int first = LitCount(sprite, elText::CharRects[1]);
        EXPECT_GT(first, 50) << height;
        for (int i = 2; i <= 40; ++i) {
            EXPECT_EQ(elText::CharRects[i].left, elText::CharRects[i - 1].right) << height;
            EXPECT_EQ(elText::CharRects[i].top, 0) << height;
            EXPECT_EQ(LitCount(sprite, elText::CharRects[i]), first) << height << " " << i;
        }
        elText::EndSmooth();
        elDraw::Quit();
    }
}

TEST(SmoothText, OddExtentsAreRoundedUpToEvenBeforeHalving) {
    OpenScreen(32);
    // "a" is 15 wide at height 16, and 11 x 23 at the em height 11.
    for (int height : {16, -11}) {
        elText::BeginSmooth(1, height);
        elText::Color(WHITE, 0, 1);
        const platform::SIZE a = Extent("a");
        ASSERT_TRUE(a.cx % 2 == 1 || a.cy % 2 == 1) << height;
        const int w = (a.cx + 1) / 2, h = (a.cy + 1) / 2;
        const int line = std::max(2 * height, 2 * h) / 2;
        elText::PrintSmooth(100, 100, 900, 700, "aa\na", 0);
        const std::vector<platform::RECT> expected = {{100, 100, 100 + w, 100 + h},
                                                      {100 + w, 100, 100 + 2 * w, 100 + h},
                                                      {100, 100 + line, 100 + w, 100 + line + h}};
        EXPECT_EQ(std::vector<platform::RECT>(elText::CharRects + 1,
                                              elText::CharRects + 1 + elText::CharCount),
                  expected)
            << height;
        elText::EndSmooth();
    }
    elDraw::Quit();
}

// Which pixels of the font sprite are lit in the square of SIDE pixels at (90, 90).
constexpr int SIDE = 110;
std::vector<bool> LitAround() {
    std::vector<bool> lit;
    for (int y = 90; y < 90 + SIDE; ++y)
        for (int x = 90; x < 90 + SIDE; ++x)
            lit.push_back(Pixel(*elDraw::SurfaceOf(FONT_SPRITE), x, y) != 0);
    return lit;
}

TEST(SmoothText, TheShadowLiesOnePixelRightAndDownOfTheGlyph) {
    OpenScreen(32);
    elText::BeginSmooth(1, 24);
    elText::Color(WHITE, WHITE, 1);
    elText::PrintSmooth(100, 100, 900, 700, "亜", 0);
    const std::vector<bool> glyph = LitAround();
    elText::PrintSmooth(100, 100, 900, 700, "亜", 0x100);
    const std::vector<bool> shadowed = LitAround();
    // Two pixels at double size are one once filtered: the lit pixels are the
    // glyph's and the glyph's moved by one.
    int differing = 0;
    for (int y = 1; y < SIDE; ++y)
        for (int x = 1; x < SIDE; ++x)
            differing +=
                shadowed[y * SIDE + x] != (glyph[y * SIDE + x] || glyph[(y - 1) * SIDE + x - 1]);
    EXPECT_EQ(differing, 0);
    EXPECT_NE(shadowed, glyph);
    elText::EndSmooth();
    elDraw::Quit();
}

TEST(SmoothText, TextStopsAtTheBottomLimitWithItsLastLineCut) {
    OpenScreen(32);
    elText::BeginSmooth(1, 16);
    elText::Color(WHITE, 0, 1);
    // Lines are 16 pixels tall: the first is cut 10 pixels down, and the next
    // starts below the limit and is not laid out.
    elText::PrintSmooth(100, 100, 900, 110, "亜亜\n亜", 0);
    EXPECT_EQ(elText::CharCount, 2);
    EXPECT_EQ(elText::CharRects[0].bottom, 110);
    const platform::Surface& sprite = *elDraw::SurfaceOf(FONT_SPRITE);
    EXPECT_GT(LitCount(sprite, {100, 100, 200, 110}), 0);
    EXPECT_EQ(LitCount(sprite, {0, 110, 1024, 768}), 0);
    elText::EndSmooth();
    elDraw::Quit();
}

// Calls of Reveal, one per frame of 17 ms after a compose in the first frame;
// returns what each call gave and which of the 10 characters it showed.
TEST(Reveal, TenCharactersAppearOnePerIntervalThroughTheFrames) {
    struct Call {
        int result;
        bool first, last, whole;
    };
    std::vector<Call> calls;
    platform::RECT firstRect{}, lastRect{};
    float interval = 0.05f;
    Script script;
    script
        .Do([&] {
            OpenScreen(16);
            SceneHook = [&] {
                elDraw::Clear();
                if (calls.empty() && SceneFrames.size() == 1) {
                    elText::Begin(1, 16, 0, 0, 0, 0);
                    elText::Color(WHITE, 0, 1);
                    elText::PrintEffectHold(50, 50, 900, 700, "あいうえおかきくけこ", 0);
                    elText::End();
                    firstRect = elText::CharRects[1];
                    lastRect = elText::CharRects[10];
                    return;
                }
                const int result = elText::Reveal(interval);
                calls.push_back(
                    {result, AnyLit(firstRect), AnyLit(lastRect), AnyLit(elText::CharRects[0])});
            };
        })
        .Frames(40, 17);
    script.Run();
    ASSERT_EQ(calls.size(), 39u);
    ASSERT_EQ(elText::CharCount, 10);
    // The count grows on every third call: the first character shows two
    // intervals after the compose, the last after the eleventh interval, and
    // the call after the twelfth shows the whole text and returns 1.
    auto firstCall = [&](auto pick) {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (pick(calls[i])) return static_cast<int>(i) + 1;
        return -1;
    };
    EXPECT_EQ(firstCall([](const Call& c) { return c.first; }), 7);
    EXPECT_EQ(firstCall([](const Call& c) { return c.last; }), 34);
    EXPECT_EQ(firstCall([](const Call& c) { return c.result == 1; }), 37);
    EXPECT_EQ(calls[35].result, 0);
    EXPECT_TRUE(calls[38].result == 1 && calls[38].last);
}

TEST_F(TextEffects, RevealStartsAfreshWithEachComposeAndAtOnceWithoutInterval) {
    elText::Begin(1, 16, 0, 0, 0, 0);
    elText::Color(WHITE, 0, 1);
    // Time spent revealing the last text does not count for the next: at 40 ms
    // a frame and 50 ms a character, the first shows on the fifth call.
    FrameSeconds = 0.04f;
    elText::PrintEffectHold(50, 50, 900, 700, "あいう", 0);
    EXPECT_EQ(elText::Reveal(0.05f), 0);
    elText::PrintEffectHold(50, 50, 900, 700, "あいう", 0);
    for (int call = 1; call <= 5; ++call) {
        elDraw::Clear();
        EXPECT_EQ(elText::Reveal(0.05f), 0);
        EXPECT_EQ(AnyLit(elText::CharRects[1]), call == 5) << call;
    }

    elDraw::Clear();
    elText::PrintEffectHold(50, 50, 900, 700, "あいう", 0);
    EXPECT_FALSE(AnyLit(elText::CharRects[0]));
    EXPECT_EQ(elText::Reveal(0), 1);
    EXPECT_TRUE(AnyLit(elText::CharRects[3]));
    EXPECT_EQ(elText::RevealCount, 5);
}

// A picture of both families over a striped background, saved next to the
// test program as text_effects.bmp.
TEST(TextPicture, ComposedAndSmoothedTextOnTheScreen) {
    OpenScreen(32);
    const platform::PixelFormat& format = elDraw::BackBuffer->format;
    for (int band = 0; band < 12; ++band)
        elDraw::FillRect(0, band * 20, 640, band * 20 + 20,
                         platform::PackColor(format, 0x402000 + band * 0x080808));
    elText::Begin(1, 24, 0, 0, 0, 0);
    elText::Color(0x00FFFF, 0x000000, 1);
    elText::PrintEffect(20, 10, 300, 120, "影と太字の文字。改行は、句読点を残して折り返す", 0x704);
    elText::End();
    elText::BeginSmooth(1, 24);
    elText::Color(WHITE, 0, 1);
    elText::PrintSmooth(320, 10, 620, 120, "滑らかな文字は、倍の大きさから縮めて重ねる。", 4);
    elText::Color(0x80FF80, 0x202020, 1);
    elText::PrintSmooth(20, 130, 620, 230, "Smooth text with a shadow\nand a second line", 0x104);
    elText::EndSmooth();
    ASSERT_EQ(elDraw::SaveScreen("text_effects.bmp", 640, 240), 1);
    elDraw::Quit();
}

} // namespace
