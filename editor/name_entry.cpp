// One-line entry of a map name from the key held down.
#include "editor/dialogues.h"
#include "input/input.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstring>

namespace {

constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_SHIFT = 16;
constexpr float BACKSPACE_REPEAT_DELAY = 0.5f; // seconds before a held Backspace repeats

bool IsLetterKey(int key) { return key >= 'A' && key <= 'Z'; }
bool IsDigitKey(int key) { return key >= '0' && key <= '9'; }

void RemoveLast(char* buffer) {
    std::size_t length = std::strlen(buffer);
    if (length > 0) buffer[length - 1] = '\0';
}

} // namespace

int PrevNameKey = 0;
float BackspaceTime = 0;
int NameShiftState = KEY_FREE;

// KeyDown keeps its value while the key is held, so a key adds its character
// once and again only after KeyDown has been 0 or another key.
void NameEntry(char* buffer, int limit) {
    elInput::GetKey(KEY_SHIFT, &NameShiftState);
    const int key = KeyDown;
    const std::size_t length = std::strlen(buffer);
    if ((IsLetterKey(key) || IsDigitKey(key)) && key != PrevNameKey &&
        length < static_cast<std::size_t>(limit)) {
        PrevNameKey = key;
        bool lower = IsLetterKey(key) && NameShiftState != KEY_HOLD;
        buffer[length] = static_cast<char>(lower ? key + ('a' - 'A') : key);
        buffer[length + 1] = '\0';
    }
    if (key == KEY_BACKSPACE && key != PrevNameKey) {
        PrevNameKey = KEY_BACKSPACE;
        RemoveLast(buffer);
    }
    if (key == KEY_BACKSPACE) {
        BackspaceTime += FrameSeconds;
        if (BackspaceTime > BACKSPACE_REPEAT_DELAY) RemoveLast(buffer);
    } else {
        BackspaceTime = 0;
    }
    if (key == 0) PrevNameKey = 0;
}
