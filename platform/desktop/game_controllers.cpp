// Game controllers on SDL, numbered in the order SDL lists them when the
// configuration is looked at again. Positions are SDL's axis values moved to
// 0..65535; the buttons come in the order A, B, X, Y, left and right shoulder,
// back, start, left and right stick.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/win/joystick.h"

#include <SDL.h>

#include <algorithm>

namespace platform {
namespace {

constexpr int CONTROLLER_IDS = 16;
SDL_GameController* controllers[CONTROLLER_IDS] = {};
bool started = false;

constexpr SDL_GameControllerButton BUTTON_ORDER[] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
};

DWORD Position(SDL_GameController* controller, SDL_GameControllerAxis axis) {
    return static_cast<DWORD>(SDL_GameControllerGetAxis(controller, axis) + 32768);
}

// The pad's direction as a point of view: hundredths of a degree clockwise.
DWORD PointOfView(SDL_GameController* controller) {
    auto held = [&](SDL_GameControllerButton button) {
        return SDL_GameControllerGetButton(controller, button) != 0;
    };
    const int x = held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) - held(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    const int y = held(SDL_CONTROLLER_BUTTON_DPAD_DOWN) - held(SDL_CONTROLLER_BUTTON_DPAD_UP);
    // Indexed by (y + 1) * 3 + (x + 1).
    constexpr DWORD angles[9] = {31500,       JOY_POVFORWARD,  4500,
                                 JOY_POVLEFT, JOY_POVCENTERED, JOY_POVRIGHT,
                                 22500,       JOY_POVBACKWARD, 13500};
    return angles[(y + 1) * 3 + (x + 1)];
}

} // namespace

namespace backend {

void FindJoysticks() {
    if (!started) {
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
        // Readings are taken on request, so the event queue need not carry them.
        SDL_GameControllerEventState(SDL_IGNORE);
        SDL_JoystickEventState(SDL_IGNORE);
        started = true;
    }
    for (SDL_GameController*& controller : controllers) {
        if (controller) SDL_GameControllerClose(controller);
        controller = nullptr;
    }
    // Lets SDL notice devices plugged in or out since it last looked.
    SDL_GameControllerUpdate();
    int id = 0;
    for (int index = 0; index < SDL_NumJoysticks() && id < CONTROLLER_IDS; ++index) {
        if (!SDL_IsGameController(index)) continue;
        if (SDL_GameController* controller = SDL_GameControllerOpen(index))
            controllers[id++] = controller;
    }
}

bool ReadJoystick(UINT id, JOYINFOEX& reading) {
    if (id >= CONTROLLER_IDS || !controllers[id]) return false;
    SDL_GameController* controller = controllers[id];
    SDL_GameControllerUpdate();
    if (!SDL_GameControllerGetAttached(controller)) return false;
    reading.dwXpos = Position(controller, SDL_CONTROLLER_AXIS_LEFTX);
    reading.dwYpos = Position(controller, SDL_CONTROLLER_AXIS_LEFTY);
    // Both triggers on one axis: the left one up from the middle, the right one down.
    const int left = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    const int right = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    reading.dwZpos = static_cast<DWORD>(std::clamp(32767 + left - right, 0, 65535));
    reading.dwRpos = Position(controller, SDL_CONTROLLER_AXIS_RIGHTY);
    reading.dwUpos = Position(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    reading.dwVpos = 0;
    reading.dwButtons = 0;
    for (DWORD bit = 0; bit < std::size(BUTTON_ORDER); ++bit)
        if (SDL_GameControllerGetButton(controller, BUTTON_ORDER[bit]))
            reading.dwButtons |= DWORD{1} << bit;
    reading.dwPOV = PointOfView(controller);
    return true;
}

} // namespace backend
} // namespace platform
