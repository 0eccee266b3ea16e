#include "tools/replay/replay_run.h"

#include "platform/headless/headless.h"
#include "platform/win/messages.h"
#include "system/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>

namespace {

// What the event source does next: an action, or frames to let run.
struct Step {
    std::function<void()> action;
    int frames = 0;
};

class Replay {
  public:
    explicit Replay(const std::vector<ReplayCommand>& commands) {
        for (const ReplayCommand& command : commands) Expand(command);
    }

    // Called whenever the message queue is empty.
    void Next() {
        while (!steps.empty()) {
            Step& step = steps.front();
            if (step.frames > 0) {
                --step.frames;
                platform::headless::AdvanceClock(frameTime);
                return;
            }
            auto action = std::move(step.action);
            steps.pop_front();
            if (action) action();
            if (platform::QueuedMessageCount() > 0) return;
        }
        // The script is over: the window closes with its close already under
        // way, so that nothing is asked (a close from outside may ask about
        // unsaved work).
        if (!closed && platform::MainWindow()) {
            closed = true;
            CloseStage = 1;
            platform::PostMessage(platform::MainWindow(), WM_CLOSE, 0, 0);
        }
    }

    // A step that went wrong: the run stops there.
    bool Failed() const { return failed; }

  private:
    // Drops the rest of the script, so that the window closes next.
    void Stop() {
        failed = true;
        steps.clear();
    }
    void Do(std::function<void()> action) { steps.push_back({std::move(action), 0}); }
    void Frames(int count) { steps.push_back({nullptr, count}); }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) {
        Do([=] { platform::PostMessage(platform::MainWindow(), message, wParam, lParam); });
    }
    void PostKey(UINT message, int key) {
        LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
        Post(message, static_cast<WPARAM>(key), flags);
    }

    void Expand(const ReplayCommand& command) {
        switch (command.kind) {
        case ReplayCommand::FrameTime:
            Do([this, ms = command.value] { frameTime = static_cast<std::uint32_t>(ms); });
            break;
        case ReplayCommand::Frames:
            Frames(command.value);
            break;
        case ReplayCommand::Move:
            Do([this, x = command.x, y = command.y] {
                pointerX = x;
                pointerY = y;
                platform::PostMessage(platform::MainWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
            });
            break;
        case ReplayCommand::Message:
            Do([this, message = command.message] {
                platform::PostMessage(platform::MainWindow(), message, 0,
                                      MAKELPARAM(pointerX, pointerY));
            });
            break;
        case ReplayCommand::Wheel:
            // A notch a message, as a wheel sends them; away from the user is
            // positive in the message.
            for (int notch = 0; notch < std::abs(command.value); ++notch)
                Do([this, away = command.value < 0] {
                    const int turn = away ? WHEEL_DELTA : -WHEEL_DELTA;
                    platform::PostMessage(platform::MainWindow(), WM_MOUSEWHEEL,
                                          static_cast<WPARAM>(MAKELPARAM(0, turn)),
                                          MAKELPARAM(pointerX, pointerY));
                });
            break;
        case ReplayCommand::Key:
            PostKey(command.message, command.value);
            break;
        case ReplayCommand::Type:
            ExpandType(command.text);
            break;
        case ReplayCommand::Answer:
            Do([id = command.value] { platform::headless::QueueBoxAnswer(id); });
            break;
        case ReplayCommand::Screenshot:
            Do([this, file = command.text, line = command.line] {
                if (platform::headless::WriteScreenshot(file)) return;
                std::fprintf(stderr, "script:%d: cannot write the screenshot %s\n", line,
                             file.c_str());
                Stop();
            });
            break;
        case ReplayCommand::Activate:
            Post(WM_ACTIVATEAPP, static_cast<WPARAM>(command.value), 0);
            break;
        case ReplayCommand::Close:
            Post(WM_CLOSE, 0, 0);
            break;
        case ReplayCommand::Shell:
            // Another program's work between two frames: a change to the
            // files the editor has open, say.
            Do([this, text = command.text, line = command.line] {
                if (std::system(text.c_str()) == 0) return;
                std::fprintf(stderr, "script:%d: the command failed: %s\n", line, text.c_str());
                Stop();
            });
            break;
        }
    }

    // Each key is pressed for one frame and released for one; an upper-case
    // letter is wrapped in Shift, pressed a frame before and released after.
    void ExpandType(const std::string& text) {
        for (char c : text) {
            bool upper = c >= 'A' && c <= 'Z';
            int key = upper || (c >= '0' && c <= '9') ? c : c - 'a' + 'A';
            if (upper) {
                PostKey(WM_KEYDOWN, VK_SHIFT);
                Frames(1);
            }
            PostKey(WM_KEYDOWN, key);
            Frames(1);
            PostKey(WM_KEYUP, key);
            Frames(1);
            if (upper) {
                PostKey(WM_KEYUP, VK_SHIFT);
                Frames(1);
            }
        }
    }

    std::deque<Step> steps;
    std::uint32_t frameTime = 16;
    int pointerX = 0, pointerY = 0;
    bool closed = false;
    bool failed = false;
};

// Reads the whole file; on failure gives the system's reason.
bool ReadScript(const char* path, std::string& source, std::string& reason) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) source.append(buffer, n);
    // A folder opens but cannot be read.
    const bool failed = std::ferror(file);
    const int error = errno;
    std::fclose(file);
    if (failed) reason = std::strerror(error);
    return !failed;
}

} // namespace

int RunReplay(const std::vector<ReplayCommand>& commands, const char* commandLine) {
    // Answers at the top of the script are for the boxes of the start-up,
    // which come before the first frame.
    std::size_t first = 0;
    for (; first < commands.size() && commands[first].kind == ReplayCommand::Answer; ++first)
        platform::headless::QueueBoxAnswer(commands[first].value);
    Replay replay({commands.begin() + static_cast<std::ptrdiff_t>(first), commands.end()});
    platform::headless::SetBoxEcho(true);
    platform::headless::SetEventSource([&replay](bool) { replay.Next(); });
    int result = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
    platform::headless::SetEventSource(nullptr);
    return replay.Failed() ? 2 : result;
}

int RunReplayFile(const char* path) {
    std::string source, reason;
    if (!ReadScript(path, source, reason)) {
        std::fprintf(stderr, "script: cannot read %s: %s\n", path, reason.c_str());
        return 2;
    }
    std::vector<ReplayCommand> commands;
    std::string error;
    if (!ParseReplayScript(source, commands, error)) {
        std::fprintf(stderr, "script:%s\n", error.c_str());
        return 2;
    }
    return RunReplay(commands);
}
