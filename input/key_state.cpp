// Key states: the key's current up or down turned into an edge state.
#include "input/edge_state.h"
#include "input/input.h"

#include "draw/draw.h"
#include "platform/win/messages.h"

namespace elInput {

int NextKeyState(int state, bool down) {
    if (elDraw::FadeLevel != 0) return KEY_FREE;
    if (down) return state == KEY_FREE ? KEY_PUSH : KEY_HOLD;
    return (state == KEY_PUSH || state == KEY_HOLD) ? KEY_PULL : KEY_FREE;
}

void GetKey(int virtualKey, int* state) {
    // Bit 7 of the key-state word is set while the key is down.
    *state = NextKeyState(*state, (platform::GetKeyState(virtualKey) & 0x80) != 0);
}

} // namespace elInput
