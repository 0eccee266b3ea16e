// Controllers: the shared reading, start-up, calibration and speeds.
#include "input/input.h"
#include "input/joystick_read.h"

namespace elInput {

JoyRecord JoyState[JOY_CONTROLLERS];
int JoyCentreX[JOY_CONTROLLERS];
int JoyCentreY[JOY_CONTROLLERS];
platform::JOYINFOEX JoyReading;

bool ReadJoy(int controller, DWORD flags) {
    if (controller < 0 || controller >= JOY_CONTROLLERS) return false;
    JoyReading.dwSize = sizeof(JoyReading);
    JoyReading.dwFlags = flags;
    return platform::joyGetPosEx(static_cast<UINT>(controller), &JoyReading) ==
           platform::JOYERR_NOERROR;
}

void InitJoystick() {
    platform::joyConfigChanged(0);
    Calibrate();
    for (JoyRecord& state : JoyState) state = {};
}

void Calibrate() {
    for (int controller = 0; controller < JOY_CONTROLLERS; ++controller) {
        const bool read = ReadJoy(controller, JOY_READ_ALL);
        JoyCentreX[controller] = read ? static_cast<int>(JoyReading.dwXpos) : 0;
        JoyCentreY[controller] = read ? static_cast<int>(JoyReading.dwYpos) : 0;
    }
}

void ResetJoystick() {
    for (JoyRecord& state : JoyState) {
        state.axisX = state.axisY = 0.0f;
        for (float& power : state.power) power = 0.0f;
    }
}

void SetJoySpeed(int controller, float axisSpeed, float powerRate) {
    if (controller < 0 || controller >= JOY_CONTROLLERS) return;
    JoyState[controller].axisSpeed = axisSpeed;
    JoyState[controller].powerRate = powerRate;
}

void GetJoyCentre(int controller, int& x, int& y) {
    const bool known = controller >= 0 && controller < JOY_CONTROLLERS;
    x = known ? JoyCentreX[controller] : 0;
    y = known ? JoyCentreY[controller] : 0;
}

} // namespace elInput
