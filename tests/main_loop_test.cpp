// The main loop: one message or one frame per pass, frame timing, blinking,
// the single-instance guard and the close path.
#include "draw/draw.h"
#include "platform/files/files.h"
#include "platform/win/held_file.h"
#include "tests/scripted_run.h"
#include "text/text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

TEST(MainLoop, ClickBetweenFramesIsSeenForExactlyOneFrame) {
    Script script;
    script.Frames(1)
        .Post(WM_LBUTTONDOWN)
        .Post(WM_LBUTTONUP)
        .Frames(2)
        .Post(WM_RBUTTONDOWN)
        .Frames(2)
        .Post(WM_RBUTTONUP)
        .Frames(1);
    ASSERT_EQ(script.Run(), 0);
    ASSERT_EQ(SceneFrames.size(), 6u);
    EXPECT_EQ(SceneFrames[0].leftClick, 0);
    // Press and release both arrived before the frame: a click, no held button.
    EXPECT_EQ(SceneFrames[1].leftClick, 1);
    EXPECT_EQ(SceneFrames[1].leftHeld, 0);
    EXPECT_EQ(SceneFrames[2].leftClick, 0);
    // A held right button: the click lasts one frame, the hold until release.
    EXPECT_EQ(SceneFrames[3].rightClick, 1);
    EXPECT_EQ(SceneFrames[3].rightHeld, 1);
    EXPECT_EQ(SceneFrames[4].rightClick, 0);
    EXPECT_EQ(SceneFrames[4].rightHeld, 1);
    EXPECT_EQ(SceneFrames[5].rightHeld, 0);
}

// The wheel's high word is signed; turns between two frames add up, and the
// next frame sees them once.
TEST(MainLoop, WheelTurnsBetweenFramesAddUpForExactlyOneFrame) {
    const auto turn = [](int delta) { return static_cast<WPARAM>(MAKELPARAM(0, delta)); };
    Script script;
    script.Frames(1)
        .Post(WM_MOUSEWHEEL, turn(-WHEEL_DELTA))
        .Post(WM_MOUSEWHEEL, turn(-WHEEL_DELTA))
        .Post(WM_MOUSEWHEEL, turn(40))
        .Frames(2)
        .Post(WM_MOUSEWHEEL, turn(3 * WHEEL_DELTA))
        .Frames(1);
    ASSERT_EQ(script.Run(), 0);
    ASSERT_EQ(SceneFrames.size(), 4u);
    EXPECT_EQ(SceneFrames[0].wheelDelta, 0);
    EXPECT_EQ(SceneFrames[1].wheelDelta, -200);
    EXPECT_EQ(SceneFrames[2].wheelDelta, 0);
    EXPECT_EQ(SceneFrames[3].wheelDelta, 360);
}

TEST(MainLoop, AllWaitingMessagesAreHandledBeforeTheNextFrame) {
    Script script;
    script.Frames(1)
        .Post(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10))
        .Post(WM_MOUSEMOVE, 0, MAKELPARAM(25, 40))
        .Frames(2);
    script.Run();
    ASSERT_EQ(SceneFrames.size(), 3u);
    EXPECT_EQ(SceneFrames[1].mouseX, 25);
    EXPECT_EQ(SceneFrames[1].mouseY, 40);
    EXPECT_EQ(SceneFrames[1].mouseMoveX, 25);
    EXPECT_EQ(SceneFrames[1].mouseMoveY, 40);
    EXPECT_EQ(SceneFrames[2].mouseMoveX, 0);
}

TEST(MainLoop, FrameSecondsCountsFromTheStartAndFromReactivation) {
    Script script;
    script.Frames(3, 16)
        .Post(WM_ACTIVATEAPP, 0)
        .Frames(50, 100) // five seconds pass while inactive: no frames run
        .Do([] { platform::headless::AdvanceClock(7); })
        .Post(WM_ACTIVATEAPP, 1)
        .Frames(1, 20)
        .Frames(1, 16);
    script.Run();
    ASSERT_EQ(SceneFrames.size(), 5u);
    EXPECT_FLOAT_EQ(SceneFrames[0].frameSeconds, 0.016f);
    EXPECT_FLOAT_EQ(SceneFrames[2].frameSeconds, 0.016f);
    // Only the time since the reactivation counts.
    EXPECT_FLOAT_EQ(SceneFrames[3].frameSeconds, 0.020f);
    EXPECT_FLOAT_EQ(SceneFrames[4].frameSeconds, 0.016f);
}

TEST(MainLoop, FrameSecondsSurvivesTheClockWrap) {
    Script script;
    script.Frames(1, 10).Frames(1, 32);
    script.Run(0xFFFFFFF0u);
    ASSERT_EQ(SceneFrames.size(), 2u);
    EXPECT_EQ(SceneFrames[1].clock, 0x1Au); // past the wrap
    EXPECT_FLOAT_EQ(SceneFrames[1].frameSeconds, 0.032f);
}

TEST(MainLoop, BlinkIsOnForASecondThenOffFor200Ms) {
    Script script;
    script.Frames(40, 50);
    script.Run(5000);
    // Blink as the scene sees it, by time since start-up (frames every 50 ms).
    for (const FrameRecord& frame : SceneFrames) {
        std::uint32_t t = frame.clock - 5000;
        // The frame at the flip time still shows the old value: the flip is
        // part of that frame's bookkeeping.
        int expected = (t <= 1000) || (t > 1200 && t <= 2200) ? 1 : 0;
        EXPECT_EQ(frame.blink, expected) << "at " << t << " ms";
    }
}

TEST(MainLoop, SceneChangedMarksTheFirstFrameOfAScene) {
    int frames = 0;
    Script script;
    // The hook goes in after the reset that Run performs.
    script
        .Do([&] {
            SceneHook = [&] {
                if (++frames == 2) SceneNo = 7; // a number without a scene function
            };
        })
        .Frames(5);
    script.Run();
    ASSERT_EQ(SceneFrames.size(), 2u); // frames go on, but nothing calls a scene
    EXPECT_EQ(SceneFrames[0].sceneChanged, 1);
    EXPECT_EQ(SceneFrames[1].sceneChanged, 0);
    EXPECT_EQ(SceneNo, 7);
}

TEST(MainLoop, EachFrameCallsTheProgramsSceneOfSceneNo) {
    static int thirdSceneFrames;
    thirdSceneFrames = 0;
    Script script;
    script
        .Do([] {
            SceneTable[3] = [] {
                if (++thirdSceneFrames == 2) SceneNo = SCENE_COUNT; // past the table
            };
            SceneHook = [] { SceneNo = 3; };
        })
        .Frames(5);
    script.Run();
    SceneTable[3] = nullptr;
    EXPECT_EQ(SceneFrames.size(), 1u);
    EXPECT_EQ(thirdSceneFrames, 2);
    EXPECT_EQ(SceneNo, SCENE_COUNT);
}

// A first copy of the editor as a second one finds it: the single-instance
// lock held and a window of the program's name.
struct FirstCopy {
    HANDLE lock;
    HWND window;
};
FirstCopy StartFirstCopy() {
    ResetPlatformForTest(0);
    bool exists = false;
    HANDLE lock = platform::CreateMutex("Tessera:ElMutex", &exists);
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = platform::DefWindowProc;
    windowClass.lpszClassName = "DEFAULT";
    platform::RegisterClass(windowClass);
    return {lock, platform::CreateWindowEx(0, "DEFAULT", "Tessera", 0, 0, 0, 10, 10)};
}

TEST(MainLoop, SecondCopyRaisesTheFirstWindowAndReturnsAtOnce) {
    const auto [first, firstWindow] = StartFirstCopy();
    ASSERT_NE(first, nullptr);
    int raisesBefore = platform::headless::RaiseCount();

    EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWNORMAL), 0);
    EXPECT_EQ(platform::headless::RaiseCount(), raisesBefore + 1);
    EXPECT_EQ(platform::MainWindow(), firstWindow); // no second window
    platform::ReleaseMutex(first);
}

// The program's own end: the second copy names the program and the process
// whose window it raised, and ends with 0.
TEST(MainLoop, ASecondCopySaysWhoseWindowItRaisedAndEndsWithZero) {
    const auto [first, firstWindow] = StartFirstCopy();
    ASSERT_NE(first, nullptr);
    char program[] = "tessera";
    char* argv[] = {program, nullptr};

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(elSystem::RunProgram(1, argv), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, std::string(platform::CommandName()) +
                        ": Tessera is running already; raised its window (process " +
                        std::to_string(getpid()) + ")\n");
    platform::DestroyWindow(firstWindow);
    platform::ReleaseMutex(first);
}

TEST(MainLoop, ClosingTheWindowShutsDownOnceAndReleasesTheGuard) {
    Script script;
    script.Frames(2);
    EXPECT_EQ(script.Run(), 0);
    EXPECT_EQ(ShutDownDone, 1);
    EXPECT_EQ(CloseStage, 2);
    EXPECT_EQ(platform::MainWindow(), nullptr);
    bool exists = false;
    HANDLE again = platform::CreateMutex("Tessera:ElMutex", &exists);
    EXPECT_NE(again, nullptr);
    EXPECT_FALSE(exists);
    platform::ReleaseMutex(again);
}

TEST(MainLoop, ShutdownFromCodePostsOneCloseAndRunsOnce) {
    int closesSeen = 0;
    Script script;
    script.Frames(1)
        .Do([&] {
            EXPECT_EQ(elSystem::Shutdown(), 1);
            EXPECT_EQ(elSystem::Shutdown(), 1);
            closesSeen = platform::QueuedMessageCount();
        })
        .Frames(1);
    EXPECT_EQ(script.Run(), 0);
    EXPECT_EQ(closesSeen, 1);
    EXPECT_EQ(CloseStage, 2);
    // The posted close destroyed the window before another frame could run.
    EXPECT_EQ(SceneFrames.size(), 1u);
}

TEST(MainLoop, ShutdownReleasesEveryModuleOnlyOnce) {
    Script script;
    script.Do([] { elDraw::Screen(1024, 768, 1); }).Frames(2);
    EXPECT_EQ(script.Run(), 0);
    EXPECT_EQ(elSystem::IsCursorClipped(), 0);
    EXPECT_EQ(elText::FontDesc, nullptr);
    EXPECT_EQ(elDraw::BackBuffer, nullptr);
    EXPECT_FALSE(platform::DisplayOpen());
    // A second shutdown finds the work done and releases nothing.
    elDraw::Screen(64, 64, 1);
    EXPECT_EQ(elSystem::Shutdown(), 1);
    EXPECT_NE(elDraw::BackBuffer, nullptr);
    EXPECT_EQ(elSystem::IsCursorClipped(), 1);
    elDraw::Quit();
}

} // namespace
