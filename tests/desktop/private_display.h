// A private X server for one test: Xvfb on a display number it picks itself,
// without a window manager, driven through XTest the way a person would, and
// read back pixel by pixel. The destructor closes the connection and ends the
// server.
#pragma once

#include "platform/formats/bmp.h"
#include "tests/desktop/child_process.h"

#include <chrono>
#include <string>
#include <thread>

struct _XDisplay;

namespace desktop_test {

// An X window id (Xlib stays out of the tests, whose names it would clash with).
using WindowId = unsigned long;

struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
};

class PrivateDisplay {
  public:
    static constexpr int Width = 1280, Height = 1024;

    PrivateDisplay() = default;
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;
    ~PrivateDisplay() { Stop(); }

    // Starts the server (its log goes to `logFile`) and connects to it. False
    // when it cannot, with the reason in `error`.
    bool Start(const std::string& logFile, std::string& error);
    // Closes the connection and ends the server, as a display that goes away
    // does under the programs on it.
    void Stop();
    // "DISPLAY=:N", for the programs run on it.
    std::string Variable() const { return "DISPLAY=" + name; }

    // The viewable top-level window whose title is `utf8Title`, or 0.
    WindowId FindWindow(const char* utf8Title);
    // The viewable top-level window that declares itself transient for `owner`
    // (a dialogue over it), or 0.
    WindowId FindTransient(WindowId owner);
    bool Exists(WindowId window);
    // Position on the screen and size; a zero size when the window is gone.
    Placement Where(WindowId window);
    // Moves a window (nothing else manages it here) and waits until the server
    // has it there.
    bool Move(WindowId window, int x, int y);
    // A plain white window over everything in `area`, as another program's
    // would be, and its end, which exposes what it covered.
    WindowId Cover(const Placement& area);
    void Uncover(WindowId cover);

    void PointerTo(int x, int y);
    void Button(unsigned button, bool down);
    // A key by its keysym name ("a", "Shift_R", "Return", ...).
    bool Key(const char* keysymName, bool down);

    // The screen as it is shown, 0x00RRGGBB per pixel, or an empty image.
    platform::DecodedImage Screen();

    // The window that has the keyboard's focus, or 0.
    WindowId Focused();
    // Waits, up to `timeout`, until the program that owns `window` has drawn a
    // frame after everything sent to it so far: a corner of the window is
    // covered and uncovered, which leaves a mark of a colour no frame shows
    // until the program paints the window again. False when it did not, or the
    // window is gone.
    bool NextFrame(WindowId window, std::chrono::milliseconds timeout);

  private:
    ChildProcess server;
    std::string name;
    _XDisplay* display = nullptr;
};

// Waits for `condition` up to `timeout`, trying it every 20 ms; its last answer.
template <typename Condition>
bool WaitUntil(std::chrono::milliseconds timeout, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace desktop_test
