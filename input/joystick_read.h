// The one reading record that every controller read fills.
#pragma once

#include "platform/win/joystick.h"

namespace elInput {

// Everything, the buttons only, or the stick's X and Y.
constexpr DWORD JOY_READ_ALL = platform::JOY_RETURNALL | platform::JOY_USEDEADZONE;
constexpr DWORD JOY_READ_BUTTONS = platform::JOY_RETURNBUTTONS;
constexpr DWORD JOY_READ_STICK =
    platform::JOY_RETURNX | platform::JOY_RETURNY | platform::JOY_USEDEADZONE;

extern platform::JOYINFOEX JoyReading;

// Reads `controller` into JoyReading; false when it is not 0 or 1 or does not answer.
bool ReadJoy(int controller, DWORD flags);

} // namespace elInput
