// Controller buttons as levels, edge states and power.
#include "input/edge_state.h"
#include "input/input.h"
#include "input/joystick_read.h"
#include "system/system.h"

namespace elInput {
namespace {

bool ValidButton(int button) { return button >= 1 && button <= JOY_BUTTONS; }

// Button n (1 to 4) is bit n-1 of the mask last read.
bool Down(int button) { return (JoyReading.dwButtons >> (button - 1) & 1) != 0; }

float NextPower(float power, float rate, bool down) {
    if (!down) return 0.0f;
    power += rate * FrameSeconds;
    return power >= 100.0f ? 100.0f : power;
}

} // namespace

int JoyButton(int controller, int button) {
    if (!ValidButton(button) || !ReadJoy(controller, JOY_READ_BUTTONS)) return 0;
    return Down(button) ? 1 : 0;
}

void JoyButtons(int controller, int& b1, int& b2, int& b3, int& b4) {
    const bool read = ReadJoy(controller, JOY_READ_BUTTONS);
    int* out[JOY_BUTTONS] = {&b1, &b2, &b3, &b4};
    for (int button = 1; button <= JOY_BUTTONS; ++button)
        *out[button - 1] = read && Down(button) ? 1 : 0;
}

int GetJoyButton(int controller, int button) {
    if (!ValidButton(button) || !ReadJoy(controller, JOY_READ_BUTTONS)) return 0;
    int& state = JoyState[controller].button[button - 1];
    state = NextKeyState(state, Down(button));
    return state;
}

void GetJoyButtons(int controller, int& b1, int& b2, int& b3, int& b4) {
    const bool read = ReadJoy(controller, JOY_READ_BUTTONS);
    int* out[JOY_BUTTONS] = {&b1, &b2, &b3, &b4};
    for (int button = 1; button <= JOY_BUTTONS; ++button) {
        *out[button - 1] = 0;
        if (!read) continue;
        int& state = JoyState[controller].button[button - 1];
        state = NextKeyState(state, Down(button));
        *out[button - 1] = state;
    }
}

float JoyButtonPower(int controller, int button) {
    if (!ValidButton(button) || !ReadJoy(controller, JOY_READ_BUTTONS)) return 0.0f;
    JoyRecord& state = JoyState[controller];
    float& power = state.power[button - 1];
    power = NextPower(power, state.powerRate, Down(button));
    return power;
}

void JoyButtonsPower(int controller, int& p1, int& p2, int& p3, int& p4) {
    const bool read = ReadJoy(controller, JOY_READ_BUTTONS);
    int* out[JOY_BUTTONS] = {&p1, &p2, &p3, &p4};
    for (int button = 1; button <= JOY_BUTTONS; ++button) {
        *out[button - 1] = 0;
        if (!read) continue;
        JoyRecord& state = JoyState[controller];
        float& power = state.power[button - 1];
        power = NextPower(power, state.powerRate, Down(button));
        *out[button - 1] = static_cast<int>(power);
    }
}

} // namespace elInput
