// Runs the framework's entry point on the headless backend with a scripted
// event source, and records what the scene saw in every frame.
#pragma once

#include "platform/headless/headless.h"
#include "platform/win/messages.h"
#include "system/system.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

struct FrameRecord {
    std::uint32_t clock;
    float frameSeconds;
    int sceneChanged, blink;
    int mouseX, mouseY, mouseMoveX, mouseMoveY;
    int leftHeld, leftClick, leftDoubleClick, rightHeld, rightClick;
    int wheelDelta;
};

// Every frame of scene 1 is appended here; a test may also hook the scene.
extern std::vector<FrameRecord> SceneFrames;
extern std::function<void()> SceneHook;

// A script step: post messages (or change the clock), or let frames run.
class Script {
  public:
    Script& Do(std::function<void()> step) {
        steps.push_back({std::move(step), 0});
        return *this;
    }
    Script& Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return Do([=] { platform::PostMessage(platform::MainWindow(), message, wParam, lParam); });
    }
    // Lets `count` loop passes find the queue empty, advancing the clock by
    // `stepMs` before each of them.
    Script& Frames(int count, std::uint32_t stepMs = 16) {
        steps.push_back({nullptr, count, stepMs});
        return *this;
    }

    // Resets the framework and runs the entry point, given `commandLine`, until
    // the window closes (the script's end closes it). Returns the entry point's result.
    int Run(std::uint32_t startClock = 1000, const char* commandLine = "");

  private:
    struct Step {
        std::function<void()> action;
        int frames;
        std::uint32_t stepMs = 16;
    };
    void Next(bool block);
    std::deque<Step> steps;
    bool closed = false;
};

// Clears the process-wide state a previous run left (windows, queue, flags) and
// gives the frame the recording scene as scene 1.
void ResetPlatformForTest(std::uint32_t clock);
