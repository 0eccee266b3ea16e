// Wait slots, the busy-wait, the reset at the end of screen set-up, pointer
// confinement and the colour depth.
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/cursor.h"
#include "system/input_state.h"
#include "system/system.h"
#include "tests/scripted_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Box-log lines are UTF-8, while narrow literals are CP932 at run time.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class Timing : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetMessages();
        platform::headless::ResetBoxes();
        platform::headless::SetClock(10000);
        ErrorFlag = 0;
        FullScreen = 1;
        ScreenWidth = 1024;
        ScreenHeight = 768;
        elSystem::Init();
    }
};

TEST_F(Timing, WaitSlotIsOverFromItsDeadlineOn) {
    ASSERT_EQ(elSystem::SetWait(3, 500), 1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 0);
    platform::headless::AdvanceClock(499);
    EXPECT_EQ(elSystem::IsWaitOver(3), 0);
    platform::headless::AdvanceClock(1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 1);
    EXPECT_EQ(elSystem::IsWaitOver(4), 0);
}

TEST_F(Timing, ClearedSlotIsOverOnlyFrom999999999Ms) {
    elSystem::SetWait(5, 0);
    EXPECT_EQ(elSystem::IsWaitOver(5), 1);
    ASSERT_EQ(elSystem::InitWait(5), 1);
    EXPECT_EQ(elSystem::IsWaitOver(5), 0);
    platform::headless::SetClock(999999998);
    EXPECT_EQ(elSystem::IsWaitOver(5), 0);
    platform::headless::AdvanceClock(1);
    EXPECT_EQ(elSystem::IsWaitOver(5), 1);
}

TEST_F(Timing, SlotNumbersOutsideOneToTenAreRefusedWithTheOperationNamed) {
    elSystem::Sleep(0); // slot 11, Sleep's own, is now over
    EXPECT_EQ(elSystem::SetWait(0, 5), 0);
    EXPECT_EQ(elSystem::SetWait(11, 5000), 0);
    EXPECT_EQ(elSystem::InitWait(11), 0);
    EXPECT_EQ(elSystem::InitWait(-1), 0);
    std::string setWait =
        Utf8(u8R"(box "エラー発生" "elSystem::SetWait : ウェイトNoが範囲外です" -> ok)");
    std::string initWait =
        Utf8(u8R"(box "エラー発生" "elSystem::InitWait : ウェイトNoが範囲外です" -> ok)");
    EXPECT_EQ(platform::headless::BoxLog(),
              (std::vector<std::string>{setWait, setWait, initWait, initWait}));
    EXPECT_EQ(ErrorFlag, 1);
    EXPECT_EQ(elSystem::IsWaitOver(11), 1); // neither moved nor cleared
    // Numbers outside the table never read past it.
    EXPECT_EQ(elSystem::IsWaitOver(0), 1);
    EXPECT_EQ(elSystem::IsWaitOver(12), 1);
}

TEST_F(Timing, SleepLetsMoreThanItsTimePassWithoutMessagesThenResetsTheTimer) {
    int pumps = 0;
    platform::headless::SetEventSource([&](bool) { ++pumps; });
    FrameSeconds = 0.5f;
    LastFrameTime = 1;
    elSystem::Sleep(250);
    platform::headless::SetEventSource(nullptr);
    std::uint32_t now = platform::timeGetTime();
    EXPECT_GE(now, 10251u);
    EXPECT_EQ(pumps, 0);
    EXPECT_EQ(LastFrameTime, now);
    EXPECT_EQ(FrameSeconds, 0.0f);
}

TEST_F(Timing, WaitsRunTheirFullTimeAcrossTheClockWrap) {
    platform::headless::SetClock(0xFFFFFF00u);
    ASSERT_EQ(elSystem::SetWait(3, 500), 1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 0);
    platform::headless::AdvanceClock(499); // 0x000000F3, past the wrap
    EXPECT_EQ(elSystem::IsWaitOver(3), 0);
    platform::headless::AdvanceClock(1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 1);

    // A deadline just before the wrap, and one just past it.
    for (std::uint32_t start : {0xFFFFFFF0u, 0xFFFFFF00u}) {
        const std::uint32_t ms = start == 0xFFFFFFF0u ? 15 : 1000;
        platform::headless::SetClock(start);
        elSystem::Sleep(ms);
        const std::uint32_t passed = platform::timeGetTime() - start;
        EXPECT_GT(passed, ms) << std::hex << start;
        EXPECT_LT(passed, ms + 100) << std::hex << start;
        EXPECT_EQ(elSystem::IsWaitOver(11), 1);
    }
}

TEST(TimingBlink, BlinkKeepsItsRhythmAcrossTheClockWrap) {
    // The clock wraps 1100 ms after start-up, inside the first 200-ms off phase.
    const std::uint32_t start = 0u - 1100u;
    Script script;
    script.Frames(40, 50);
    script.Run(start);
    ASSERT_EQ(SceneFrames.size(), 40u);
    for (const FrameRecord& frame : SceneFrames) {
        std::uint32_t t = frame.clock - start;
        int expected = (t <= 1000) || (t > 1200 && t <= 2200) ? 1 : 0;
        EXPECT_EQ(frame.blink, expected) << "at " << t << " ms";
    }
}

TEST_F(Timing, InitClearsSlotsAndKeysAndConfinesThePointerToTheScreen) {
    for (int no = 1; no <= 10; ++no) elSystem::SetWait(no, 0);
    elSystem::Sleep(0);
    KeyDown = 'A';
    AltKeyMode = 1;
    elSystem::UnclipCursor();
    ScreenWidth = 800;
    ScreenHeight = 600;
    elSystem::Init();
    for (int no = 1; no <= 11; ++no) EXPECT_EQ(elSystem::IsWaitOver(no), 0) << "slot " << no;
    EXPECT_EQ(KeyDown, 0);
    EXPECT_EQ(AltKeyMode, 0);
    EXPECT_EQ(elSystem::IsCursorClipped(), 1);
    platform::RECT clip{};
    ASSERT_TRUE(platform::CursorClip(&clip));
    EXPECT_EQ(clip.left, 0);
    EXPECT_EQ(clip.top, 0);
    EXPECT_EQ(clip.right, 800);
    EXPECT_EQ(clip.bottom, 600);
}

TEST_F(Timing, PointerIsConfinedToAnyRectangleUntilFreed) {
    elSystem::ClipCursor(10, 20, 300, 400);
    platform::RECT clip{};
    ASSERT_TRUE(platform::CursorClip(&clip));
    EXPECT_EQ(clip.left, 10);
    EXPECT_EQ(clip.bottom, 400);
    elSystem::UnclipCursor();
    EXPECT_FALSE(platform::CursorClip(&clip));
    EXPECT_EQ(elSystem::IsCursorClipped(), 0);
}

TEST_F(Timing, ColorDepthFollowsTheDisplayMode) {
    ASSERT_TRUE(platform::OpenDisplay(-1));
    platform::SetDisplayMode(1024, 768, 16);
    EXPECT_EQ(elSystem::ColorDepth(), 16);
    platform::SetDisplayMode(1024, 768, 32);
    EXPECT_EQ(elSystem::ColorDepth(), 32);
    platform::CloseDisplay();
}

} // namespace
