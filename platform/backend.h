// What each backend (desktop or headless) supplies to the shared platform code.
// Exactly one backend library is linked into a program.
#pragma once

#include "platform/display.h"
#include "platform/messages.h"

#include <cstdint>
#include <string>

namespace platform {

// Unsigned 32-bit millisecond clock; wraps after about 49.7 days.
std::uint32_t timeGetTime();

namespace backend {

// Moves waiting events into the message queue. With `block`, waits until at
// least one message has been queued.
void PumpEvents(bool block);

// Gives the window its native counterpart. Returns false when that is
// impossible (no display); the window is then not created.
bool CreateNativeWindow(Window& window);
void ShowNativeWindow(Window& window);
void DestroyNativeWindow(Window& window);
void RaiseNativeWindow(Window& window);
void MinimizeNativeWindow(Window& window);
// Shows or hides the system pointer over the window.
void ShowNativePointer(bool visible);
// Switches composed text input on or off; returns whether it was on.
bool EnableTextInput(bool on);
// Size of the primary display.
int DisplayWidth();
int DisplayHeight();

// The display: which 16-bit layout to offer (5:5:5 instead of 5:6:5), a new
// mode's size, showing the primary surface, and the vertical-blank wait.
bool Prefers555();
void DisplayModeChanged(int width, int height);
// Shows the primary surface. `changed` bounds every pixel written since the
// last call that returned true; when it is empty the picture is the one shown.
// False when nothing can be shown now (the change is offered again).
bool ShowPrimary(const Surface& primary, const RECT& changed);
void WaitForVerticalBlank();

// Folder in which named locks and published windows are kept.
std::string LockFolder();

} // namespace backend
} // namespace platform
