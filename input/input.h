// elInput: four-state key polling on the platform's key-state table.
#pragma once

// Key states, kept in variables the caller owns and advanced by elInput::GetKey.
constexpr int KEY_FREE = 0; // up, and the release was already reported
constexpr int KEY_PUSH = 1; // down, and was free at the previous poll
constexpr int KEY_PULL = 2; // up, and was down at the previous poll
constexpr int KEY_HOLD = 3; // down, and was not free at the previous poll

namespace elInput {

// Advances *state by whether the virtual key is down now. While a screen fade
// runs every key reads KEY_FREE. Call once per frame for each watched key.
void GetKey(int virtualKey, int* state);

} // namespace elInput
