#include "platform/headless/headless.h"

#include "platform/backend.h"
#include "platform/headless/sound_output.h"
#include "platform/win/held_file.h"
#include "platform/win/messages.h"
#include "platform/win/sequencer.h"

namespace platform {

namespace {

std::uint32_t clockNow = 0;
std::function<void(bool)> eventSource;
int displayWidth = 1024;
int displayHeight = 768;
int raises = 0;
std::vector<std::string> titles;
int verticalBlanks = 0;
RECT lastPresentChange{};
bool presentsRefused = false;
bool format555 = false;

// Each headless process keeps its named objects to itself, so test runs and
// replays side by side never see each other.
std::string lockFolder;

} // namespace

std::uint32_t timeGetTime() { return clockNow; }

namespace headless {

// Time passing is heard: a clock set forward renders the sound of the gap.
void SetClock(std::uint32_t milliseconds) {
    auto forward = static_cast<std::int32_t>(milliseconds - clockNow);
    clockNow = milliseconds;
    if (forward > 0) RenderSound(static_cast<std::uint32_t>(forward));
}
void AdvanceClock(std::uint32_t milliseconds) {
    clockNow += milliseconds;
    RenderSound(milliseconds);
}
void SetEventSource(std::function<void(bool)> source) { eventSource = std::move(source); }
void SetDisplaySize(int width, int height) {
    displayWidth = width;
    displayHeight = height;
}
int RaiseCount() { return raises; }
const std::vector<std::string>& TitleLog() { return titles; }
void ForgetTitles() { titles.clear(); }
int VerticalBlankCount() { return verticalBlanks; }
RECT LastPresentChange() { return lastPresentChange; }
void RefusePresents(bool refuse) { presentsRefused = refuse; }
void UseFormat555(bool five55) { format555 = five55; }

} // namespace headless

// Headless windows never need a display.
void UseWindowsWithoutDisplay() {}

namespace backend {

void PumpEvents(bool block) {
    if (eventSource) eventSource(block);
    PollSequencers();
}

bool CreateNativeWindow(Window&) { return true; }
void ShowNativeWindow(Window&) {}
void DestroyNativeWindow(Window&) {}
void RaiseNativeWindow(Window&) { ++raises; }
void MinimizeNativeWindow(Window&) {}
void ShowNativeTitle(Window& window) { titles.push_back(window.caption); }
void ShowNativePointer(bool) {}
// Keys come from the caller as they are; there is no input method.
bool EnableTextInput(bool) { return false; }
int DisplayWidth() { return displayWidth; }
bool Prefers555() { return format555; }
void DisplayModeChanged(int, int) {}
// The primary surface itself is what a screenshot reads.
bool ShowPrimary(const Surface&, const RECT& changed) {
    if (presentsRefused) return false;
    lastPresentChange = changed;
    return true;
}
void WaitForVerticalBlank() { ++verticalBlanks; }
int DisplayHeight() { return displayHeight; }

std::string LockFolder() {
    if (lockFolder.empty()) lockFolder = NewPrivateFolder("/tmp/tessera-headless-");
    return lockFolder;
}

} // namespace backend
} // namespace platform
