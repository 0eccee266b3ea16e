// Name entry from the key held down, and one dialogue open at a time. The
// dialogues' files, messages and timing are checked by the replay scripts.
#include "editor/dialogues.h"
#include "input/input.h"
#include "platform/win/messages.h"
#include "system/input_state.h"
#include "system/system.h"

#include <gtest/gtest.h>

namespace {

class NameEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetMessages();
        PrevNameKey = 0;
        BackspaceTime = 0;
        NameShiftState = KEY_FREE;
        FrameSeconds = 0.016f;
    }
    // One frame of entry with `key` held down.
    void Frame(int key) {
        KeyDown = key;
        NameEntry(name, 15);
    }
    static void Shift(bool down) {
        platform::PostMessage(nullptr, down ? WM_KEYDOWN : WM_KEYUP, VK_SHIFT, 0);
        MSG msg;
        platform::PeekMessage(&msg);
    }

    char name[16] = "";
};

TEST_F(NameEntryTest, LettersAndDigitsAddOncePerPress) {
    Frame('A');
    Frame('A'); // still held: no second character
    Frame('B'); // another key adds at once
    Frame(' ');
    Frame(VK_RETURN);
    Frame(0);
    Frame('B');
    Frame('7');
    EXPECT_STREQ(name, "abb7");

    Shift(true);
    Frame('Q'); // Shift only just pushed: not yet held
    Frame(0);
    Frame('Q');
    Shift(false);
    Frame(0);
    Frame('Q');
    EXPECT_STREQ(name, "abb7qQq");

    for (int key : {'1', '2', '3', '4', '5', '6', '7', '8', 'X'}) {
        Frame(key);
        Frame(0);
    }
    EXPECT_STREQ(name, "abb7qQq12345678"); // 15 characters at most
}

TEST_F(NameEntryTest, AnotherKeyEndsABackspaceHold) {
    FrameSeconds = 0.4f;
    Frame(VK_BACK);
    Frame(VK_BACK); // held past half a second on an empty name: nothing to remove
    EXPECT_STREQ(name, "");
    Frame('A');
    Frame('B');
    Frame(VK_BACK); // a new press removes one at once
    Frame('C');
    Frame(VK_BACK); // the hold began again with this press
    EXPECT_STREQ(name, "a");
}

TEST(Dialogues, OnlyOneOpensAtATime) {
    SaveState = 2;
    LoadState = 0;
    StartLoad();
    EXPECT_EQ(LoadState, 0);
    SaveState = 0;
    StartLoad();
    EXPECT_EQ(LoadState, 1);
    StartSave();
    EXPECT_EQ(SaveState, 0);
}

} // namespace
