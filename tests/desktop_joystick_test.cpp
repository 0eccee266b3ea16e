// Game controllers on the desktop backend, through a virtual controller that
// SDL offers in place of a real one: hot-plugging, positions and buttons.
#include "input/input.h"
#include "platform/win/joystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class DesktopJoystick : public ::testing::Test {
  protected:
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override {
        elInput::InitJoystick(); // starts SDL's controllers
        if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real controller is attached";
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        stick = SDL_JoystickOpen(index);
        ASSERT_NE(stick, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (stick) SDL_JoystickClose(stick);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }

    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(stick, axis, value), 0);
    }
    void Button(SDL_GameControllerButton button, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, button, down), 0);
    }

    int index = -1;
    SDL_Joystick* stick = nullptr;
};

TEST_F(DesktopJoystick, PluggedInControllerAnswersFromTheNextInit) {
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -1000);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 2000);
    SDL_JoystickUpdate();
    EXPECT_EQ(elInput::JoyDirection8(0), 5);
    int x = 1, y = 1;
    elInput::JoyPosition(0, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(0, 0)); // not yet numbered

    elInput::InitJoystick();
    elInput::GetJoyCentre(0, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(32768 - 1000, 32768 + 2000));
    EXPECT_EQ(elInput::JoyCentreX[1], 0);

    // Fully right and up.
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    elInput::JoyPosition(0, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(65535, 0));
    EXPECT_EQ(elInput::JoyDirection8(0), 9);

    // A, B, X, Y are buttons 1 to 4.
    Button(SDL_CONTROLLER_BUTTON_B, true);
    Button(SDL_CONTROLLER_BUTTON_Y, true);
    int b1, b2, b3, b4;
    elInput::JoyButtons(0, b1, b2, b3, b4);
    EXPECT_EQ((std::vector<int>{b1, b2, b3, b4}), (std::vector<int>{0, 1, 0, 1}));

    // The whole reading: triggers share Z, the pad is the point of view.
    Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, -32768);
    Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Button(SDL_CONTROLLER_BUTTON_START, true);
    platform::JOYINFOEX all{};
    all.dwSize = sizeof(all);
    all.dwFlags = platform::JOY_RETURNALL;
    ASSERT_EQ(platform::joyGetPosEx(0, &all), platform::JOYERR_NOERROR);
    EXPECT_EQ(all.dwZpos, 65534u);
    EXPECT_EQ(all.dwUpos, 0u);
    EXPECT_EQ(all.dwPOV, 22500u);
    EXPECT_EQ(all.dwButtons, 0x8Au);
    EXPECT_EQ(all.dwButtonNumber, 3u);

    // Unplugged: the reads fail at once.
    SDL_JoystickClose(stick);
    stick = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    index = -1;
    EXPECT_EQ(platform::joyGetPosEx(0, &all), platform::JOYERR_UNPLUGGED);
    EXPECT_EQ(elInput::JoyDirection8(0), 5);
}

} // namespace
