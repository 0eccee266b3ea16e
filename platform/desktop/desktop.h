// State the desktop backend's files share: the one real window.
#pragma once

#include "platform/win/messages.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace platform::desktop {

// The framework window that has a real window, or null.
HWND CurrentWindow();
SDL_Window* CurrentSdlWindow();
SDL_Renderer* CurrentRenderer();
// Logical screen size the window draws and reports pointer positions in: the
// display mode's size (1024 x 768 until a mode is set).
int LogicalWidth();
int LogicalHeight();
void SetLogicalSize(int width, int height);
// Showing the window activates it; activation messages then follow focus.
void SetWindowActive(bool active);
// Whether another copy has asked us to raise the window since the last call.
bool TakeRaiseRequest();
// The renderer for the window: the accelerated one, unless its OpenGL runs on
// the processor; then SDL's own software renderer. Null when there is none.
SDL_Renderer* CreateRenderer(SDL_Window* window);
// Drops what the present keeps for the renderer, which is going away.
void ForgetRenderer();
// The window system lost what the window shows: the next present sends the
// whole picture, changed or not.
void RepaintWindow();
// Whether presents wait for the display's vertical blank: the renderer was made
// so, and its presents are not seen returning faster than the display refreshes.
bool PresentInStep();
// Tries these sound fonts for MIDI music instead of the installed ones (for
// tests; only before the synthesiser is first used, by the first tune opened).
void UseSoundFonts(std::vector<std::string> paths);

} // namespace platform::desktop
