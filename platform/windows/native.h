// What the native backend's files share: the real window that shows the
// logical screen, scaled to fit and centred.
#pragma once

#include "platform/win/display.h"
#include "platform/win/messages.h"

#include "platform/win/win32.h"

#include <vector>

namespace platform::windows {

// The system's window behind a framework window; null for none.
::HWND NativeOf(HWND window);
// The framework window that shows the screen, or null.
HWND ScreenWindow();

// Size of the logical screen the window shows: the display mode's (1024 x 768
// until a mode is set).
int LogicalWidth();
int LogicalHeight();
void SetLogicalSize(int width, int height);

// Where the logical screen lies in the window's client area: scaled by the
// same factor both ways, as large as fits, centred.
struct Letterbox {
    int left, top, width, height;
};
Letterbox LetterboxIn(::HWND window);
// A client-area point as a point of the logical screen, held on the screen.
::POINT ToLogical(::HWND window, int x, int y);
// A point of the logical screen as a point of the display.
::POINT ToDisplay(::HWND window, int x, int y);

// Draws the last picture again, whole: the window was uncovered or resized.
void RepaintWindow(::HWND window);

} // namespace platform::windows
