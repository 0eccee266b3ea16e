// The window procedure's rules, message by message.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "system/input_state.h"
#include "tests/scripted_run.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class WindowProc : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetPlatformForTest(0);
        elSystem::FrameworkReset();
        WNDCLASS windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = elSystem::WindowProc;
        windowClass.lpszClassName = "DEFAULT";
        platform::RegisterClass(windowClass);
        window = platform::CreateWindowEx(0, "DEFAULT", "Tessera", 0, 0, 0, 1024, 768);
        MainWindowHandle = window;
        ShutDownDone = 0;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return platform::SendMessage(window, message, wParam, lParam);
    }
    HWND window = nullptr;
};

TEST_F(WindowProc, SecondQuickPressIsOnlyADoubleClick) {
    Send(WM_LBUTTONDOWN);
    EXPECT_EQ(LeftClick, 1);
    EXPECT_EQ(LeftHeld, 1);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(LeftHeld, 0);
    LeftClick = 0; // the frame's end clears clicks
    EXPECT_EQ(Send(WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(LeftDoubleClick, 1);
    EXPECT_EQ(LeftClick, 0);
    EXPECT_EQ(LeftHeld, 0);
    Send(WM_RBUTTONDBLCLK);
    EXPECT_EQ(RightDoubleClick, 1);
    EXPECT_EQ(RightHeld, 0);
}

TEST_F(WindowProc, ButtonRecordsFollowTheLastPress) {
    Send(WM_LBUTTONDOWN);
    Send(WM_RBUTTONDOWN);
    EXPECT_EQ(ButtonDown, 2);
    EXPECT_EQ(LastButton, 2);
    Send(WM_LBUTTONUP); // not the button recorded as down
    EXPECT_EQ(ButtonDown, 2);
    Send(WM_RBUTTONUP);
    EXPECT_EQ(ButtonDown, 0);
    EXPECT_EQ(LastButton, 2);
    EXPECT_EQ(LeftPressedOnce, 1);
    EXPECT_EQ(RightPressedOnce, 1);
}

TEST_F(WindowProc, KeyDownFollowsTheLastPressedKey) {
    Send(WM_KEYDOWN, 'A');
    Send(WM_KEYDOWN, 'B');
    EXPECT_EQ(KeyDown, 'B');
    Send(WM_KEYUP, 'A');
    EXPECT_EQ(KeyDown, 'B');
    Send(WM_KEYUP, 'B');
    EXPECT_EQ(KeyDown, 0);
    EXPECT_EQ(LastKey, 'B');
}

TEST_F(WindowProc, ShiftReleasesToggleAndWatchedKeysCount) {
    WatchedKey = 'Q';
    for (int i = 0; i < 3; ++i) Send(WM_KEYUP, VK_SHIFT);
    EXPECT_EQ(ShiftToggle, 1);
    Send(WM_KEYUP, 'Q');
    Send(WM_KEYUP, 'Q');
    EXPECT_EQ(WatchedKeyCount, 2);
}

TEST_F(WindowProc, MovePositionsAreSignedAndMousePositionsUnsigned) {
    ScreenWidth = 1024;
    ScreenHeight = 768;
    Send(WM_MOVE, 0, MAKELPARAM(-5, -10));
    EXPECT_EQ(ClientX, -5);
    EXPECT_EQ(ClientY, -10);
    EXPECT_EQ(PresentRect.left, -5);
    EXPECT_EQ(PresentRect.top, -10);
    EXPECT_EQ(PresentRect.right, 1019);
    EXPECT_EQ(PresentRect.bottom, 758);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(65535, 32768));
    EXPECT_EQ(MouseX, 65535);
    EXPECT_EQ(MouseY, 32768);
}

TEST_F(WindowProc, SystemKeysAreSwallowedSoAltF4DoesNotClose) {
    Send(WM_KEYDOWN, 'C');
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F4, 1 << 29), 0);
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F10), 0);
    EXPECT_EQ(KeyDown, 'C');
    EXPECT_EQ(platform::MainWindow(), window);
    EXPECT_EQ(CloseStage, 0);
}

TEST_F(WindowProc, ScreenSaverIsRefusedButOtherCommandsWork) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE | 0x3), 0);
    EXPECT_EQ(platform::MainWindow(), window);
    Send(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(CloseStage, 2);
    EXPECT_EQ(ShutDownDone, 1);
    EXPECT_EQ(platform::MainWindow(), nullptr);
    MSG msg;
    ASSERT_TRUE(platform::PeekMessage(&msg));
    EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(WindowProc, PointerIsHiddenUnlessABoxIsShown) {
    EXPECT_EQ(Send(WM_SETCURSOR), 1);
    EXPECT_FALSE(platform::CursorVisible());
    BoxShown = 1;
    Send(WM_SETCURSOR);
    EXPECT_TRUE(platform::CursorVisible());
}

TEST_F(WindowProc, ActivationStopsAndRestartsTheClock) {
    platform::headless::SetClock(500);
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(AppActive, 0);
    FrameSeconds = 3.0f;
    platform::headless::SetClock(9000);
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(AppActive, 1);
    EXPECT_EQ(FrameSeconds, 0.0f);
    EXPECT_EQ(LastFrameTime, 9000u);
}

TEST_F(WindowProc, KeyStateTableFollowsMessagesTakenFromTheQueue) {
    platform::PostMessage(window, WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_EQ(platform::GetKeyState(VK_CONTROL) & 0x8000, 0); // not taken yet
    MSG msg;
    ASSERT_TRUE(platform::PeekMessage(&msg));
    EXPECT_NE(platform::GetKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_EQ(platform::GetKeyState(VK_CONTROL) & 1, 1);
    platform::PostMessage(window, WM_KEYUP, VK_CONTROL, 0);
    ASSERT_TRUE(platform::PeekMessage(&msg));
    EXPECT_EQ(platform::GetKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_EQ(platform::GetKeyState(VK_CONTROL) & 1, 1); // toggle stays
}

TEST(WindowProcOverlay, OverlayScrollsOnlyWhileItsKeyIsHeld) {
    std::vector<float> positions;
    Script script;
    script
        .Do([&] {
            ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
            elDraw::ScrollerHeight = 2000;
            elDraw::ScrollerPosition = 0;
            elDraw::ToggleScroller();
            SceneHook = [&] {
                elDraw::Refresh();
                positions.push_back(elDraw::ScrollerPosition);
            };
        })
        .Post(WM_KEYDOWN, VK_DOWN)
        .Frames(2, 125)        // 12.5 pixels a frame
        .Post(WM_KEYUP, VK_UP) // another key's release changes nothing
        .Frames(1, 125)
        .Post(WM_KEYUP, VK_DOWN)
        .Frames(2, 125)
        .Do([] { elDraw::ToggleScroller(); });
    ASSERT_EQ(script.Run(), 0);
    EXPECT_EQ(positions, (std::vector<float>{12.5f, 25, 37.5f, 37.5f, 37.5f}));
}

} // namespace
