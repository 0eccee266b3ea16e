// Key states: the four-state transitions driven by key messages taken from the
// queue, and the fade that holds every key free.
#include "draw/draw.h"
#include "input/input.h"
#include "platform/win/messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int KEY_Z = 90;

class KeyState : public ::testing::Test {
  protected:
    void SetUp() override { platform::ResetMessages(); }
    void TearDown() override { elDraw::FadeLevel = 0; }
    // One poll per frame, the key going down or up first as the main loop takes its message.
    static std::vector<int> Polls(int& state, std::vector<bool> downs) {
        std::vector<int> seen;
        for (bool down : downs) {
            platform::PostMessage(nullptr, down ? WM_KEYDOWN : WM_KEYUP, KEY_Z, 0);
            MSG msg;
            platform::PeekMessage(&msg);
            elInput::GetKey(KEY_Z, &state);
            seen.push_back(state);
        }
        return seen;
    }
};

TEST_F(KeyState, PressHoldReleaseAndQuickRepress) {
    int state = KEY_FREE;
    EXPECT_EQ(Polls(state, {true, true, true, false, false, true, false, true}),
              (std::vector<int>{KEY_PUSH, KEY_HOLD, KEY_HOLD, KEY_PULL, KEY_FREE, KEY_PUSH,
                                KEY_PULL, KEY_HOLD}));
    elInput::GetKey(17, &state); // another key, up
    EXPECT_EQ(state, KEY_PULL);
}

TEST_F(KeyState, EveryStateMovesByTheTable) {
    const int down[4] = {KEY_PUSH, KEY_HOLD, KEY_HOLD, KEY_HOLD};
    const int up[4] = {KEY_FREE, KEY_PULL, KEY_FREE, KEY_PULL};
    for (int old = KEY_FREE; old <= KEY_HOLD; ++old) {
        int state = old;
        EXPECT_EQ(Polls(state, {true}), std::vector<int>{down[old]}) << old;
        state = old;
        EXPECT_EQ(Polls(state, {false}), std::vector<int>{up[old]}) << old;
    }
}

TEST_F(KeyState, KeysReadFreeDuringAFadeAndArePushedAfterIt) {
    int state = KEY_HOLD;
    elDraw::FadeLevel = 5;
    EXPECT_EQ(Polls(state, {true, true}), (std::vector<int>{KEY_FREE, KEY_FREE}));
    elDraw::FadeLevel = 0;
    EXPECT_EQ(Polls(state, {true, true}), (std::vector<int>{KEY_PUSH, KEY_HOLD}));
}

} // namespace
