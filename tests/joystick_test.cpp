// Game controllers on the headless backend's scripted controllers: calibration
// at screen set-up, buttons, power, directions and smoothed axes, driven through
// the frame loop where they depend on the frame's time.
#include "draw/draw.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "tests/scripted_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr unsigned MID = 32767;
constexpr unsigned BUTTON2 = 0x2;

class Joystick : public ::testing::Test {
  protected:
    void SetUp() override {
        for (unsigned id = 0; id < 16; ++id) platform::headless::UnplugJoystick(id);
        elDraw::FadeLevel = 0;
        elInput::InitJoystick();
    }
    void TearDown() override { elDraw::FadeLevel = 0; }

    // Plugs controller 0 in, resting, and calibrates it.
    static void PlugResting() {
        platform::headless::SetJoystick(0, MID, MID, 0);
        elInput::InitJoystick();
    }

    // Runs a frame that calls `start`, then one frame for each step (in ms) in
    // which `poll` runs with the frame's number from 1. Returns what each poll
    // returned.
    template <class T>
    static std::vector<T> Frames(const std::vector<std::uint32_t>& steps,
                                 std::function<T(int)> poll, std::function<void()> start) {
        std::vector<T> seen;
        int frame = 0;
        Script script;
        script.Do([&] {
            SceneHook = [&] {
                if (frame == 0)
                    start();
                else
                    seen.push_back(poll(frame));
                ++frame;
            };
        });
        script.Frames(1);
        for (std::uint32_t step : steps) script.Frames(1, step);
        EXPECT_EQ(script.Run(), 0);
        return seen;
    }
};

TEST_F(Joystick, NoControllerGivesZeroesAndCentre) {
    EXPECT_EQ(elInput::JoyCentreX[0], 0);
    EXPECT_EQ(elInput::JoyCentreY[1], 0);
    elInput::JoyState[0].button[1] = KEY_HOLD;
    elInput::JoyState[0].power[1] = 40.0f;
    elInput::JoyState[0].axisX = 30.0f;
    for (int controller : {0, 1, -1, 2}) {
        int a = 9, b = 9, c = 9, d = 9;
        EXPECT_EQ(elInput::JoyButton(controller, 2), 0);
        EXPECT_EQ(elInput::GetJoyButton(controller, 2), 0);
        EXPECT_EQ(elInput::JoyButtonPower(controller, 2), 0.0f);
        elInput::GetJoyButtons(controller, a, b, c, d);
        EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{0, 0, 0, 0}));
        a = b = c = d = 9;
        elInput::JoyButtonsPower(controller, a, b, c, d);
        EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{0, 0, 0, 0}));
        a = b = c = d = 9;
        elInput::JoyButtons(controller, a, b, c, d);
        EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{0, 0, 0, 0}));
        a = b = 9;
        elInput::JoyDirection(controller, a, b);
        EXPECT_EQ(std::pair(a, b), std::pair(0, 0));
        a = b = 9;
        elInput::JoyPosition(controller, a, b);
        EXPECT_EQ(std::pair(a, b), std::pair(0, 0));
        a = b = 9;
        elInput::JoyAxes(controller, a, b);
        EXPECT_EQ(std::pair(a, b), std::pair(0, 0));
        a = b = 9;
        elInput::GetJoyCentre(controller, a, b);
        EXPECT_EQ(std::pair(a, b), std::pair(0, 0));
        EXPECT_EQ(elInput::JoyDirection8(controller), 5);
    }
    // What was stored stays as it was.
    EXPECT_EQ(elInput::JoyState[0].button[1], KEY_HOLD);
    EXPECT_EQ(elInput::JoyState[0].power[1], 40.0f);
    EXPECT_EQ(elInput::JoyState[0].axisX, 30.0f);
}

TEST_F(Joystick, ScreenSetUpCalibratesControllersPluggedInBeforeIt) {
    platform::headless::SetJoystick(1, 30000, 34000, 0);
    elInput::JoyState[1].button[0] = KEY_HOLD;
    elInput::JoyState[1].axisSpeed = 7.0f;
    // Not seen until the configuration is looked at again.
    int x = 1, y = 1;
    elInput::JoyPosition(1, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(0, 0));

    elDraw::SetDepths(16, 0, 0);
    ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    elDraw::Quit();
    elInput::GetJoyCentre(1, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(30000, 34000));
    EXPECT_EQ(elInput::JoyCentreX[0], 0);
    EXPECT_EQ(elInput::JoyState[1].button[0], KEY_FREE);
    EXPECT_EQ(elInput::JoyState[1].axisSpeed, 0.0f);

    // Calibrate takes the stick where it is now; an unplugged one fails at once.
    platform::headless::SetJoystick(1, 100, 65535, 0);
    elInput::Calibrate();
    EXPECT_EQ(elInput::JoyCentreX[1], 100);
    EXPECT_EQ(elInput::JoyCentreY[1], 65535);
    platform::headless::UnplugJoystick(1);
    elInput::Calibrate();
    EXPECT_EQ(elInput::JoyCentreX[1], 0);
    EXPECT_EQ(elInput::JoyCentreY[1], 0);
}

TEST_F(Joystick, DirectionsSplitEachAxisAtHalfTheCentre) {
    PlugResting();
    // Centre 32767: -1 up to 16383, +1 from 49150.
    const std::pair<unsigned, int> cases[] = {{0, -1},    {16383, -1}, {16384, 0}, {MID, 0},
                                              {49149, 0}, {49150, 1},  {65535, 1}};
    for (auto [position, direction] : cases) {
        platform::headless::SetJoystick(0, position, position, 0);
        int x, y;
        elInput::JoyDirection(0, x, y);
        EXPECT_EQ(std::pair(x, y), std::pair(direction, direction)) << position;
        platform::headless::SetJoystick(0, position, MID, 0);
        elInput::JoyPosition(0, x, y);
        EXPECT_EQ(std::pair(x, y), std::pair(int(position), int(MID)));
    }
    // The keypad layout, Y growing downwards.
    const unsigned low = 0, high = 65535;
    const std::pair<std::pair<unsigned, unsigned>, int> eight[] = {
        {{low, low}, 7},  {{MID, low}, 8},  {{high, low}, 9}, {{low, MID}, 4},  {{MID, MID}, 5},
        {{high, MID}, 6}, {{low, high}, 1}, {{MID, high}, 2}, {{high, high}, 3}};
    for (auto [position, digit] : eight) {
        platform::headless::SetJoystick(0, position.first, position.second, 0);
        EXPECT_EQ(elInput::JoyDirection8(0), digit) << position.first << "," << position.second;
    }
}

TEST_F(Joystick, ButtonsAreLevelsAndEdgeStates) {
    PlugResting();
    // Buttons 1 and 4 are bits 0 and 3; bits past the fourth are not buttons here.
    platform::headless::SetJoystick(0, MID, MID, 0x9 | 0x10);
    int a, b, c, d;
    elInput::JoyButtons(0, a, b, c, d);
    EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(elInput::JoyButton(0, 4), 1);
    EXPECT_EQ(elInput::JoyButton(0, 5), 0);
    EXPECT_EQ(elInput::JoyButton(0, 0), 0);

    std::vector<int> seen;
    for (unsigned mask : {BUTTON2, BUTTON2, 0u, 0u, BUTTON2, 0u, BUTTON2}) {
        platform::headless::SetJoystick(0, MID, MID, mask);
        seen.push_back(elInput::GetJoyButton(0, 2));
    }
    EXPECT_EQ(seen, (std::vector<int>{KEY_PUSH, KEY_HOLD, KEY_PULL, KEY_FREE, KEY_PUSH, KEY_PULL,
                                      KEY_HOLD}));
    EXPECT_EQ(elInput::JoyState[0].button[1], KEY_HOLD);

    // All four at once, each from its own stored state; a fade holds them free.
    platform::headless::SetJoystick(0, MID, MID, 0x3);
    elInput::GetJoyButtons(0, a, b, c, d);
    EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{KEY_PUSH, KEY_HOLD, 0, 0}));
    elDraw::FadeLevel = 3;
    elInput::GetJoyButtons(0, a, b, c, d);
    EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(elInput::GetJoyButton(0, 1), KEY_FREE);
    elDraw::FadeLevel = 0;
    EXPECT_EQ(elInput::GetJoyButton(0, 1), KEY_PUSH);

    // Unplugged: nothing answers, the stored state stays.
    platform::headless::UnplugJoystick(0);
    EXPECT_EQ(elInput::GetJoyButton(0, 1), 0);
    EXPECT_EQ(elInput::JoyState[0].button[0], KEY_PUSH);
}

TEST_F(Joystick, HeldButtonPowerGrowsWithFrameTimeToExactlyOneHundred) {
    // Button 2 held for 25 frames of 100 ms, then let go; power rate 50 a second.
    auto seen = Frames<float>(
        std::vector<std::uint32_t>(26, 100),
        [](int frame) {
            platform::headless::SetJoystick(0, MID, MID, frame <= 25 ? BUTTON2 : 0);
            return elInput::JoyButtonPower(0, 2);
        },
        [] {
            PlugResting();
            elInput::SetJoySpeed(0, 0.0f, 50.0f);
        });
    ASSERT_EQ(seen.size(), 26u);
    EXPECT_NEAR(seen[0], 5.0f, 1e-4);
    EXPECT_NEAR(seen[9], 50.0f, 1e-3);
    EXPECT_LT(seen[18], 100.0f);
    for (int frame = 19; frame < 25; ++frame) EXPECT_EQ(seen[frame], 100.0f) << frame;
    EXPECT_EQ(seen[25], 0.0f);
    EXPECT_EQ(elInput::JoyState[0].power[0], 0.0f); // other buttons untouched
}

TEST_F(Joystick, AllFourPowersAreTruncated) {
    auto seen = Frames<std::vector<int>>(
        std::vector<std::uint32_t>(3, 30),
        [](int) {
            int a, b, c, d;
            elInput::JoyButtonsPower(0, a, b, c, d);
            return std::vector<int>{a, b, c, d};
        },
        [] {
            platform::headless::SetJoystick(0, MID, MID, 0xD);
            elInput::InitJoystick();
            elInput::SetJoySpeed(0, 0.0f, 50.0f);
        });
    // 1.5 a frame: 1, 3, 4 for held buttons 1, 3 and 4.
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{1, 0, 1, 1}, {3, 0, 3, 3}, {4, 0, 4, 4}}));
}

TEST_F(Joystick, SmoothedAxesFollowTheStickAndSettleAtZero) {
    // Speed 100. Frames 1-5 of 100 ms: left and down; 6-9 of 150 ms: resting;
    // 10-20 of 150 ms: right and up.
    std::vector<std::uint32_t> steps(5, 100);
    steps.resize(20, 150);
    auto seen = Frames<std::pair<int, int>>(
        steps,
        [](int frame) {
            if (frame <= 5)
                platform::headless::SetJoystick(0, 0, 65535, 0);
            else if (frame <= 9)
                platform::headless::SetJoystick(0, MID, MID, 0);
            else
                platform::headless::SetJoystick(0, 65535, 0, 0);
            int x, y;
            elInput::JoyAxes(0, x, y);
            return std::pair(x, y);
        },
        [] {
            PlugResting();
            elInput::SetJoySpeed(0, 100.0f, 0.0f);
        });
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_EQ(seen[4], std::pair(-50, 50)); // half a second
    // Back by 15 a frame, stopping at zero rather than passing it.
    EXPECT_EQ(seen[5], std::pair(-35, 35));
    EXPECT_NEAR(seen[7].first, -5, 1); // truncated from about -5
    EXPECT_EQ(seen[8], std::pair(0, 0));
    // Held the other way long enough, both stop at the limit.
    EXPECT_EQ(seen[18], std::pair(100, -100));
    EXPECT_EQ(elInput::JoyState[0].axisX, 100.0f);
    EXPECT_EQ(elInput::JoyState[0].axisY, -100.0f);
}

TEST_F(Joystick, ResetClearsAxesAndPowerOfBothControllers) {
    for (elInput::JoyRecord& state : elInput::JoyState) {
        state = {1, 2, 3, {4, 5, 6, 7}, 8, {KEY_HOLD, KEY_PULL, KEY_PUSH, KEY_HOLD}};
    }
    elInput::ResetJoystick();
    for (const elInput::JoyRecord& state : elInput::JoyState) {
        EXPECT_EQ(state.axisX, 0.0f);
        EXPECT_EQ(state.axisY, 0.0f);
        for (float power : state.power) EXPECT_EQ(power, 0.0f);
        EXPECT_EQ(state.axisSpeed, 3.0f);
        EXPECT_EQ(state.powerRate, 8.0f);
        EXPECT_EQ(state.button[1], KEY_PULL);
    }
}

} // namespace
