// Keys of the desktop's keyboard as the framework's virtual-key codes.
#pragma once

#include "platform/win/win_defs.h"

#include <SDL.h>

namespace platform::desktop {

// The virtual-key code for a key, or 0 for keys the framework has no code for.
int VirtualKeyOf(SDL_Keycode key);

// Scan code and extended flag of a key message (the bits from 16 up). Shift,
// Ctrl and Alt get the keyboard's own codes, which tell their sides apart;
// other keys carry SDL's scan code.
LPARAM KeyDataOf(SDL_Scancode scancode);

} // namespace platform::desktop
