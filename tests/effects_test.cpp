// Image effects on 5:6:5 and 5:5:5 displays: each effect's pixel rule, the
// transparency of source value 0, the clip, bad object numbers, failed locks,
// factors and levels outside their range, and the rotation.
#include "draw/draw.h"
#include "platform/headless/headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>

namespace {

using platform::Surface;
using Effect = std::function<int(int x, int y, ObjectNo, int left, int top, int right, int bottom)>;
constexpr std::uint32_t BG = 0x1234;

std::uint16_t& At(Surface* s, int x, int y) {
    return reinterpret_cast<std::uint16_t*>(s->memory.data() + y * s->pitch)[x];
}
std::uint32_t Back(int x, int y) { return At(elDraw::BackBuffer, x, y); }
void SetBack(int x, int y, std::uint32_t value) {
    At(elDraw::BackBuffer, x, y) = static_cast<std::uint16_t>(value);
}
Surface* Of(ObjectNo no) { return elDraw::ObjectTable[no].Surface; }

#define RECT_ARGS int x, int y, ObjectNo n, int l, int t, int r, int b
// Every effect, the parameterised ones at a setting that changes the picture;
// the rotation at angle 0 onto a rectangle of the source's size.
const Effect EVERY[] = {
    [](RECT_ARGS) { return elDraw::BlendDraw(x, y, 0.7f, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::HalfDraw(x, y, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::BlendDrawRGB(x, y, 0.2f, 0.5f, 0.9f, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::CrossFadeDraw(x, y, 20, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::CrossFadeDrawRGB(x, y, 5, 20, 31, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::AddDraw(x, y, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::AddFadeDraw(x, y, 0.6f, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::BrightDraw(x, y, 0.4f, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::BrightDrawRGB(x, y, 0.5f, 3, 1, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::SubDraw(x, y, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::GreyDraw(x, y, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::DimDraw(x, y, 12, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::DimDrawRGB(x, y, 31, 0, 9, n, l, t, r, b); },
    [](RECT_ARGS) { return elDraw::SoftEdgeDraw(x, y, n, l, t, r, b); },
    [](RECT_ARGS) {
        // Wrapping sums: the extreme-coordinate test passes the ends of int.
        return elDraw::RotateDraw(x, y, static_cast<int>(0u + x + r - l),
                                  static_cast<int>(0u + y + b - t), 0, n, l, t, r, b);
    },
};

// Parameter: true for 5:5:5, false for 5:6:5.
class Effects : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        platform::headless::UseFormat555(GetParam());
        elDraw::SetDepths(16, 0, 0);
        ASSERT_EQ(elDraw::Screen(64, 48, 1), 1);
        ClearBack(BG);
    }
    void TearDown() override {
        elDraw::Quit();
        platform::headless::UseFormat555(false);
    }
    int RedShift() const { return GetParam() ? 10 : 11; }
    // A pixel from channel values at full width (green up to 31 suits both).
    std::uint32_t Full(int r, int g, int b) const { return r << RedShift() | g << 5 | b; }
    // A pixel from 5-bit values placed as the tables place them.
    std::uint32_t Five(int r, int g, int b) const {
        return r << RedShift() | g << (GetParam() ? 5 : 6) | b;
    }
    static void ClearBack(std::uint32_t value) {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) SetBack(x, y, value);
    }
    // An object whose pixels come from `value`.
    static ObjectNo Object(int w, int h, const std::function<std::uint32_t(int, int)>& value) {
        ObjectNo no = elDraw::CreateObject(w, h, 2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) At(Of(no), x, y) = static_cast<std::uint16_t>(value(x, y));
        return no;
    }
    static std::uint32_t P(int x, int y) { return 0x100 + x + 16 * y; }
    // The result of an effect for one source pixel over one background pixel.
    static std::uint32_t One(const std::function<int(ObjectNo)>& effect, std::uint32_t s,
                             std::uint32_t d) {
        ObjectNo no = Object(1, 1, [=](int, int) { return s; });
        SetBack(0, 0, d);
        EXPECT_EQ(effect(no), 1);
        elDraw::ReleaseObject(no);
        return Back(0, 0);
    }
};

TEST_P(Effects, BlendRulesOnBothFormats) {
    using namespace elDraw;
    auto blend = [](float a) {
        return [=](ObjectNo n) { return BlendDraw(0, 0, a, n, 0, 0, 1, 1); };
    };
    // White at 0.7 over black: red and blue trunc(0.7 * 31) = 21, green
    // trunc(0.7 * 63) = 44 on 5:6:5, 21 on 5:5:5.
    EXPECT_EQ(One(blend(0.7f), GetParam() ? 0x7FFF : 0xFFFF, 0), GetParam() ? 0x56B5u : 0xAD95u);
    // 0.7f * 20 + (1 - 0.7f) * 10 = 16.9999999 truncates to 16 (a float sum would
    // round to 17); green 0.7f * 30 + 0.3f * 20 = 26.9999999 gives 26; blue
    // 0.7f * 10 + 0.3f * 30 = 16.0000002 gives 16.
    const std::uint32_t s = Full(20, 30, 10), d = Full(10, 20, 30);
    EXPECT_EQ(One(blend(0.7f), s, d), Full(16, 26, 16));
    EXPECT_EQ(One(blend(1), s, d), s);
    EXPECT_EQ(One(blend(0), s, d), d);
    auto rgb = [](ObjectNo n) { return BlendDrawRGB(0, 0, 1, 0, 0.5f, n, 0, 0, 1, 1); };
    EXPECT_EQ(One(rgb, s, d), Full(20, 20, 20));
    // Alphas outside 0..1 keep every channel inside its field.
    EXPECT_EQ(One(blend(3), s, d), Full(31, GetParam() ? 31 : 50, 0));
    EXPECT_EQ(One(blend(-1), s, d), Full(0, 10, 31));
    EXPECT_EQ(One(blend(NAN), s, d), 0u);

    // Half: each channel halved, then added.
    auto half = [](ObjectNo n) { return HalfDraw(0, 0, n, 0, 0, 1, 1); };
    EXPECT_EQ(One(half, Full(20, 30, 11), Full(11, 21, 30)), Full(15, 25, 20));
    if (!GetParam()) {
        EXPECT_EQ(One(half, 0xFFFF, 0xFFFF), 0xF7DEu);
    }

    // Brightness: the background takes no part; above 1 a channel stops at its top.
    auto bright = [](float f) {
        return [=](ObjectNo n) { return BrightDraw(0, 0, f, n, 0, 0, 1, 1); };
    };
    EXPECT_EQ(One(bright(0.5f), Full(21, 30, 11), d), Full(10, 15, 5));
    EXPECT_EQ(One(bright(1.5f), Full(30, 10, 20), d), Full(31, 15, 30));
    EXPECT_EQ(One(bright(2), GetParam() ? 0x7FFF : 0xFFFF, d), GetParam() ? 0x7FFFu : 0xFFFFu);
    if (!GetParam()) { // 90 held to 63
        EXPECT_EQ(One(bright(1.5f), 60 << 5, d), 63u << 5);
    }
    auto brightRgb = [](ObjectNo n) { return BrightDrawRGB(0, 0, 0.5f, 1, 2, n, 0, 0, 1, 1); };
    EXPECT_EQ(One(brightRgb, Full(21, 30, 20), d), Full(10, 30, 31));
}

TEST_P(Effects, TableRulesOnBothFormats) {
    using namespace elDraw;
    auto fade = [](int r, int g, int b) {
        return [=](ObjectNo n) { return CrossFadeDrawRGB(0, 0, r, g, b, n, 0, 0, 1, 1); };
    };
    // max(0, s5 - (31 - level)) + max(0, d5 - level) per channel.
    const std::uint32_t s = Five(31, 31, 25), d = Five(15, 20, 5);
    EXPECT_EQ(One(fade(0, 0, 0), s, d), d);
    EXPECT_EQ(One(fade(31, 31, 31), s, d), s);
    EXPECT_EQ(One(fade(10, 10, 10), s, d), Five(15, 20, 4));
    EXPECT_EQ(One(fade(31, 0, 10), s, d), Five(31, 20, 4));
    EXPECT_EQ(One([](ObjectNo n) { return CrossFadeDraw(0, 0, 10, n, 0, 0, 1, 1); }, s, d),
              Five(15, 20, 4));
    // Levels outside 0..31 act as the nearest end.
    EXPECT_EQ(One(fade(99, -5, 32), s, d), Five(31, 20, 25));
    // Five bits per channel: green's lowest bit is lost on 5:6:5.
    if (!GetParam()) {
        EXPECT_EQ(One(fade(31, 31, 31), 0xFFFF, 0), 0xFFDFu);
    }

    // Adding: min(31, max(0, s5 - a) + d5), a = trunc(31 - strength * 31).
    auto add = [](float k) {
        return [=](ObjectNo n) { return AddFadeDraw(0, 0, k, n, 0, 0, 1, 1); };
    };
    const std::uint32_t s2 = Five(20, 10, 31), d2 = Five(15, 5, 1);
    EXPECT_EQ(One([](ObjectNo n) { return AddDraw(0, 0, n, 0, 0, 1, 1); }, s2, d2),
              Five(31, 15, 31));
    EXPECT_EQ(One(add(1), s2, d2), Five(31, 15, 31));
    EXPECT_EQ(One(add(0), s2, d2), d2);
    EXPECT_EQ(One(add(0.5f), s2, d2), Five(20, 5, 17)); // a = 15
    EXPECT_EQ(One(add(2), s2, d2), Five(31, 15, 31));
    EXPECT_EQ(One(add(-1), s2, d2), d2);

    // Subtracting the image: max(0, d5 - s5).
    EXPECT_EQ(One([](ObjectNo n) { return SubDraw(0, 0, n, 0, 0, 1, 1); }, Five(10, 31, 5),
                  Five(20, 15, 5)),
              Five(10, 0, 0));
    // Grey: (31 + 20 + 10) / 3 = 20 in all three channels.
    EXPECT_EQ(One([](ObjectNo n) { return GreyDraw(0, 0, n, 0, 0, 1, 1); }, Five(31, 20, 10), d),
              Five(20, 20, 20));
    // Dimming: max(0, s5 - (31 - level)) over the background.
    auto dim = [](int r, int g, int b) {
        return [=](ObjectNo n) { return DimDrawRGB(0, 0, r, g, b, n, 0, 0, 1, 1); };
    };
    const std::uint32_t s3 = Five(31, 20, 5);
    EXPECT_EQ(One(dim(31, 31, 31), s3, d), s3);
    EXPECT_EQ(One(dim(0, 0, 0), s3, d), 0u);
    EXPECT_EQ(One([](ObjectNo n) { return DimDraw(0, 0, 20, n, 0, 0, 1, 1); }, s3, d),
              Five(20, 9, 0));
    EXPECT_EQ(One(dim(31, 0, 20), s3, d), Five(31, 0, 0));
    EXPECT_EQ(One(dim(-4, 40, 31), s3, d), Five(0, 20, 5));
}

TEST_P(Effects, SoftEdgeAveragesWithTheBackgroundBesideTransparentPixels) {
    // A lone pixel: itself plus the four places around it, divided by 5.
    ObjectNo dot =
        Object(3, 3, [&](int x, int y) { return x == 1 && y == 1 ? Five(30, 20, 10) : 0; });
    SetBack(0, 1, Five(1, 2, 3));
    SetBack(2, 1, Five(4, 5, 6));
    SetBack(1, 0, Five(7, 8, 9));
    SetBack(1, 2, Five(3, 0, 12));
    EXPECT_EQ(elDraw::SoftEdgeDraw(0, 0, dot, 0, 0, 3, 3), 1);
    EXPECT_EQ(Back(1, 1), Five(45 / 5, 35 / 5, 40 / 5));
    EXPECT_EQ(Back(0, 0), BG);

    // Neighbours outside the rectangle do not count, nor do opaque ones; a
    // pixel without a transparent neighbour is copied as it is.
    const std::uint32_t a = Full(20, 11, 30), b = Full(3, 31, 7);
    ObjectNo row = Object(4, 1, [&](int x, int) { return x == 1 ? a : x == 2 ? b : 0; });
    ClearBack(Five(11, 31, 0));
    elDraw::SoftEdgeDraw(0, 10, row, 1, 0, 3, 1);
    EXPECT_EQ(Back(0, 10), a);
    EXPECT_EQ(Back(1, 10), b);
    elDraw::SoftEdgeDraw(0, 20, row, 0, 0, 4, 1);
    EXPECT_EQ(Back(1, 20), Five((20 + 11) / 2, ((GetParam() ? 11 : 5) + 31) / 2, 30 / 2));
    EXPECT_EQ(Back(0, 20), Five(11, 31, 0));
}

TEST_P(Effects, EveryEffectLeavesTheBackgroundUnderSourceZero) {
    ObjectNo chip = Object(2, 2, [](int x, int y) { return x == y ? 0 : 0x7BCD; });
    for (const Effect& effect : EVERY) {
        ClearBack(BG);
        EXPECT_EQ(effect(10, 10, chip, 0, 0, 2, 2), 1);
        EXPECT_EQ(Back(10, 10), BG);
        EXPECT_EQ(Back(11, 11), BG);
        EXPECT_NE(Back(11, 10), BG);
    }
}

TEST_P(Effects, ClipTrimsTheSourceRectangle) {
    ObjectNo chip = Object(8, 8, P);
    // Alpha 1 copies, which shows where each source pixel lands.
    elDraw::BlendDraw(60, 2, 1, chip, 0, 0, 8, 8);
    EXPECT_EQ(Back(63, 9), P(3, 7));
    EXPECT_EQ(Back(60, 10), BG);
    elDraw::BlendDraw(-3, -2, 1, chip, 0, 0, 8, 8);
    EXPECT_EQ(Back(0, 0), P(3, 2));
    EXPECT_EQ(Back(4, 5), P(7, 7));
    EXPECT_EQ(Back(5, 0), BG);
    elDraw::SetClip(10, 10, 20, 20);
    elDraw::BlendDraw(5, 5, 1, chip, 0, 0, 8, 8);
    EXPECT_EQ(Back(10, 10), P(5, 5));
    EXPECT_EQ(Back(12, 12), P(7, 7));
    EXPECT_EQ(Back(9, 10), BG);
    EXPECT_EQ(Back(10, 9), BG);

    // A clip larger than the back buffer, a rectangle larger than the object:
    // only pixels both surfaces hold are touched.
    ClearBack(BG);
    elDraw::SetClip(-100, -100, 1000, 1000);
    elDraw::BlendDraw(59, 44, 1, chip, -2, -2, 20, 20);
    EXPECT_EQ(Back(61, 46), P(0, 0));
    EXPECT_EQ(Back(63, 47), P(2, 1));
    EXPECT_EQ(Back(60, 46), BG);
    EXPECT_EQ(Back(61, 45), BG);
    for (const Effect& effect : EVERY) {
        effect(-5, -5, chip, -3, -3, 30, 30);
        effect(60, 40, chip, 4, 4, 100, 100);
    }
    for (auto [x, y] : {std::pair{6, 2}, {2, 6}, {59, 41}, {60, 39}}) EXPECT_EQ(Back(x, y), BG);
}

TEST_P(Effects, NothingToDrawOrNothingToLock) {
    ObjectNo chip = Object(4, 4, P);
    const auto before = elDraw::BackBuffer->memory;
    for (const Effect& effect : EVERY) {
        // Right of the clip: the width is negative, 1 comes back without a lock
        // (the back buffer is lost, so a lock would fail).
        elDraw::BackBuffer->lost = true;
        EXPECT_EQ(effect(70, 0, chip, 0, 0, 4, 4), 1);
        EXPECT_EQ(effect(0, -10, chip, 0, 0, 4, 4), 1);
        EXPECT_EQ(effect(10, 10, chip, 0, 0, 4, 4), 0);
        EXPECT_EQ(Of(chip)->lockCount, 0);
        elDraw::BackBuffer->lost = false;
        // Numbers outside the table, and a free entry, name no surface.
        for (ObjectNo bad : {-1, 512, INT_MIN, 100}) EXPECT_EQ(effect(10, 10, bad, 0, 0, 4, 4), 0);
    }
    EXPECT_EQ(elDraw::BackBuffer->memory, before);

    // Coordinates at the ends of the int range draw at most the object's
    // pixels at the top-left corner.
    for (const Effect& effect : EVERY)
        for (int e : {INT_MIN, INT_MIN + 1, INT_MAX - 2, INT_MAX}) {
            effect(e, 0, chip, 0, 0, 4, 4);
            effect(0, e, chip, e, e, 4, 4);
            effect(0, 0, chip, 0, 0, e, e);
        }
    EXPECT_EQ(Back(4, 0), BG);
    EXPECT_EQ(Back(0, 4), BG);
    EXPECT_EQ(elDraw::RotateDraw(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, chip, INT_MIN, 0,
                                 INT_MAX, 4),
              1);
}

TEST_P(Effects, RotationTurnsAboutTheDestinationCentre) {
    ObjectNo chip = Object(3, 3, [](int x, int y) { return x == 2 && y == 2 ? 0 : P(x, y); });
    auto turned = [&](int angle, int x, int y) {
        ClearBack(BG);
        EXPECT_EQ(elDraw::RotateDraw(10, 10, 13, 13, angle, chip, 0, 0, 3, 3), 1);
        return static_cast<std::uint32_t>(Back(10 + x, 10 + y));
    };
    // 90 degrees: sine 360, cosine 0; destination (i, j) takes source (2 - j, i).
    EXPECT_EQ(turned(90, 0, 0), P(2, 0));
    EXPECT_EQ(turned(90, 2, 0), BG); // source (2, 2) is 0
    EXPECT_EQ(turned(90, 1, 2), P(0, 1));
    EXPECT_EQ(turned(-270, 1, 2), P(0, 1));
    EXPECT_EQ(turned(180, 0, 0), BG);
    EXPECT_EQ(turned(540, 2, 1), P(0, 1));
    // 45 degrees: sine = cosine = 254. Row starts u = 360, v = -148; (0, 2)
    // has u = -148, which divides to 0 (toward zero), v = 360: source (0, 1).
    EXPECT_EQ(turned(45, 0, 0), P(1, 0));
    EXPECT_EQ(turned(45, 2, 0), P(2, 1));
    EXPECT_EQ(turned(45, 0, 2), P(0, 1));
    EXPECT_EQ(turned(45, 2, 2), P(1, 2));
    EXPECT_EQ(Back(10, 13), BG);

    // Angle 0 centres the source: offsets ((5 - 3) >> 1, (4 - 3) >> 1).
    ClearBack(BG);
    elDraw::RotateDraw(10, 10, 15, 14, 360, chip, 0, 0, 3, 3);
    EXPECT_EQ(Back(11, 10), P(0, 0));
    EXPECT_EQ(Back(13, 11), P(2, 1));
    EXPECT_EQ(Back(10, 10), BG);
    EXPECT_EQ(Back(14, 10), BG);
    // Clipped columns are skipped; the rest stays where it was.
    ClearBack(BG);
    elDraw::SetClip(12, 0, 64, 11);
    elDraw::RotateDraw(10, 10, 15, 14, 0, chip, 0, 0, 3, 3);
    EXPECT_EQ(Back(11, 10), BG);
    EXPECT_EQ(Back(12, 10), P(1, 0));
    EXPECT_EQ(Back(12, 11), BG);
    // Source places outside the object are skipped.
    elDraw::SetClip(0, 0, 64, 48);
    ClearBack(BG);
    elDraw::RotateDraw(0, 0, 5, 5, 0, chip, -1, -1, 4, 4);
    EXPECT_EQ(Back(0, 0), BG);
    EXPECT_EQ(Back(1, 1), P(0, 0));
    EXPECT_EQ(Back(4, 1), BG);

    // A clip larger than the back buffer: only the back buffer's pixels change.
    ClearBack(BG);
    elDraw::SetClip(-100, -100, 1000, 1000);
    ObjectNo wide = Object(10, 10, P);
    elDraw::RotateDraw(58, 42, 68, 52, 0, wide, 0, 0, 10, 10);
    EXPECT_EQ(Back(63, 47), P(5, 5));
    EXPECT_EQ(Back(0, 43), BG);
    elDraw::RotateDraw(-4, -4, 6, 6, 0, wide, 0, 0, 10, 10);
    EXPECT_EQ(Back(0, 0), P(4, 4));
}

INSTANTIATE_TEST_SUITE_P(Formats, Effects, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "RGB555" : "RGB565"; });

TEST(EffectsOn32Bits, DrawNothing) {
    elDraw::SetDepths(32, 0, 0);
    ASSERT_EQ(elDraw::Screen(64, 48, 1), 1);
    ObjectNo chip = elDraw::CreateObject(4, 4, 2);
    std::fill(Of(chip)->memory.begin(), Of(chip)->memory.end(), 0x55);
    const auto before = elDraw::BackBuffer->memory;
    for (const Effect& effect : EVERY) {
        EXPECT_EQ(effect(0, 0, chip, 0, 0, 4, 4), 0);
        EXPECT_EQ(Of(chip)->lockCount, 0);
    }
    EXPECT_EQ(elDraw::BackBuffer->memory, before);
    elDraw::Quit();
    elDraw::SetDepths(16, 0, 0);
}

} // namespace
