// The step from one edge state to the next, shared by keys and controller buttons.
#pragma once

namespace elInput {

// The state that follows `state` when the key or button is `down` now; always
// KEY_FREE while a screen fade runs.
int NextKeyState(int state, bool down);

} // namespace elInput
