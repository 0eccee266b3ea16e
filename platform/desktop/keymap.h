// Keys of the desktop's keyboard as the framework's virtual-key codes.
#pragma once

#include <SDL.h>

namespace platform::desktop {

// The virtual-key code for a key, or 0 for keys the framework has no code for.
int VirtualKeyOf(SDL_Keycode key);

} // namespace platform::desktop
