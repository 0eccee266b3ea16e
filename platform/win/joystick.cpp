// The joystick calls: a controller's whole reading from the backend, handed out
// as the caller's flags ask.
#include "platform/win/joystick.h"

#include "platform/backend.h"

#include <bit>

namespace platform {

namespace {
constexpr UINT MAX_JOYSTICK_ID = 15;
}

UINT joyGetPosEx(UINT id, JOYINFOEX* info) {
    if (!info || info->dwSize != sizeof(JOYINFOEX) || id > MAX_JOYSTICK_ID) return JOYERR_PARMS;
    JOYINFOEX all{};
    if (!backend::ReadJoystick(id, all)) return JOYERR_UNPLUGGED;
    const DWORD flags = info->dwFlags;
    if (flags & JOY_RETURNX) info->dwXpos = all.dwXpos;
    if (flags & JOY_RETURNY) info->dwYpos = all.dwYpos;
    if (flags & JOY_RETURNZ) info->dwZpos = all.dwZpos;
    if (flags & JOY_RETURNR) info->dwRpos = all.dwRpos;
    if (flags & JOY_RETURNU) info->dwUpos = all.dwUpos;
    if (flags & JOY_RETURNV) info->dwVpos = all.dwVpos;
    if (flags & JOY_RETURNPOV) info->dwPOV = all.dwPOV;
    if (flags & JOY_RETURNBUTTONS) {
        info->dwButtons = all.dwButtons;
        info->dwButtonNumber = static_cast<DWORD>(std::popcount(all.dwButtons));
    }
    return JOYERR_NOERROR;
}

UINT joyConfigChanged(DWORD) {
    backend::FindJoysticks();
    return JOYERR_NOERROR;
}

} // namespace platform
