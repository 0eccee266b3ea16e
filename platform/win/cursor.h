// Confinement of the pointer to a rectangle of the screen.
#pragma once

#include "platform/win/display.h"

namespace platform {

// Keeps the pointer inside `rect` (screen pixels; right and bottom excluded).
// Null frees it.
void ClipCursor(const RECT* rect);
// The rectangle the pointer is kept in. False, leaving `out` alone, while it is free.
bool CursorClip(RECT* out);
// Moves the pointer to (x, y) in screen pixels, kept inside the confinement.
BOOL SetCursorPos(int x, int y);
} // namespace platform
