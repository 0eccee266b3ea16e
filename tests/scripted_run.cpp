#include "tests/scripted_run.h"

#include "platform/backend.h"
#include "system/input_state.h"

std::vector<FrameRecord> SceneFrames;
std::function<void()> SceneHook;

namespace {

// The program of these tests: its start-up enters scene 1, whose frames are
// recorded.
void RecordingStartup() {
    SceneNo = 1;
    PrevSceneNo = 0;
}

void RecordingScene() {
    SceneFrames.push_back({platform::timeGetTime(), FrameSeconds, SceneChanged, Blink, MouseX,
                           MouseY, MouseMoveX, MouseMoveY, LeftHeld, LeftClick, LeftDoubleClick,
                           RightHeld, RightClick, WheelDelta});
    if (SceneHook) SceneHook();
}

} // namespace

void ResetPlatformForTest(std::uint32_t clock) {
    platform::ResetMessages();
    platform::headless::SetClock(clock);
    platform::headless::SetEventSource(nullptr);
    ShutDownDone = 0;
    SceneFrames.clear();
    SceneHook = nullptr;
    ProgramStartup = RecordingStartup;
    ProgramEnding = nullptr;
    SceneTable[1] = RecordingScene;
}

void Script::Next(bool) {
    while (!steps.empty()) {
        Step& step = steps.front();
        if (step.frames > 0) {
            --step.frames;
            platform::headless::AdvanceClock(step.stepMs);
            return;
        }
        if (step.action) {
            auto action = std::move(step.action);
            steps.pop_front();
            action();
            if (platform::QueuedMessageCount() > 0) return;
            continue;
        }
        steps.pop_front();
    }
    if (!closed && platform::MainWindow()) {
        closed = true;
        platform::PostMessage(platform::MainWindow(), WM_CLOSE, 0, 0);
    }
}

int Script::Run(std::uint32_t startClock, const char* commandLine) {
    ResetPlatformForTest(startClock);
    platform::headless::SetEventSource([this](bool block) { Next(block); });
    int result = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
    platform::headless::SetEventSource(nullptr);
    return result;
}
