// elText on the screen's back buffer: what the shared font description keeps
// between brackets, the face table and its lookup, and text as it lands on the
// back buffer, also when callers misuse the bracket.
#include "draw/draw.h"
#include "platform/headless/headless.h"
#include "system/system.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using platform::InstalledFace;

constexpr COLORREF GREY = 0xC8C8C8;

class Text : public ::testing::Test {
  protected:
    void SetUp() override {
        elDraw::SetDepths(16, 0, 0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        std::fill(elDraw::BackBuffer->memory.begin(), elDraw::BackBuffer->memory.end(), 0);
    }
    void TearDown() override {
        elText::End();
        platform::OverrideInstalledFaces(nullptr);
        elDraw::Quit();
    }
    static std::uint16_t At(int x, int y) {
        const platform::Surface& s = *elDraw::BackBuffer;
        return reinterpret_cast<const std::uint16_t*>(s.memory.data() + y * s.pitch)[x];
    }
    // Columns [left, right) of pixels of a colour in rows [top, bottom).
    static std::pair<int, int> Columns(COLORREF color, int top, int bottom) {
        int left = INT_MAX, right = INT_MIN;
        const auto raw = platform::PackColor(elDraw::BackBuffer->format, color);
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 1024; ++x)
                if (At(x, y) == raw) left = std::min(left, x), right = std::max(right, x + 1);
        return {left, right};
    }
    static bool BackBufferBlank() {
        const auto& memory = elDraw::BackBuffer->memory;
        return std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0; });
    }
    static std::string Face() { return elText::FontDesc->lfFaceName; }
};

TEST_F(Text, FontDescriptionKeepsWhatNoCallWrites) {
    const platform::LOGFONTA& desc = *elText::FontDesc;
    // Before any face is named, face 2 leaves the name empty.
    elText::Begin(2, 12, 0, 0, 0, 0);
    elText::End();
    EXPECT_EQ(Face(), "");

    elText::Begin(0, 12, 0, 0, 0, 0);
    elText::End();
    EXPECT_EQ(Face(), "標準明朝");
    elText::Begin(1, 12, 0, 0, 0, 0);
    elText::End();
    EXPECT_EQ(Face(), "標準ゴシック");
    elText::BeginFace("HG創英角ﾎﾟｯﾌﾟ体", 20, 0, 0, 0, 0);
    elText::End();
    elText::Begin(2, 7, 0, 0, 0, 0);
    elText::End();
    EXPECT_EQ(Face(), "HG創英角ﾎﾟｯﾌﾟ体");
    EXPECT_EQ(desc.lfCharSet, platform::SHIFTJIS_CHARSET);
    EXPECT_EQ(elText::CurrentHeight, 7);
    EXPECT_EQ(desc.lfHeight, 7);

    const int weights[][2] = {{0, 400}, {1, 700}, {2, 0}, {-1, 0}};
    for (const auto& [weight, expected] : weights) {
        elText::Begin(1, -12, 90, weight, 0x101, 0x302);
        elText::End();
        EXPECT_EQ(desc.lfWeight, expected) << weight;
    }
    EXPECT_EQ(desc.lfEscapement, 900);
    EXPECT_EQ(desc.lfHeight, -12);
    EXPECT_EQ(desc.lfItalic, 1);
    EXPECT_EQ(desc.lfUnderline, 2);
    EXPECT_EQ(desc.lfWidth, 0);
    EXPECT_EQ(desc.lfOrientation, 0);
    EXPECT_EQ(desc.lfStrikeOut + desc.lfOutPrecision + desc.lfClipPrecision + desc.lfQuality +
                  desc.lfPitchAndFamily,
              0);
}

TEST_F(Text, FaceTableGivesBeginFaceItsCharacterSet) {
    // The real enumeration lists the system's faces as Japanese.
    ASSERT_GT(elText::FontCount, 3);
    EXPECT_STREQ(elText::FontTable[1].FaceName, "標準ゴシック");
    EXPECT_EQ(elText::FontTable[1].Class, 1);
    EXPECT_EQ(elText::FontTable[elText::FontCount].Class, -1);

    std::vector<InstalledFace> faces = {{"Sym", platform::SYMBOL_CHARSET}, {"Lat", 0}, {"和", 128}};
    platform::OverrideInstalledFaces(&faces);
    elText::Init();
    ASSERT_EQ(elText::FontCount, 3);
    EXPECT_EQ(elText::FontTable[0].Class, 3);
    EXPECT_EQ(elText::FontTable[1].Class, 2);
    EXPECT_EQ(elText::FontTable[2].Class, 1);
    EXPECT_EQ(elText::FontTable[3].Class, -1);
    const std::pair<const char*, int> lookups[] = {
        {"Sym", 2}, {"Lat", 0}, {"Unknown", 128}, {"sym", 128}, {"", 0}};
    for (const auto& [name, charSet] : lookups) {
        elText::BeginFace(name, 12, 0, 0, 0, 0);
        EXPECT_EQ(elText::FontDesc->lfCharSet, charSet) << name;
        elText::End();
    }

    // 250 faces: the first 200 enter, and no unfilled entry is left.
    faces.clear();
    for (int i = 0; i < 250; ++i) faces.push_back({std::string("F").append(std::to_string(i)), 0});
    elText::Init();
    EXPECT_EQ(elText::FontCount, 200);
    EXPECT_STREQ(elText::FontTable[199].FaceName, "F199");
    elText::BeginFace("F200", 12, 0, 0, 0, 0);
    EXPECT_EQ(elText::FontDesc->lfCharSet, 128);
    elText::BeginFace("", 12, 0, 0, 0, 0);
    EXPECT_EQ(elText::FontDesc->lfCharSet, 128);
}

TEST_F(Text, PrintDrawsTheWholeByteLengthInTheCurrentColours) {
    elText::Begin(1, 16, 0, 0, 0, 0);
    elText::Color(GREY, 0x800000, 5);
    EXPECT_EQ(elText::TextDC->backMode, platform::TRANSPARENT);
    elText::Print(100, 100, "あ");
    const auto one = Columns(GREY, 100, 116);
    elText::Print(100, 200, "あいう");
    const auto three = Columns(GREY, 200, 216);
    EXPECT_EQ(one.first, three.first);
    EXPECT_GT(three.second - three.first, 2 * (one.second - one.first));
    EXPECT_EQ(Columns(0x800000, 0, 768).first, INT_MAX);

    // The debug style: white on an opaque navy cell.
    elText::Color(0xFFFFFF, 0x800000, 0);
    EXPECT_EQ(elText::TextDC->backMode, platform::OPAQUE);
    EXPECT_EQ(elText::CurrentBackColor, 0x800000u);
    elText::Print(0, 300, "fps 60");
    elText::End();
    EXPECT_EQ(Columns(0x800000, 300, 316).first, 0);
    EXPECT_GT(Columns(0xFFFFFF, 300, 316).second, 0);
    EXPECT_EQ(elText::TextDC, nullptr);
}

TEST_F(Text, BoxesAlignWrapAndMeasure) {
    elText::Begin(1, 16, 0, 0, 0, 0);
    elText::Color(GREY, 0, 1);
    elText::PrintBox(100, 0, 300, 100, "abc", 3);
    EXPECT_TRUE(BackBufferBlank());
    elText::PrintBox(100, 0, 300, 20, "abc", 2);
    EXPECT_NEAR(Columns(GREY, 0, 20).second, 300, 2);
    const auto before = elDraw::BackBuffer->memory;
    EXPECT_EQ(elText::MeasureBox(0, 0, 48, 0, "あいうえおかき"), 48);
    EXPECT_EQ(elText::MeasureRect.bottom, 48);
    EXPECT_EQ(elDraw::BackBuffer->memory, before);
    elText::End();
}

TEST_F(Text, LongNamesAreCutAtCharacterBoundaries) {
    std::string kanji;
    for (int i = 0; i < 20; ++i) kanji += "漢";
    elText::BeginFace(kanji.c_str(), 12, 0, 0, 0, 0);
    EXPECT_EQ(Face().size(), 30u);
    const std::string longer = std::string("a").append(kanji);
    elText::BeginFace(longer.c_str(), 12, 0, 0, 0, 0);
    EXPECT_EQ(Face(), longer.substr(0, 31));
    elText::End();
}

TEST_F(Text, MisuseDoesNoHarm) {
    // No bracket open: nothing is drawn.
    elText::Color(GREY, 0, 0);
    elText::Print(10, 10, "abc");
    elText::PrintBox(0, 0, 100, 100, "abc", 0);
    EXPECT_EQ(elText::MeasureBox(0, 0, 100, 100, "abc"), 0);
    elText::End();
    elText::End();
    EXPECT_TRUE(BackBufferBlank());

    // A second Begin closes the first.
    elText::Begin(1, 12, 0, 0, 0, 0);
    elText::Begin(0, INT_MAX, INT_MAX, 0, 0, 0);
    elText::Print(0, 0, nullptr);
    elText::Print(0, 0, "\x82");
    elText::End();
    EXPECT_EQ(elText::TextDC, nullptr);

    // After the module's end, nothing opens.
    elText::Quit();
    elText::Quit();
    elText::Begin(1, 12, 0, 0, 0, 0);
    elText::BeginFace("x", 12, 0, 0, 0, 0);
    EXPECT_EQ(elText::TextDC, nullptr);
}

} // namespace
