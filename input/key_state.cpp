// Key states: the key's current up or down turned into an edge state.
#include "input/input.h"

#include "draw/draw.h"
#include "platform/messages.h"

namespace elInput {

void GetKey(int virtualKey, int* state) {
    // Bit 7 of the key-state word is set while the key is down.
    const bool down = (platform::GetKeyState(virtualKey) & 0x80) != 0;
    if (down)
        *state = *state == KEY_FREE ? KEY_PUSH : KEY_HOLD;
    else
        *state = (*state == KEY_PUSH || *state == KEY_HOLD) ? KEY_PULL : KEY_FREE;
    if (elDraw::FadeLevel != 0) *state = KEY_FREE;
}

} // namespace elInput
