// State the desktop backend's files share: the one real window.
#pragma once

#include "platform/messages.h"

#include <SDL.h>

namespace platform::desktop {

// The framework window that has a real window, or null.
HWND CurrentWindow();
SDL_Window* CurrentSdlWindow();
// Logical screen size the window draws and reports pointer positions in.
int LogicalWidth();
int LogicalHeight();
// Showing the window activates it; activation messages then follow focus.
void SetWindowActive(bool active);
// Whether another copy has asked us to raise the window since the last call.
bool TakeRaiseRequest();

} // namespace platform::desktop
