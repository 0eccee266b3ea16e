// The font engine on real faces: the system's face names, the height rule,
// text at a point in both background modes and every pixel format, rotation,
// underline, word-wrapped boxes, clipping, and CP932 that forms no character.
#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"
#include "platform/win/font_match.h"
#include "platform/win/fonts.h"
#include "platform/win/gdi_shapes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace platform;

constexpr COLORREF INK = 0x40C0FF, BACK = 0x800000, PAPER = 0x102030;

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN, count = 0;
};

struct Format {
    int bits;
    bool five55;
};
void PrintTo(const Format& format, std::ostream* out) {
    *out << format.bits << (format.five55 ? " bits 5:5:5" : " bits");
}

class FontEngine : public ::testing::TestWithParam<Format> {
  protected:
    void SetUp() override {
        headless::UseFormat555(GetParam().five55);
        ASSERT_TRUE(OpenDisplay(-1));
        ASSERT_EQ(SetDisplayMode(640, 480, GetParam().bits), DD_OK);
        ASSERT_EQ(CreateSurface(0, 320, 120, &surface), DD_OK);
        GetDC(surface, &dc);
        RECT all{0, 0, surface->width, surface->height};
        Blt(surface, &all, nullptr, nullptr, DDBLT_COLORFILL, Raw(PAPER));
        SetTextColor(dc, INK);
        SetBkColor(dc, BACK);
        SetBkMode(dc, TRANSPARENT);
    }
    void TearDown() override {
        DeleteObject(SelectObject(dc, HFONT{}));
        ReleaseDC(surface, dc);
        ReleaseSurface(surface);
        CloseDisplay();
        headless::UseFormat555(false);
    }
    std::uint32_t Raw(COLORREF color) const { return PackColor(surface->format, color); }
    std::uint32_t At(int x, int y) const {
        const std::uint8_t* row = surface->memory.data() + y * surface->pitch;
        return surface->format.bits == 16 ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                          : reinterpret_cast<const std::uint32_t*>(row)[x];
    }
    // Where pixels of a colour are in a region (all of the surface by
    // default), and how many.
    Box Find(COLORREF color, RECT region = {0, 0, INT_MAX, INT_MAX}) const {
        Box box;
        for (int y = region.top; y < std::min(region.bottom, surface->height); ++y)
            for (int x = region.left; x < std::min(region.right, surface->width); ++x)
                if (At(x, y) == Raw(color))
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1), box.count + 1};
        return box;
    }
    void Use(const char* face, int height, int weight = 400, int escapement = 0,
             int underline = 0) {
        LOGFONTA font{};
        std::strcpy(font.lfFaceName, face);
        font.lfHeight = height;
        font.lfWeight = weight;
        font.lfEscapement = escapement;
        font.lfUnderline = static_cast<std::uint8_t>(underline);
        font.lfCharSet = SHIFTJIS_CHARSET;
        HFONT made = CreateFontIndirect(&font);
        ASSERT_NE(made, nullptr);
        DeleteObject(SelectObject(dc, made));
    }
    SIZE Extent(const char* text) {
        SIZE size{};
        GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &size);
        return size;
    }
    void Out(int x, int y, const char* text) {
        TextOut(dc, x, y, text, static_cast<int>(std::strlen(text)));
    }

    Surface* surface = nullptr;
    HDC dc = nullptr;
};

TEST_P(FontEngine, SystemFacesResolveToJapaneseFacesAndDrawKanji) {
    const char* names[] = {"標準明朝", "標準ゴシック", "HG創英角ﾎﾟｯﾌﾟ体"};
    const char* files[] = {"ipam.ttf", "ipag.ttf", "MTLmr3m.ttf"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        LOGFONTA font{};
        std::strcpy(font.lfFaceName, names[i]);
        font.lfCharSet = SHIFTJIS_CHARSET;
        FaceChoice choice;
        ASSERT_TRUE(MatchFace(font, choice));
        const std::string file = std::filesystem::canonical(choice.file).filename();
        EXPECT_EQ(file, files[i]);
        // The display face is drawn heavy.
        EXPECT_EQ(choice.embolden, i == 2);

        // A kanji, not a replacement glyph, fills most of its 20-pixel cell.
        Use(names[i], 20);
        Out(100 * i, 10, "漢");
        Out(100 * i + 50, 10, "\x82\xFF");
        const Box ink = Find(INK, {100 * i, 0, 100 * i + 50, 40});
        EXPECT_GT(ink.count, 60);
        EXPECT_GE(ink.left, 100 * i);
        EXPECT_LE(ink.right, 100 * i + 22);
        EXPECT_GE(ink.top, 10);
        // The display face's synthetic weight may reach a pixel below the cell.
        EXPECT_LE(ink.bottom, 30 + (i == 2));
        EXPECT_GT(ink.bottom - ink.top, 14);
        EXPECT_NE(ink.count, Find(INK, {100 * i + 50, 0, 100 * i + 70, 40}).count);
    }
}

TEST_P(FontEngine, HeightFollowsTheSignRule) {
    // A cell height: the face's ascent and descent fill it exactly.
    Use("標準ゴシック", 20);
    EXPECT_EQ(Extent("漢字").cy, 20);
    EXPECT_LT(Extent("漢字").cx, 40);
    // A character height is the em: full-width glyphs are that wide.
    Use("標準ゴシック", -20);
    EXPECT_GT(Extent("漢").cy, 20);
    EXPECT_EQ(Extent("漢字").cx, 40);
    EXPECT_EQ(Extent("ab").cx, 20);
    Use("標準ゴシック", 0);
    EXPECT_GT(Extent("漢").cy, 8);
    // The stock font draws when none was selected.
    DeleteObject(SelectObject(dc, HFONT{}));
    EXPECT_GT(Extent("漢").cx, 0);
    Use("標準ゴシック", -20, 700);
    EXPECT_GT(Extent("ab").cx, 20);
}

TEST_P(FontEngine, TextOutFillsOnlyItsCell) {
    Use("標準ゴシック", 16);
    const SIZE size = Extent("Ag漢");
    Out(30, 40, "Ag漢");
    Box ink = Find(INK);
    EXPECT_GT(ink.count, 30);
    EXPECT_GE(ink.left, 30);
    EXPECT_LE(ink.right, 30 + size.cx);
    EXPECT_GE(ink.top, 40);
    EXPECT_LE(ink.bottom, 40 + size.cy);
    // Transparent: nothing but ink changed.
    EXPECT_EQ(Find(BACK).count, 0);
    EXPECT_EQ(Find(PAPER).count + ink.count, surface->width * surface->height);

    SetBkMode(dc, OPAQUE);
    Out(30, 80, "Ag漢");
    Box back = Find(BACK);
    EXPECT_EQ(back.left, 30);
    EXPECT_EQ(back.top, 80);
    EXPECT_EQ(back.right, 30 + size.cx);
    EXPECT_EQ(back.bottom, 80 + size.cy);
    EXPECT_EQ(back.count + Find(INK).count - ink.count, size.cx * size.cy);
}

TEST_P(FontEngine, RotationAndUnderline) {
    // A quarter turn counter-clockwise: the text rises from the reference
    // point and its cell lies to the right of it.
    Use("標準ゴシック", 16, 400, 900);
    const SIZE size = Extent("ABCD");
    Out(50, 100, "ABCD");
    Box ink = Find(INK);
    EXPECT_GE(ink.left, 50);
    EXPECT_LE(ink.right, 50 + size.cy);
    EXPECT_LE(ink.bottom, 101);
    EXPECT_GE(ink.top, 100 - size.cx - 1);
    EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);

    // An underline runs the whole width, one line below the baseline.
    Use("標準ゴシック", 16, 400, 0, 1);
    Out(150, 20, "a b");
    const SIZE under = Extent("a b");
    int longest = 0;
    for (int y = 20; y < 20 + under.cy; ++y) {
        int run = 0;
        for (int x = 150; x < 150 + under.cx; ++x) run += At(x, y) == Raw(INK);
        longest = std::max(longest, run);
    }
    EXPECT_EQ(longest, under.cx);
}

TEST_P(FontEngine, DrawTextWrapsAlignsMeasuresAndClips) {
    Use("標準ゴシック", 16);
    const int word = Extent("abc").cx, space = Extent(" ").cx;
    // Three words in a box that fits two: two lines, the space swallowed.
    RECT measure{10, 10, 10 + 2 * word + space, 500};
    EXPECT_EQ(DrawText(dc, "abc abc abc", -1, &measure, DT_WORDBREAK | DT_CALCRECT), 32);
    EXPECT_EQ(measure.bottom, 42);
    EXPECT_EQ(measure.right, 10 + 2 * word + space);
    EXPECT_EQ(Find(INK).count, 0);
    // Japanese wraps between characters; line ends always break.
    RECT kana{0, 0, 40, 500};
    EXPECT_EQ(DrawText(dc, "あいうえお", -1, &kana, DT_WORDBREAK | DT_CALCRECT), 48);
    RECT lines{0, 0, 300, 500};
    EXPECT_EQ(DrawText(dc, "a\nb\r\nc", -1, &lines, DT_CALCRECT), 48);
    // A word longer than the line is broken rather than lost.
    RECT narrow{0, 0, word / 2, 500};
    EXPECT_GE(DrawText(dc, "abcabc", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 32);

    RECT left{100, 0, 300, 20}, centre{100, 30, 300, 50}, right{100, 60, 300, 80};
    DrawText(dc, "abc", -1, &left, DT_WORDBREAK | DT_LEFT);
    DrawText(dc, "abc", -1, &centre, DT_WORDBREAK | DT_CENTER);
    DrawText(dc, "abc", -1, &right, DT_WORDBREAK | DT_RIGHT);
    auto inkIn = [&](int top) { return Find(INK, {0, top, INT_MAX, top + 20}); };
    EXPECT_LE(inkIn(0).left - 100, 2);
    EXPECT_LE(std::abs((inkIn(30).left + inkIn(30).right) / 2 - 200), 2);
    EXPECT_LE(300 - inkIn(60).right, 2);

    // Drawing stays inside the rectangle.
    RECT clip{0, 90, 30, 100};
    DrawText(dc, "漢字漢字", -1, &clip, DT_LEFT);
    const Box ink = Find(INK, {0, 85, INT_MAX, INT_MAX});
    EXPECT_GT(ink.count, 0);
    EXPECT_LE(ink.right, 30);
    EXPECT_GE(ink.top, 90);
    EXPECT_LE(ink.bottom, 100);
}

TEST_P(FontEngine, BadTextAndFarPositionsAreHarmless) {
    Use("標準ゴシック", 16);
    // Bytes that form no character draw a replacement glyph each.
    Out(10, 10, "\x82\xFF");
    EXPECT_GT(Find(INK).count, 10);
    EXPECT_EQ(Extent("\x82\xFF").cx, 2 * Extent("\x82").cx);
    const std::string longText(5000, 'W');
    for (int x : {INT_MIN, -5000, -3, 310, INT_MAX})
        for (int y : {INT_MIN, -8, 110, INT_MAX}) {
            Out(x, y, longText.c_str());
            RECT box{x, y, x / 2 + 10, y / 2 + 10};
            DrawText(dc, longText.c_str(), -1, &box, DT_WORDBREAK | DT_CENTER);
        }
    SetBkMode(dc, OPAQUE);
    Use("標準ゴシック", INT_MAX, 400, INT_MIN, 1);
    Out(-100, -100, "漢");
    Use("標準ゴシック", INT_MIN);
    Out(0, 0, "漢");
    EXPECT_EQ(TextOut(nullptr, 0, 0, "a", 1), 0);
    EXPECT_EQ(TextOut(dc, 0, 0, nullptr, 1), 0);
    EXPECT_EQ(DrawText(nullptr, "a", -1, nullptr, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, FontEngine,
                         ::testing::Values(Format{16, false}, Format{16, true}, Format{32, false}),
                         [](const auto& info) {
                             return std::to_string(info.param.bits) +
                                    (info.param.five55 ? "_555" : "");
                         });

TEST(Cp932, DecodesCutsAndConverts) {
    char32_t c;
    EXPECT_EQ(DecodeCp932("\x8A\xBF", c), 2);
    EXPECT_EQ(c, U'漢');
    EXPECT_EQ(DecodeCp932("\xB1", c), 1);
    EXPECT_EQ(c, U'ｱ');
    EXPECT_EQ(DecodeCp932("\x82", c), 1);
    EXPECT_EQ(c, 0xFFFDu);
    EXPECT_EQ(DecodeCp932("\x81\x20", c), 1);
    EXPECT_EQ(c, 0xFFFDu);
    // Never splits a two-byte character.
    EXPECT_EQ(Cp932Prefix("a漢字", 4), 3u);
    EXPECT_EQ(Cp932Prefix("a漢字", 5), 5u);
    EXPECT_EQ(Cp932Prefix("ab\x82", 10), 2u);
    std::string out;
    EXPECT_TRUE(Utf8ToCp932(reinterpret_cast<const char*>(u8"IPAゴシック"), out));
    EXPECT_EQ(out, "IPAゴシック");
    EXPECT_FALSE(Utf8ToCp932("\xC3\x89", out)); // É has no CP932 form
}

int Collect(const LOGFONTA* font, LPARAM data) {
    auto* faces = reinterpret_cast<std::vector<InstalledFace>*>(data);
    faces->push_back({font->lfFaceName, font->lfCharSet});
    return faces->size() < 300;
}

TEST(FaceEnumeration, ReportsSystemFacesFirstThenInstalledFamilies) {
    DeviceContext dc;
    std::vector<InstalledFace> faces;
    EnumFonts(&dc, Collect, reinterpret_cast<LPARAM>(&faces));
    ASSERT_GT(faces.size(), 5u);
    EXPECT_EQ(faces[0].name, "標準明朝");
    EXPECT_EQ(faces[2].name, "HG創英角ﾎﾟｯﾌﾟ体");
    bool gothic = false, latin = false;
    for (const InstalledFace& face : faces) {
        EXPECT_LT(face.name.size(), 32u);
        gothic = gothic || (face.name == "IPAゴシック" && face.charSet == SHIFTJIS_CHARSET);
        latin = latin || (face.name == "DejaVu Sans" && face.charSet == ANSI_CHARSET);
    }
    EXPECT_TRUE(gothic);
    EXPECT_TRUE(latin);

    // The test hook replaces the list; a zero from the callback stops.
    const std::vector<InstalledFace> fake(400, {"X", SYMBOL_CHARSET});
    OverrideInstalledFaces(&fake);
    faces.clear();
    EXPECT_EQ(EnumFonts(&dc, Collect, reinterpret_cast<LPARAM>(&faces)), 0);
    EXPECT_EQ(faces.size(), 300u);
    OverrideInstalledFaces(nullptr);
    EXPECT_EQ(EnumFonts(nullptr, Collect, 0), 0);
}

} // namespace
