// The frame present: fade sequences, the overlay's keys and limits, the
// vertical-blank wait, the main loop's fade-out, the meter, debug lines and
// screen shots.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/files/files.h"
#include "platform/formats/bmp.h"
#include "system/input_state.h"
#include "tests/scripted_run.h"
#include "tests/test_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Images and shots beside the program, named for this test process alone.
const std::string fadeBmp = OwnName("fade.bmp"), textBmp = OwnName("text.bmp"),
                  tileBmp = OwnName("tile.bmp"), shotBmp = OwnName("shot.bmp");

std::string InProgramFolder(const std::string& name) {
    return platform::ResolvePath((std::string(elSystem::ProgramFolder(0)) + name).c_str());
}

// A BMP beside the program, from a 0x00RRGGBB colour per pixel.
void WriteImage(const std::string& name, int width, int height,
                const std::function<std::uint32_t(int, int)>& colour) {
    platform::DecodedImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels.push_back(colour(x, y));
    ASSERT_TRUE(platform::WriteBmp24(InProgramFolder(name), image));
}

std::uint16_t& Pixel(platform::Surface* s, int x, int y) {
    return reinterpret_cast<std::uint16_t*>(s->memory.data() + y * s->pitch)[x];
}
std::uint32_t Shown(int x, int y) { return Pixel(elDraw::PrimarySurface, x, y); }
std::uint32_t Raw(std::uint32_t rgb) {
    return platform::PackColor(elDraw::BackBuffer->format,
                               (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16);
}

constexpr std::uint32_t BACKGROUND = 0x0000F8;

class Present : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetPlatformForTest(0);
        elDraw::SetDepths(16, 0, 0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        elDraw::KeyColor(0xFFFFFF); // the loaders below must key black themselves
    }
    void TearDown() override { elDraw::Quit(); }
    static void FillBack() {
        platform::Blt(elDraw::BackBuffer, nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL,
                      Raw(BACKGROUND));
    }
};

TEST_F(Present, FadesShowTenPatternFramesOnePerPresent) {
    // Frame k is red 16(k + 1), with one black and so transparent pixel at (5, 5).
    WriteImage(fadeBmp, 640, 48,
               [](int x, int y) { return x % 64 == 5 && y == 5 ? 0u : 16u * (x / 64 + 1) << 16; });
    ASSERT_GE(elDraw::LoadFade(fadeBmp.c_str()), FIRST_CALLER_OBJECT);
    auto presented = [] {
        std::vector<int> frames;
        for (int i = 0; i < 11; ++i) {
            FillBack();
            elDraw::Refresh();
            EXPECT_EQ(Shown(640, 0), Raw(BACKGROUND)); // tiles cover (0, 0)-(640, 480)
            EXPECT_EQ(Shown(0, 480), Raw(BACKGROUND));
            EXPECT_EQ(Shown(64 * 9 + 5, 48 * 9 + 5), Raw(BACKGROUND));
            EXPECT_EQ(Shown(639, 479), Shown(0, 0));
            int frame = -1;
            for (int k = 0; k < 10; ++k)
                if (Shown(0, 0) == Raw(16u * (k + 1) << 16)) frame = k;
            frames.push_back(frame);
        }
        return frames;
    };
    elDraw::FadeOut();
    EXPECT_EQ(presented(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1}));
    elDraw::FadeIn();
    EXPECT_EQ(presented(), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1}));
    EXPECT_EQ(elDraw::FadeLevel, 0);
    EXPECT_EQ(elDraw::FadeDirection, 0);
    std::remove(InProgramFolder(fadeBmp).c_str());
}

TEST_F(Present, WaitsForTheVerticalBlankOnlyWhenSwitchedOn) {
    const int before = platform::headless::VerticalBlankCount();
    elDraw::WaitVSync(1);
    elDraw::Refresh();
    elDraw::WaitVSync(0);
    elDraw::Refresh();
    EXPECT_EQ(platform::headless::VerticalBlankCount(), before + 1);
}

TEST_F(Present, OverlayTakesTheKeysAndScrollsWithinTheText) {
    elDraw::ToggleScroller(); // no text yet: stays off
    EXPECT_EQ(elDraw::ScrollerOn, 0);
    // Each text row has a colour of its own; black tiles are transparent.
    auto row = [](int y) { return (y % 32 * 8u) << 16 | (y / 32 * 4u) << 8 | 0x80; };
    WriteImage(textBmp, 16, 2000, [&](int, int y) { return row(y); });
    WriteImage(tileBmp, 64, 48, [](int, int) { return 0u; });
    elDraw::SetScroller(textBmp.c_str(), tileBmp.c_str(), 2000);
    elDraw::ToggleScroller();
    ASSERT_EQ(elDraw::ScrollerOn, 1);

    KeyDown = LastKey = 0;
    elSystem::WindowProc(nullptr, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(KeyDown + LastKey, 0);
    FrameSeconds = 5; // 500 pixels a frame
    std::vector<float> positions;
    for (int i = 0; i < 4; ++i) {
        const int top = static_cast<int>(elDraw::ScrollerPosition);
        FillBack();
        elDraw::Refresh();
        EXPECT_EQ(Shown(0, 767), Raw(row(top + 767)));
        EXPECT_EQ(Shown(16, 0), Raw(BACKGROUND));
        positions.push_back(elDraw::ScrollerPosition);
    }
    EXPECT_EQ(positions, (std::vector<float>{500, 1000, 1232, 1232}));
    FrameSeconds = 1;
    elSystem::WindowProc(nullptr, WM_KEYDOWN, VK_LEFT, 0);
    elDraw::Refresh();
    EXPECT_EQ(elDraw::ScrollerPosition, 1232 - 300);
    elSystem::WindowProc(nullptr, WM_KEYDOWN, VK_UP, 0);
    for (int i = 0; i < 10; ++i) elDraw::Refresh();
    EXPECT_EQ(elDraw::ScrollerPosition, 0);

    elDraw::ToggleScroller();
    elSystem::WindowProc(nullptr, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(KeyDown, 'A');
    for (const std::string& name : {textBmp, tileBmp}) std::remove(InProgramFolder(name).c_str());
}

TEST_F(Present, FpsMeterSkipsEmptyMeasurementsAndDebugLinesCutBetweenCharacters) {
    elDraw::FpsCounter = 0;
    elDraw::FpsTime = 0;
    elDraw::FpsHighest = 0;
    elDraw::FpsLowest = 999.9f;
    platform::headless::SetClock(10000);
    elDraw::ShowFps(); // measures no frames at all
    EXPECT_STREQ(elDraw::FpsText, "0.0 fps ( max 0.0 / min 999.9 )");
    for (int i = 0; i < 9; ++i) elDraw::ShowFps();
    platform::headless::SetClock(12000);
    elDraw::ShowFps();
    EXPECT_STREQ(elDraw::FpsText, "5.0 fps ( max 5.0 / min 5.0 )");
    platform::headless::SetClock(14000);
    elDraw::ShowFps();
    EXPECT_STREQ(elDraw::FpsText, "0.5 fps ( max 5.0 / min 0.5 )");

    // 258 bytes and a two-byte character overflow 259: the line ends before it.
    const std::string line(258, 'i');
    FillBack();
    elDraw::DebugText(-800, 40, line.c_str());
    const std::vector<std::uint8_t> whole = elDraw::BackBuffer->memory;
    FillBack();
    elDraw::DebugPrint(-800, 40, "%sあ", line.c_str());
    EXPECT_EQ(elDraw::BackBuffer->memory, whole);
}

TEST_F(Present, FpsMeterMeasuresEveryTwoSecondsAcrossTheClockWrap) {
    elDraw::FpsCounter = 0;
    elDraw::FpsTime = 0;
    elDraw::FpsHighest = 0;
    elDraw::FpsLowest = 999.9f;
    platform::headless::SetClock(0u - 1000);
    for (int i = 0; i < 10; ++i) elDraw::ShowFps(); // the first measures no frames
    platform::headless::SetClock(999);              // 1999 ms on, past the wrap
    elDraw::ShowFps();
    EXPECT_STREQ(elDraw::FpsText, "0.0 fps ( max 0.0 / min 999.9 )");
    platform::headless::SetClock(1000);
    elDraw::ShowFps();
    EXPECT_STREQ(elDraw::FpsText, "5.5 fps ( max 5.5 / min 5.5 )");
}

TEST(PresentMainLoop, FadeOutReplacesTheSceneThenTheSceneChangePutsTheClipBack) {
    int blanks = 0;
    Script script;
    script
        .Do([&] {
            elDraw::Screen(1024, 768, 1);
            elDraw::WaitVSync(1);
            elDraw::SetClip(10, 20, 300, 200);
            elDraw::WipeStart(0, 5, 0, 0); // collapses to top = bottom = 110
            elDraw::FadeOut();
            NextSceneNo = 2;
            blanks = platform::headless::VerticalBlankCount();
        })
        .Frames(9)
        .Do([] {
            EXPECT_EQ(SceneNo, 1);
            EXPECT_EQ(elDraw::ClipRect.top, 110);
        })
        .Frames(1)
        .Do([&] {
            EXPECT_EQ(SceneNo, 2);
            EXPECT_EQ(elDraw::ClipRect.top, 20); // put back on the change
            EXPECT_EQ(elDraw::WipeState, 0);
            EXPECT_EQ(platform::headless::VerticalBlankCount(), blanks + 10); // fade presents
            blanks = -1;
        });
    ASSERT_EQ(script.Run(), 0);
    EXPECT_EQ(blanks, -1);
    EXPECT_TRUE(SceneFrames.empty()); // the scene never ran
}

// Six pixels of a 3 x 2 corner and the blue, green, red bytes each becomes.
struct Shot {
    int bits;
    std::uint32_t pixels[6];
    std::uint8_t bgr[6][3];
};

class SaveScreen : public ::testing::TestWithParam<Shot> {};

TEST_P(SaveScreen, WritesTheCornerBottomUpWithPaddedRows) {
    elDraw::SetDepths(GetParam().bits, 0, 0);
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    platform::Surface* back = elDraw::BackBuffer;
    for (int i = 0; i < 6; ++i) {
        std::uint8_t* row = back->memory.data() + i / 3 * back->pitch;
        std::memcpy(row + i % 3 * (back->format.bits / 8), &GetParam().pixels[i],
                    back->format.bits / 8);
    }
    ASSERT_EQ(elDraw::SaveScreen(shotBmp.c_str(), 3, 2), 1);
    std::vector<std::uint8_t> expected = {
        'B', 'M', 82,   0,    0, 0, 0, 0, 0,  0, 58, 0, 0, 0, 40, 0, 0, 0, 3,    0,
        0,   0,   2,    0,    0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 24, 0, 0, 0, 0x12, 0x0B,
        0,   0,   0x12, 0x0B, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 0, 0};
    for (int first : {3, 0}) { // bottom row first, each padded to 12 bytes
        for (int i = first; i < first + 3; ++i)
            expected.insert(expected.end(), GetParam().bgr[i], GetParam().bgr[i] + 3);
        expected.insert(expected.end(), 3, 0);
    }
    std::ifstream in(InProgramFolder(shotBmp), std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), expected);
    EXPECT_EQ(back->lockCount, 0);

    platform::LoseAllSurfaces();
    EXPECT_EQ(elDraw::SaveScreen(shotBmp.c_str(), 3, 2), 0);
    elDraw::Quit();
    std::remove(InProgramFolder(shotBmp).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Depths, SaveScreen,
    ::testing::Values(
        // 5:6:5: each channel's top five bits times 8.
        Shot{16,
             {0xF800, 0x07E0, 0x001F, 0x0841, 0xFFFF, 0x0020},
             {{0, 0, 248}, {0, 248, 0}, {248, 0, 0}, {8, 8, 8}, {248, 248, 248}, {0, 0, 0}}},
        Shot{32,
             {0x123456, 0xFF0000, 0x0000FF, 0x00FF00, 0x010203, 0xABCDEF},
             {{0x56, 0x34, 0x12},
              {0, 0, 255},
              {255, 0, 0},
              {0, 255, 0},
              {3, 2, 1},
              {0xEF, 0xCD, 0xAB}}}),
    [](const auto& info) { return "Bits" + std::to_string(info.param.bits); });

// What each present changes on the screen, all that the desktop sends to the
// window again: nothing while the picture stays, else the rows that differ,
// however small the difference, at either depth.
class PresentChanges : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        ResetPlatformForTest(0);
        elDraw::SetDepths(GetParam(), 0, 0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    }
    void TearDown() override { elDraw::Quit(); }

    static void Fill(platform::Surface* surface, platform::RECT area, std::uint32_t value) {
        platform::Blt(surface, &area, nullptr, nullptr, platform::DDBLT_COLORFILL, value);
    }
    static void Set(int x, int y, std::uint32_t value) {
        platform::Surface* back = elDraw::BackBuffer;
        const int bytes = back->format.bits / 8;
        std::memcpy(back->memory.data() + y * back->pitch + x * bytes, &value, bytes);
    }
    // The last present changed rows `top` to `bottom` across the screen, or
    // nothing when they are equal; and the screen holds the back buffer.
    static void ExpectChanged(int top, int bottom, const char* what) {
        const platform::RECT changed = platform::headless::LastPresentChange();
        if (top == bottom) {
            EXPECT_TRUE(changed.right <= changed.left || changed.bottom <= changed.top) << what;
        } else {
            EXPECT_EQ(changed.left, 0) << what;
            EXPECT_EQ(changed.right, 1024) << what;
            EXPECT_EQ(changed.top, top) << what;
            EXPECT_EQ(changed.bottom, bottom) << what;
        }
        EXPECT_TRUE(elDraw::PrimarySurface->memory == elDraw::BackBuffer->memory) << what;
    }
};

TEST_P(PresentChanges, OnlyRowsThatDifferFromTheShownPictureAreSentAgain) {
    const std::uint32_t ground = 0x0841, mark = 0x001F;
    const struct {
        const char* what;
        std::function<void()> change;
        int top, bottom;
    } frames[] = {
        {"a new picture",
         [&] {
             Fill(elDraw::BackBuffer, {0, 0, 1024, 768}, ground);
         },
         0, 768},
        {"the same picture", [] {}, 0, 0},
        {"one pixel in the last row", [&] { Set(1023, 767, mark); }, 767, 768},
        {"one pixel in the first row", [&] { Set(0, 0, mark); }, 0, 1},
        {"a band and a pixel far below it",
         [&] {
             Fill(elDraw::BackBuffer, {200, 100, 300, 120}, mark);
             Set(3, 700, mark);
         },
         100, 701},
        {"a pixel set and put back before the present",
         [&] {
             Set(500, 300, mark);
             Set(500, 300, ground);
         },
         0, 0},
        {"the band taken away",
         [&] {
             Fill(elDraw::BackBuffer, {200, 100, 300, 120}, ground);
         },
         100, 120},
        {"the same picture again", [] {}, 0, 0},
    };
    for (const auto& frame : frames) {
        frame.change();
        elDraw::Refresh();
        ExpectChanged(frame.top, frame.bottom, frame.what);
    }
}

// Pixels written to the screen itself, or lost with it, are sent again even
// when the next frame's picture is the same as the one before.
TEST_P(PresentChanges, TheScreenWrittenDirectlyOrLostIsSentAgain) {
    Fill(elDraw::BackBuffer, {0, 0, 1024, 768}, 0x0841);
    elDraw::Refresh();
    Fill(elDraw::PrimarySurface, {10, 400, 50, 410}, 0x001F);
    EXPECT_EQ(platform::headless::LastPresentChange().top, 400); // shown at once
    elDraw::Refresh();
    ExpectChanged(400, 410, "a fill on the screen, covered by the next frame");

    void* bits = nullptr;
    int pitch = 0;
    ASSERT_EQ(platform::Lock(elDraw::PrimarySurface, &bits, &pitch), platform::DD_OK);
    platform::Unlock(elDraw::PrimarySurface);
    EXPECT_EQ(platform::headless::LastPresentChange().bottom, 768); // all of it, shown at once
    elDraw::Refresh();
    ExpectChanged(0, 0, "the screen locked and left as it was");

    // Frames the window refused are shown by the first present it takes.
    platform::headless::RefusePresents(true);
    Fill(elDraw::BackBuffer, {0, 100, 1024, 110}, 0x001F);
    elDraw::Refresh();
    Fill(elDraw::BackBuffer, {0, 600, 1024, 601}, 0x001F);
    elDraw::Refresh();
    platform::headless::RefusePresents(false);
    elDraw::Refresh();
    ExpectChanged(100, 601, "the frame after two refused presents");

    // Lost, the screen comes back empty; a frame as empty as it is still shows.
    platform::LoseAllSurfaces();
    elDraw::Refresh();
    Fill(elDraw::BackBuffer, {0, 0, 1024, 768}, 0);
    elDraw::Refresh();
    ExpectChanged(0, 768, "the frame after the screen was lost");
    elDraw::Refresh();
    ExpectChanged(0, 0, "the frame after that");
}

INSTANTIATE_TEST_SUITE_P(Depths, PresentChanges, ::testing::Values(16, 32),
                         [](const auto& info) { return "Bits" + std::to_string(info.param); });

} // namespace
