// Game controllers through the system's own joystick calls.
#include "platform/win/joystick.h"
#include "platform/backend.h"

#include "platform/win/win32.h"

namespace platform::backend {

bool ReadJoystick(UINT id, JOYINFOEX& reading) {
    ::JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    if (::joyGetPosEx(id, &info) != JOYERR_NOERROR) return false;
    reading.dwXpos = info.dwXpos;
    reading.dwYpos = info.dwYpos;
    reading.dwZpos = info.dwZpos;
    reading.dwRpos = info.dwRpos;
    reading.dwUpos = info.dwUpos;
    reading.dwVpos = info.dwVpos;
    reading.dwButtons = info.dwButtons;
    reading.dwPOV = info.dwPOV;
    return true;
}

// The system numbers controllers as they come and go.
void FindJoysticks() {}

} // namespace platform::backend
