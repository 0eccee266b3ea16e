// Game controllers read through the multimedia library's joystick calls.
#pragma once

#include "platform/win/win_defs.h"

namespace platform {

// One reading of a controller; dwSize must be sizeof(JOYINFOEX) (52 bytes).
// Positions run from 0 to 65535 with the rest position near 32767.
struct JOYINFOEX {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwXpos;
    DWORD dwYpos;
    DWORD dwZpos;
    DWORD dwRpos;
    DWORD dwUpos;
    DWORD dwVpos;
    DWORD dwButtons;      // button n is bit n-1
    DWORD dwButtonNumber; // how many buttons are down
    DWORD dwPOV;          // hundredths of a degree clockwise from forward, or JOY_POVCENTERED
    DWORD dwReserved1;
    DWORD dwReserved2;
};
static_assert(sizeof(JOYINFOEX) == 52);

// Which fields a read fills (dwFlags).
constexpr DWORD JOY_RETURNX = 0x1;
constexpr DWORD JOY_RETURNY = 0x2;
constexpr DWORD JOY_RETURNZ = 0x4;
constexpr DWORD JOY_RETURNR = 0x8;
constexpr DWORD JOY_RETURNU = 0x10;
constexpr DWORD JOY_RETURNV = 0x20;
constexpr DWORD JOY_RETURNPOV = 0x40;
constexpr DWORD JOY_RETURNBUTTONS = 0x80;
constexpr DWORD JOY_RETURNALL = 0xFF;
constexpr DWORD JOY_USEDEADZONE = 0x800;

constexpr DWORD JOY_POVCENTERED = 0xFFFF;
constexpr DWORD JOY_POVFORWARD = 0;
constexpr DWORD JOY_POVRIGHT = 9000;
constexpr DWORD JOY_POVBACKWARD = 18000;
constexpr DWORD JOY_POVLEFT = 27000;

constexpr UINT JOYSTICKID1 = 0;
constexpr UINT JOYSTICKID2 = 1;

constexpr UINT JOYERR_NOERROR = 0;
constexpr UINT JOYERR_PARMS = 165;
constexpr UINT JOYERR_UNPLUGGED = 167;

// Reads controller `id` into `info` as dwFlags asks. JOYERR_PARMS for a null
// record, a wrong dwSize or an id above 15; JOYERR_UNPLUGGED when no controller
// answers under that id.
UINT joyGetPosEx(UINT id, JOYINFOEX* info);
// Looks for controllers again: ones plugged in since the last call get ids.
UINT joyConfigChanged(DWORD flags);
} // namespace platform
