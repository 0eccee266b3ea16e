// Confining and moving the pointer, and the display's colour depth.
#include "platform/win/cursor.h"
#include "platform/win/display.h"
#include "system/input_state.h"
#include "system/system.h"

int CursorClipped;

namespace elSystem {

void ClipCursor(int left, int top, int right, int bottom) {
    platform::RECT rect{left, top, right, bottom};
    platform::ClipCursor(&rect);
    CursorClipped = 1;
}

void ClipCursorToScreen() { ClipCursor(0, 0, ScreenWidth, ScreenHeight); }

void UnclipCursor() {
    platform::ClipCursor(nullptr);
    CursorClipped = 0;
}

int IsCursorClipped() { return CursorClipped; }

int ColorDepth() { return platform::DisplayBitsPerPixel(); }

void SetCursorPos(int x, int y) { platform::SetCursorPos(x + ClientX, y + ClientY); }

} // namespace elSystem
