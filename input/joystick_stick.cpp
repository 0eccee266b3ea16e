// The controller's stick as positions, directions and smoothed axes.
#include "input/input.h"
#include "input/joystick_read.h"
#include "system/system.h"

#include <algorithm>

namespace elInput {
namespace {

// -1 up to half the centre, +1 from half again past it, 0 between.
int Direction(int position, int centre) {
    if (position <= centre / 2) return -1;
    if (position >= centre / 2 + centre) return 1;
    return 0;
}

// Reads the stick into directions; false (and 0, 0) when the controller does not answer.
bool ReadDirection(int controller, int& x, int& y) {
    x = y = 0;
    if (!ReadJoy(controller, JOY_READ_STICK)) return false;
    x = Direction(static_cast<int>(JoyReading.dwXpos), JoyCentreX[controller]);
    y = Direction(static_cast<int>(JoyReading.dwYpos), JoyCentreY[controller]);
    return true;
}

// Moves a smoothed value by the frame's time: towards the stick's side, or back
// towards 0 without passing it.
float Smooth(float value, int direction, float speed) {
    const float step = speed * FrameSeconds;
    if (direction != 0) return std::clamp(value + step * direction, -100.0f, 100.0f);
    return value > 0.0f ? std::max(0.0f, value - step) : std::min(0.0f, value + step);
}

} // namespace

void JoyDirection(int controller, int& x, int& y) { ReadDirection(controller, x, y); }

int JoyDirection8(int controller) {
    int x, y;
    ReadDirection(controller, x, y);
    return 5 + x - 3 * y;
}

void JoyPosition(int controller, int& x, int& y) {
    const bool read = ReadJoy(controller, JOY_READ_STICK);
    x = read ? static_cast<int>(JoyReading.dwXpos) : 0;
    y = read ? static_cast<int>(JoyReading.dwYpos) : 0;
}

void JoyAxes(int controller, int& x, int& y) {
    int dx, dy;
    if (!ReadDirection(controller, dx, dy)) {
        x = y = 0;
        return;
    }
    JoyRecord& state = JoyState[controller];
    state.axisX = Smooth(state.axisX, dx, state.axisSpeed);
    state.axisY = Smooth(state.axisY, dy, state.axisSpeed);
    x = static_cast<int>(state.axisX);
    y = static_cast<int>(state.axisY);
}

} // namespace elInput
