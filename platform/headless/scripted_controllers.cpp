// Scripted game controllers: a test sets what each one reads. As on the
// desktop, a controller plugged in gets its id when the configuration is looked
// at again; one unplugged fails at once.
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/joystick.h"

namespace platform {
namespace {

constexpr UINT CONTROLLER_IDS = 16;

struct Scripted {
    bool plugged = false;
    bool numbered = false;
    DWORD x = 0, y = 0, buttons = 0;
};
Scripted controllers[CONTROLLER_IDS];

} // namespace

namespace headless {

void SetJoystick(unsigned id, unsigned x, unsigned y, unsigned buttons) {
    if (id >= CONTROLLER_IDS) return;
    Scripted& controller = controllers[id];
    controller.plugged = true;
    controller.x = x;
    controller.y = y;
    controller.buttons = buttons;
}

void UnplugJoystick(unsigned id) {
    if (id < CONTROLLER_IDS) controllers[id] = {};
}

} // namespace headless

namespace backend {

void FindJoysticks() {
    for (Scripted& controller : controllers) controller.numbered = controller.plugged;
}

bool ReadJoystick(UINT id, JOYINFOEX& reading) {
    if (id >= CONTROLLER_IDS || !controllers[id].numbered) return false;
    const Scripted& controller = controllers[id];
    reading.dwXpos = controller.x;
    reading.dwYpos = controller.y;
    reading.dwZpos = reading.dwRpos = reading.dwUpos = 32767;
    reading.dwVpos = 0;
    reading.dwButtons = controller.buttons;
    reading.dwPOV = JOY_POVCENTERED;
    return true;
}

} // namespace backend
} // namespace platform
