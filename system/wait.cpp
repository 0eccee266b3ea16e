// Wait slots (millisecond deadlines that scenes set and test), the busy-wait,
// and the input and timing reset at the end of screen set-up.
#include "platform/backend.h"
#include "system/input_state.h"
#include "system/system.h"

WaitSlot WaitSlots[11];

namespace {

// Over only once the clock has reached 999999999 ms.
constexpr WaitSlot Cleared{0, 999999999};
// Slot 11 belongs to Sleep; scenes own 1 to 10.
constexpr int SleepSlot = 11;

bool SceneSlot(int no) { return no >= 1 && no <= 10; }

} // namespace

namespace elSystem {

int SetWait(int no, std::uint32_t ms) {
    if (!SceneSlot(no)) return Error("elSystem::SetWait", "ウェイトNoが範囲外です");
    WaitSlots[no - 1] = {platform::timeGetTime(), ms};
    return 1;
}

int InitWait(int no) {
    if (!SceneSlot(no)) return Error("elSystem::InitWait", "ウェイトNoが範囲外です");
    WaitSlots[no - 1] = Cleared;
    return 1;
}

// A number outside the table has no deadline to wait for: it reads as over
// rather than reading past the table.
int IsWaitOver(int no) {
    if (no < 1 || no > SleepSlot) return 1;
    const WaitSlot& slot = WaitSlots[no - 1];
    return Elapsed(slot.Start) >= slot.Length ? 1 : 0;
}

void Sleep(std::uint32_t ms) {
    WaitSlot& slot = WaitSlots[SleepSlot - 1];
    slot = {platform::timeGetTime(), ms};
    // At least ms + 1 milliseconds pass.
    while (Elapsed(slot.Start) <= slot.Length) platform::BusyWaitTurn();
    ResetTimer();
}

void Init() {
    for (WaitSlot& slot : WaitSlots) slot = Cleared;
    KeyDown = 0;
    // Every system key message is swallowed.
    AltKeyMode = 0;
    // The full-screen window keeps the pointer on the screen.
    if (FullScreen) ClipCursorToScreen();
}

} // namespace elSystem
