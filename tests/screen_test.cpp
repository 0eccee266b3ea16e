// Screen set-up, the object table, loaders and colour keys on the headless display.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "system/input_state.h"
#include "system/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string LastBox() {
    const auto& log = platform::headless::BoxLog();
    return log.empty() ? "" : log.back();
}

std::string ErrorBox(const char* operation, const char* message) {
    return "box \"" + platform::Cp932ToUtf8("エラー発生") + "\" \"" + operation + " : " +
           platform::Cp932ToUtf8(message) + "\" -> ok";
}

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::ResetBoxes();
        platform::headless::UseFormat555(false);
        elDraw::SetDepths(16, 0, 0);
        elDraw::KeyColor(0);
    }
    void TearDown() override {
        elDraw::Quit();
        platform::headless::UseFormat555(false);
    }
};

TEST_F(ScreenTest, PixelFormatValuesOn565And555And32) {
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    const PixelFormatInfo& f = elDraw::PixelFormat;
    EXPECT_EQ(f.Red.Shift, 11);
    EXPECT_EQ(f.Green.Shift, 5);
    EXPECT_EQ(f.Blue.Shift, 0);
    EXPECT_EQ(f.Green.Max, 63u);
    EXPECT_EQ(f.Red.Shift5, 11);
    EXPECT_EQ(f.Green.Shift5, 6);
    EXPECT_EQ(f.Blue.Shift5, 0);
    EXPECT_EQ(f.HalfMask, 0x7BEFu);
    EXPECT_EQ(f.HalfMask2, 0x7BEF7BEFu);
    EXPECT_EQ(f.WhiteMask, 0xFFFFu);
    elDraw::Quit();

    platform::headless::UseFormat555(true);
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    EXPECT_EQ(f.Red.Shift5, 10);
    EXPECT_EQ(f.Green.Shift5, 5);
    EXPECT_EQ(f.HalfMask, 0x3DEFu);
    EXPECT_EQ(f.WhiteMask, 0x7FFFu);
    elDraw::Quit();

    elDraw::SetDepths(32, 0, 0);
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    EXPECT_EQ(f.Red.Shift, 16);
    EXPECT_EQ(f.Red.Max, 255u);
    EXPECT_EQ(f.WhiteMask, 0xFFFFFFu);
}

TEST_F(ScreenTest, SineTableAndEffectTables) {
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    EXPECT_EQ(elDraw::SineTable[0], 0);
    EXPECT_EQ(elDraw::SineTable[30], 179);
    EXPECT_EQ(elDraw::SineTable[90], 360);
    EXPECT_EQ(elDraw::SineTable[270], -360);
    EXPECT_EQ(elDraw::SineTable[449], 359);
    // White decomposes into three full 5-bit components on 5:6:5.
    EXPECT_EQ(elDraw::DecomposeTable[0xFFFF][0], 31);
    EXPECT_EQ(elDraw::DecomposeTable[0xFFFF][1], 31);
    EXPECT_EQ(elDraw::DecomposeTable[0xFFFF][2], 31);
    EXPECT_EQ(elDraw::SubtractTable[1 * 1024 + 20 * 32 + 5], 15 << 6); // green shifts by 6
    EXPECT_EQ(elDraw::GreyTable[93], 31);
}

TEST_F(ScreenTest, DepthFallbacksAndRefusedModes) {
    // 8 bits is refused; the first fallback is taken and stays the preferred depth.
    elDraw::SetDepths(8, 32, 0);
    ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
    EXPECT_EQ(elDraw::Depths[0], 32);
    EXPECT_EQ(elDraw::BackBuffer->format.bits, 32);
    elDraw::Quit();

    elDraw::SetDepths(8, 0, 0);
    EXPECT_EQ(elDraw::Screen(1024, 768, 1), 0);
    EXPECT_EQ(ErrorFlag, 1);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::Screen", "解像度が変更できません"));
}

TEST_F(ScreenTest, SetUpStateAndPlacementCaps) {
    ClientX = 100;
    ClientY = 50;
    ASSERT_EQ(elDraw::Screen(1024, 768, 2), 1);
    EXPECT_EQ(ErrorFlag, 0);
    EXPECT_EQ(PresentRect.left, 100);
    EXPECT_EQ(PresentRect.bottom, 818);
    EXPECT_EQ(PresentRect.right, 1124);
    EXPECT_EQ(elDraw::ClipRect.right, 1024);
    EXPECT_EQ(elDraw::ClipRect.bottom, 768);
    EXPECT_EQ(elDraw::PrimarySurface->caps, 0xA00u);
    EXPECT_EQ(elDraw::BackBuffer->caps, 0x840u);
    EXPECT_EQ(elDraw::StretchCapable, 1);
    for (int no = 0; no < 4; ++no) {
        EXPECT_NE(elDraw::ObjectTable[no].Surface, nullptr);
        EXPECT_EQ(elDraw::ObjectTable[no].Width, 1024);
        EXPECT_TRUE(elDraw::ObjectTable[no].Surface->hasKey);
        EXPECT_EQ(elDraw::ObjectTable[no].Surface->keyLow, 0u);
    }
    for (int no = 4; no < OBJECT_COUNT; ++no) EXPECT_EQ(elDraw::ObjectTable[no].Name[0], '\0');
    ClientX = ClientY = 0;
}

// Screen set-up starts the sound device with an empty table, then the music flags.
TEST_F(ScreenTest, SetUpStartsSoundAndMusic) {
    elSound::SoundTable[5].InUse = 1;
    elSound::SoundTable[5].EchoCounter = 3;
    elMidi::MidiOpen = 1;
    elMidi::MidiLoop = 0;
    elMidi::MidiEnded = 1;
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    EXPECT_EQ(elSound::SoundAvailable, 1);
    EXPECT_EQ(elSound::SoundTable[5].InUse, 0);
    EXPECT_EQ(elSound::SoundTable[5].EchoCounter, -1);
    EXPECT_EQ(elMidi::MidiOpen, 0);
    EXPECT_EQ(elMidi::MidiLoop, 1);
    EXPECT_EQ(elMidi::MidiEnded, 0);
}

TEST_F(ScreenTest, ColourMatchGivesTheFormatsRawValue) {
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    ObjectNo no = elDraw::CreateObject(4, 4, 2);
    platform::Surface* s = elDraw::ObjectTable[no].Surface;
    EXPECT_EQ(elDraw::MatchColor(s, 0xFF00FF), 0xF81Fu); // magenta on 5:6:5
    // The top-left pixel is put back after the match.
    reinterpret_cast<std::uint16_t*>(s->memory.data())[0] = 0x1234;
    EXPECT_EQ(elDraw::MatchColor(s, 0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(elDraw::MatchColor(s, 0xFFFFFFFFu), 0x1234u);
    elDraw::Quit();

    platform::headless::UseFormat555(true);
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    no = elDraw::CreateObject(4, 4, 2);
    EXPECT_EQ(elDraw::MatchColor(elDraw::ObjectTable[no].Surface, 0xFF00FF), 0x7C1Fu);
    elDraw::Quit();

    elDraw::SetDepths(32, 0, 0);
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    no = elDraw::CreateObject(1, 1, 2);
    EXPECT_EQ(elDraw::MatchColor(elDraw::ObjectTable[no].Surface, 0x336699), 0x996633u);
}

TEST_F(ScreenTest, ObjectSlotsAreLimitedAndReused) {
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    ObjectNo first = elDraw::CreateObject(2, 2, 2);
    EXPECT_EQ(first, 4);
    EXPECT_STREQ(elDraw::ObjectTable[first].Name, "*");
    for (int i = 1; i < 508; ++i) ASSERT_EQ(elDraw::CreateObject(2, 2, 2), 4 + i);
    EXPECT_EQ(elDraw::CreateObject(2, 2, 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::CreateObject", "オブジェクト数が多過ぎます"));
    elDraw::ReleaseObject(first);
    EXPECT_EQ(elDraw::ObjectTable[first].Name[0], '\0');
    EXPECT_EQ(elDraw::CreateObject(2, 2, 2), first);
}

TEST_F(ScreenTest, ObjectNumbersOutsideTheTableDoNothing) {
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    ObjectNo no = elDraw::CreateObject(2, 2, 2);
    elDraw::SetObjectKey(no, 0xFFFFFF);
    std::vector<ObjectEntry> before(std::begin(elDraw::ObjectTable), std::end(elDraw::ObjectTable));
    for (ObjectNo outside : {-1, OBJECT_COUNT, INT_MIN, INT_MAX}) {
        EXPECT_NE(elDraw::SetObjectKey(outside, 0), platform::DD_OK) << outside;
        EXPECT_NE(elDraw::SetObjectKeyTopLeft(outside), platform::DD_OK) << outside;
        EXPECT_NE(elDraw::CopyKey(no, outside), platform::DD_OK) << outside;
        EXPECT_NE(elDraw::CopyKey(outside, no), platform::DD_OK) << outside;
        EXPECT_EQ(elDraw::SwapObject("none.bmp", outside, 2), 0) << outside;
        elDraw::ReleaseObject(outside);
    }
    EXPECT_EQ(std::memcmp(before.data(), elDraw::ObjectTable, sizeof elDraw::ObjectTable), 0);
    EXPECT_EQ(elDraw::ObjectTable[no].Surface->keyLow, 0xFFFFu); // still white
    EXPECT_TRUE(platform::headless::BoxLog().empty());
}

class LoadTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        folder = "ld" + std::to_string(getpid());
        fs::create_directories(fs::path(elSystem::ProgramFolder(0)) / folder);
        ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    }
    void TearDown() override {
        ScreenTest::TearDown();
        fs::remove_all(fs::path(elSystem::ProgramFolder(0)) / folder);
    }
    // Writes an image whose top-left pixel is `corner` and the rest `fill`,
    // under a name with upper-case letters that the load names in lower case.
    std::string WriteImage(const char* file, std::uint32_t corner, std::uint32_t fill) {
        platform::DecodedImage image;
        image.width = 3;
        image.height = 2;
        image.pixels.assign(6, fill);
        image.pixels[0] = corner;
        platform::WriteBmp24((fs::path(elSystem::ProgramFolder(0)) / folder / file).string(),
                             image);
        std::string name = folder + "\\" + file;
        for (char& c : name) c = static_cast<char>(std::tolower(c));
        return name;
    }
    std::string folder;
};

TEST_F(LoadTest, LoadsConvertsAndKeysImages) {
    std::string name = WriteImage("Pic.BMP", 0x000000, 0xFF0000);
    ObjectNo no = elDraw::LoadObject(name.c_str(), 2);
    ASSERT_EQ(no, 4);
    const ObjectEntry& entry = elDraw::ObjectTable[no];
    EXPECT_EQ(entry.Width, 3);
    EXPECT_EQ(entry.Height, 2);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(entry.Surface->memory.data())[1], 0xF800);
    EXPECT_EQ(entry.KeyColor, 0);
    EXPECT_EQ(entry.Surface->keyLow, 0u); // black is the start key

    elDraw::KeyTopLeft();
    std::string second = WriteImage("Two.bmp", 0x00FF00, 0x0000FF);
    ObjectNo other = elDraw::LoadObject(second.c_str(), 2);
    EXPECT_EQ(elDraw::ObjectTable[other].KeyColor, -1);
    EXPECT_EQ(elDraw::ObjectTable[other].Surface->keyLow, 0x07E0u);
}

TEST_F(LoadTest, NameLimitAndMissingFiles) {
    std::string thirty(30 - folder.size() - 1, 'a');
    std::string name = WriteImage((thirty).c_str(), 0, 0x808080);
    ASSERT_EQ(name.size(), 30u);
    EXPECT_EQ(elDraw::LoadObject(name.c_str(), 2), 4);
    std::string longer = name + "x";
    EXPECT_EQ(elDraw::LoadObject(longer.c_str(), 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadObject", "ファイル名またはリソース名が長すぎます"));
    EXPECT_EQ(elDraw::ObjectTable[5].Name[0], '\0'); // no entry taken

    EXPECT_EQ(elDraw::LoadObject("nothing\\here.bmp", 2), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elDraw::LoadObject", "BMPファイルを読み込めません"));
    EXPECT_STREQ(elDraw::ObjectTable[5].Name, "nothing\\here.bmp"); // taken, without surface
    EXPECT_EQ(elDraw::ObjectTable[5].Surface, nullptr);
}

TEST_F(LoadTest, RestoreReloadsLostImagesButNotMadeObjects) {
    std::string name = WriteImage("r.bmp", 0, 0xFFFFFF);
    ObjectNo loaded = elDraw::LoadObject(name.c_str(), 2);
    ObjectNo made = elDraw::CreateObject(3, 2, 2);
    auto firstPixel = [](ObjectNo no) {
        return reinterpret_cast<const std::uint16_t*>(
            elDraw::ObjectTable[no].Surface->memory.data())[1];
    };
    reinterpret_cast<std::uint16_t*>(elDraw::ObjectTable[made].Surface->memory.data())[1] = 0x1111;
    platform::LoseAllSurfaces();
    elDraw::Restore();
    EXPECT_FALSE(platform::IsLost(elDraw::BackBuffer));
    EXPECT_FALSE(platform::IsLost(elDraw::ObjectTable[made].Surface));
    EXPECT_EQ(firstPixel(loaded), 0xFFFF); // read again from its file
    EXPECT_EQ(firstPixel(made), 0);        // restored memory, nothing to reload
    EXPECT_TRUE(elDraw::ObjectTable[loaded].Surface->hasKey);
}

} // namespace
