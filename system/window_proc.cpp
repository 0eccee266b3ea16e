// The window procedure: window messages become the input variables that a
// frame reads.
#include "draw/draw.h"
#include "platform/win/mci.h"
#include "platform/win/messages.h"
#include "sound/midi.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstdint>

int MouseX, MouseY;
int LeftHeld, RightHeld;
int LeftClick, RightClick;
int LeftDoubleClick, RightDoubleClick;
int WheelDelta;
int LeftPressedOnce, RightPressedOnce;
int ButtonDown;
int LastButton;
int KeyDown;
int LastKey;
int ShiftToggle;
int AltKeyMode;
int ClientX, ClientY;
int WatchedKey;
int WatchedKeyCount;
PresentRectangle PresentRect;
int ScreenWidth, ScreenHeight;
int (*ProgramMayClose)();

namespace elSystem {

namespace {

// A close from outside lets the program keep the window open; the one that a
// shutdown from code posts does not ask.
void HandleClose(HWND window) {
    if (CloseStage == 0 && ProgramMayClose && !ProgramMayClose()) return;
    if (CloseStage == 0) CloseStage = 1;
    if (CloseStage < 2) Shutdown();
    platform::DestroyWindow(window);
}

} // namespace

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        platform::PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        // Client origins left of or above the display are negative.
        ClientX = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        ClientY = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        PresentRect = {ClientX, ClientY, ClientX + ScreenWidth, ClientY + ScreenHeight};
        break;
    case WM_CLOSE:
        HandleClose(window);
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam == 0) {
            AppActive = 0;
        } else {
            AppActive = 1;
            ResetTimer();
        }
        return 0;
    case WM_SETCURSOR:
        if (BoxShown) break;
        platform::SetCursorVisible(false);
        return 1;
    case WM_KEYDOWN:
        // While the scrolling overlay is on, keys steer it and reach nothing else.
        if (elDraw::ScrollerOn) {
            elDraw::ScrollerKey = static_cast<int>(wParam);
            break;
        }
        KeyDown = static_cast<int>(wParam);
        LastKey = static_cast<int>(wParam);
        break;
    case WM_KEYUP:
        // The overlay scrolls only while its key is held.
        if (static_cast<int>(wParam) == elDraw::ScrollerKey) elDraw::ScrollerKey = 0;
        if (static_cast<int>(wParam) == KeyDown) KeyDown = 0;
        if (wParam == VK_SHIFT) ShiftToggle ^= 1;
        if (static_cast<int>(wParam) == WatchedKey) ++WatchedKeyCount;
        break;
    case WM_SYSKEYDOWN:
        // Alt combinations and F10 are swallowed: Alt+F4 and the menu key do nothing.
        if (AltKeyMode == 0) return 0;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
        break;
    case WM_MOUSEMOVE:
        MouseX = LOWORD(static_cast<std::uintptr_t>(lParam));
        MouseY = HIWORD(static_cast<std::uintptr_t>(lParam));
        break;
    case WM_LBUTTONDOWN:
        LeftHeld = LeftClick = LeftPressedOnce = 1;
        ButtonDown = LastButton = 1;
        break;
    case WM_LBUTTONUP:
        LeftHeld = 0;
        if (ButtonDown == 1) ButtonDown = 0;
        break;
    case WM_LBUTTONDBLCLK:
        LeftDoubleClick = 1;
        return 0;
    case WM_RBUTTONDOWN:
        RightHeld = RightClick = RightPressedOnce = 1;
        ButtonDown = LastButton = 2;
        break;
    case WM_RBUTTONUP:
        RightHeld = 0;
        if (ButtonDown == 2) ButtonDown = 0;
        break;
    case WM_RBUTTONDBLCLK:
        RightDoubleClick = 1;
        return 0;
    case WM_MOUSEWHEEL:
        WheelDelta += static_cast<std::int16_t>(HIWORD(wParam));
        return 0;
    case MM_MCINOTIFY:
        // A pass of the tune has ended; the device's mode tells whether it has
        // really stopped (a tune played anew since then reads "playing").
        if (wParam == platform::MCI_NOTIFY_SUCCESSFUL && elMidi::MidiOpen == 1) {
            char mode[32];
            platform::mciSendStringA("status midi mode", mode, sizeof mode, nullptr);
            if (mode[0] == 's' && mode[1] == 't') elMidi::OnNotify();
        }
        break;
    default:
        break;
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
}

} // namespace elSystem
