// Blits on 16- and 32-bit displays: the clip rule, keyed and opaque copies,
// capture, stretching on both paths, mirrored copies, lost surfaces and the
// row placement of the row effects.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "system/system.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

using platform::Surface;
constexpr std::uint32_t BG = 0x1234;

Surface* Of(ObjectNo no) { return elDraw::ObjectTable[no].Surface; }

std::uint32_t Get(Surface* s, int x, int y) {
    const std::uint8_t* row = s->memory.data() + y * s->pitch;
    return s->format.bits == 16 ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                : reinterpret_cast<const std::uint32_t*>(row)[x];
}
std::uint32_t Back(int x, int y) { return Get(elDraw::BackBuffer, x, y); }

void Fill(Surface* s, const std::function<std::uint32_t(int, int)>& value) {
    for (int y = 0; y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) {
            std::uint8_t* row = s->memory.data() + y * s->pitch;
            if (s->format.bits == 16)
                reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(value(x, y));
            else
                reinterpret_cast<std::uint32_t*>(row)[x] = value(x, y);
        }
}

// A distinct non-zero value for every pixel of a source up to 64 wide.
std::uint32_t P(int x, int y) { return 1 + x + 64 * y; }

class Blit : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        elDraw::SetDepths(GetParam(), 0, 0);
        elDraw::KeyColor(0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        FrameSeconds = 0;
    }
    void TearDown() override { elDraw::Quit(); }
    static ObjectNo Object(int width, int height,
                           const std::function<std::uint32_t(int, int)>& value = P) {
        ObjectNo no = elDraw::CreateObject(width, height, 2);
        Fill(Of(no), value);
        return no;
    }
    static void ClearBack(std::uint32_t value) {
        Fill(elDraw::BackBuffer, [=](int, int) { return value; });
    }
};

TEST_P(Blit, ClipTrimsTheSourceRectangle) {
    ObjectNo chip = Object(64, 64);
    elDraw::Draw(1000, 10, chip, 8, 8, 56, 56);
    EXPECT_EQ(Back(1000, 10), P(8, 8));
    EXPECT_EQ(Back(1023, 57), P(31, 55));
    EXPECT_EQ(Back(1000, 58), 0u);
    ClearBack(0);
    elDraw::Draw(-10, -5, chip, 8, 8, 56, 56);
    EXPECT_EQ(Back(0, 0), P(18, 13));
    EXPECT_EQ(Back(37, 42), P(55, 55));
    EXPECT_EQ(Back(38, 0), 0u);

    // Right of the clip, zero width or height, or right < left: nothing, even
    // where the back buffer itself would take the pixels.
    ClearBack(0);
    const auto empty = elDraw::BackBuffer->memory;
    elDraw::Draw(2000, 10, chip, 8, 8, 56, 56);
    elDraw::SetClip(100, 100, 300, 200);
    for (int x : {300, 400}) elDraw::Draw(x, 150, chip, 0, 0, 48, 48);
    elDraw::Draw(150, 200, chip, 0, 0, 48, 48);
    EXPECT_EQ(elDraw::BackBuffer->memory, empty);

    // Cut on all four sides of an inner clip.
    elDraw::Draw(90, 190, chip, 0, 0, 48, 48);
    elDraw::Draw(270, 80, chip, 0, 0, 48, 48);
    EXPECT_EQ(Back(100, 190), P(10, 0));
    EXPECT_EQ(Back(137, 199), P(47, 9));
    EXPECT_EQ(Back(270, 100), P(0, 20));
    EXPECT_EQ(Back(299, 127), P(29, 47));
    for (auto [x, y] : {std::pair{99, 190},
                        {100, 189},
                        {100, 200},
                        {138, 190},
                        {270, 99},
                        {300, 100},
                        {270, 128}})
        EXPECT_EQ(Back(x, y), 0u) << x << "," << y;

    // The clip holds on an object destination, even one larger than the clip.
    ObjectNo wide = elDraw::CreateObject(2000, 300, 2);
    EXPECT_EQ(elDraw::DrawTo(wide, 270, 170, chip, 0, 0, 48, 48), platform::DD_OK);
    EXPECT_EQ(Get(Of(wide), 270, 170), P(0, 0));
    EXPECT_EQ(Get(Of(wide), 299, 199), P(29, 29));
    EXPECT_EQ(Get(Of(wide), 300, 170), 0u);
    EXPECT_EQ(Get(Of(wide), 270, 200), 0u);
}

TEST_P(Blit, KeyedCopiesLeaveTheKeyOpaqueCopiesDoNot) {
    ObjectNo chip = Object(4, 1);
    elDraw::SetObjectKey(chip, 0xFF00FF);
    const std::uint32_t key = Of(chip)->keyLow;
    Fill(Of(chip), [&](int x, int) { return x == 1 ? key : x == 3 ? 0 : P(x, 0); });
    ObjectNo target = Object(4, 2, [](int, int) { return BG; });
    ClearBack(BG);
    elDraw::Draw(0, 0, chip, 0, 0, 4, 1);
    elDraw::DrawOpaque(0, 1, chip, 0, 0, 4, 1);
    elDraw::DrawTo(target, 0, 0, chip, 0, 0, 4, 1);
    elDraw::DrawOpaqueTo(target, 0, 1, chip, 0, 0, 4, 1);
    for (Surface* s : {elDraw::BackBuffer, Of(target)}) {
        EXPECT_EQ(Get(s, 0, 0), P(0, 0));
        EXPECT_EQ(Get(s, 1, 0), BG);
        EXPECT_EQ(Get(s, 3, 0), 0u); // black is only transparent when it is the key
        EXPECT_EQ(Get(s, 1, 1), key);
    }
}

TEST_P(Blit, CaptureThenDrawGivesBackAllButBlack) {
    auto shot = [](int x, int y) { return (x + y) % 5 ? 1 + ((x * 31 + y * 17) & 0x3FFF) : 0; };
    Fill(elDraw::BackBuffer, shot);
    elDraw::SetClip(0, 0, 10, 10); // the capture ignores the clip
    elDraw::Capture(0, 0, 0, 800, 600);
    elDraw::SetClip(0, 0, 1024, 768);
    ClearBack(BG);
    elDraw::Draw(0, 0, 0, 0, 0, 800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(Back(x, y), shot(x, y) ? shot(x, y) : BG) << x << "," << y;
}

TEST_P(Blit, StretchOnBothPaths) {
    ObjectNo chip = Object(2, 2, [](int x, int y) { return x == 1 && y == 0 ? 0 : P(x, y); });
    for (int capable : {1, 0}) {
        elDraw::StretchCapable = capable;
        ClearBack(BG);
        elDraw::SetClip(0, 0, 13, 13);
        elDraw::StretchDraw(9, 9, chip, 0, 0, 2, 2, 6, 6);
        elDraw::StretchDrawOpaque(2, 2, chip, 0, 0, 2, 2, 4, 4);
        EXPECT_EQ(Back(11, 11), P(0, 0));
        EXPECT_EQ(Back(12, 10), BG) << "the key is not drawn";
        EXPECT_EQ(Back(12, 12), P(1, 1));
        EXPECT_EQ(Back(14, 14), capable ? P(1, 1) : BG) << "only the GDI path clips";
        EXPECT_EQ(Back(3, 3), P(0, 0));
        EXPECT_EQ(Back(4, 3), 0u) << "an opaque stretch copies the key";
        EXPECT_EQ(Back(5, 5), P(1, 1));
    }
}

TEST_P(Blit, FlipDrawMirrorsAndSkipsZero) {
    ObjectNo chip = Object(3, 2, [](int x, int y) { return x == 2 && y == 1 ? 0 : P(x, y); });
    ClearBack(BG);
    for (int mirror = 0; mirror < 4; ++mirror) {
        EXPECT_EQ(elDraw::FlipDraw(10 * mirror, 0, mirror, chip, 0, 0, 3, 2), 1);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                int sx = mirror & 1 ? 2 - x : x, sy = mirror & 2 ? 1 - y : y;
                EXPECT_EQ(Back(10 * mirror + x, y), sx == 2 && sy == 1 ? BG : P(sx, sy))
                    << mirror << ":" << x << "," << y;
            }
    }
    // Cut by the clip, a mirrored picture shows its own part inside the clip.
    elDraw::SetClip(1, 0, 1024, 768);
    elDraw::FlipDraw(0, 50, 1, chip, 0, 0, 3, 2);
    EXPECT_EQ(Back(0, 50), BG);
    EXPECT_EQ(Back(1, 50), P(1, 0));
    EXPECT_EQ(Back(2, 50), P(0, 0));

    // A lock that fails gives 0 and leaves nothing locked.
    elDraw::BackBuffer->lost = true;
    EXPECT_EQ(elDraw::FlipDraw(0, 0, 0, chip, 0, 0, 3, 2), 0);
    EXPECT_EQ(Of(chip)->lockCount, 0);
}

TEST_P(Blit, LostSurfacesAreRestoredAndThatBlitIsLost) {
    ObjectNo chip = Object(8, 8);
    elDraw::BackBuffer->lost = true;
    elDraw::Draw(0, 0, chip, 0, 0, 8, 8);
    EXPECT_FALSE(platform::IsLost(elDraw::BackBuffer));
    EXPECT_EQ(Back(0, 0), 0u);
    elDraw::Draw(0, 0, chip, 0, 0, 8, 8);
    EXPECT_EQ(Back(0, 0), P(0, 0));

    ObjectNo target = elDraw::CreateObject(8, 8, 2);
    Of(target)->lost = true;
    EXPECT_EQ(elDraw::DrawTo(target, 0, 0, chip, 0, 0, 8, 8), platform::DDERR_SURFACELOST);
    EXPECT_EQ(elDraw::DrawTo(target, 0, 0, chip, 0, 0, 8, 8), platform::DD_OK);
    EXPECT_EQ(Get(Of(target), 7, 7), P(7, 7));
}

TEST_P(Blit, RowEffectsPlaceRows) {
    ObjectNo strip = Object(4, 100);
    elDraw::Draw(200, 0, strip, 0, 0, 4, 100);
    elDraw::WaveDraw(300, 0, 0, 1, 90, strip, 0, 0, 4, 100, 1);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(Back(300 + x, y), Back(200 + x, y));
    // Offset trunc(20 sin r°); the alternating sign sends odd rows left.
    elDraw::WaveDraw(100, 0, 20, 1, 0, strip, 0, 0, 4, 100, 1);
    EXPECT_EQ(Back(100, 0), P(0, 0));
    EXPECT_EQ(Back(120, 90), P(0, 90));
    EXPECT_EQ(Back(100 - 19, 89), P(0, 89));

    ClearBack(0);
    elDraw::RowRepeat(0, 0, 3, strip, 0, 0, 4, 8);
    elDraw::RowSkip(10, 0, 3, strip, 0, 0, 4, 8);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(Back(0, y), P(0, y - y % 3)) << y;
        EXPECT_EQ(Back(10, y), y == 3 || y == 6 ? P(0, y) : 0u) << y;
    }
    std::srand(7);
    elDraw::RowSkip(20, 0, -3, strip, 0, 0, 4, 100);
    int previous = 0;
    for (int y = 1; y < 100; ++y) {
        if (Back(20, y) == 0) continue;
        EXPECT_EQ(Back(20, y), P(0, y));
        EXPECT_LE(y - previous, 3);
        previous = y;
    }
    EXPECT_GE(previous, 97);
    EXPECT_EQ(Back(20, 0), 0u);
}

TEST_P(Blit, CoordinatesAtTheEndsOfTheIntRangeStayInsideTheSurfaces) {
    ObjectNo chip = Object(16, 16);
    ClearBack(BG);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -70000, INT_MAX - 8, INT_MAX};
    for (int a : extremes) {
        elDraw::Draw(a, 0, chip, 0, 0, 8, 8);
        elDraw::Draw(0, a, chip, 0, 0, 8, 8);
        elDraw::DrawOpaque(a, a, chip, a, a, 8, 8);
        elDraw::DrawOpaqueTo(chip, 0, 0, chip, 0, a, a, 8);
        elDraw::Capture(chip, a, 0, a, 8);
        elDraw::StretchDraw(a, a, chip, 0, 0, 16, 16, 64, 64);
        elDraw::StretchDraw(0, 0, chip, a, 0, 16, 16, 64, 64);
    }
    EXPECT_EQ(Back(512, 400), BG); // nothing landed in the middle either
}

INSTANTIATE_TEST_SUITE_P(Depths, Blit, ::testing::Values(16, 32));

} // namespace
