// The thread's message queue, windows and key-state table. Both backends share
// this; they differ in where new messages come from (see backend.h).
#pragma once

#include "platform/win/win_defs.h"

#include <memory>
#include <string>

namespace platform {

// A window: its class, title and procedure. Backends keep their own data
// (a real SDL window, or nothing) behind `native`.
struct Window {
    std::string className;
    std::string title;   // the name it was made with, which FindWindow finds
    std::string caption; // what its title bar shows: the title, until changed
    UINT classStyle = 0;
    WNDPROC procedure = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool destroyed = false;
    void* native = nullptr;
};

// The record of a window of `windowClass` as CreateWindowEx makes it, not yet
// shown; the backend adds its own window to it.
inline std::unique_ptr<Window> NewWindow(const WNDCLASS& windowClass, const char* className,
                                         const char* title, int x, int y, int width, int height) {
    auto window = std::make_unique<Window>();
    window->className = className;
    window->title = title ? title : "";
    window->caption = window->title;
    window->classStyle = windowClass.style;
    window->procedure = windowClass.lpfnWndProc;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    return window;
}

// Window classes and windows.
BOOL RegisterClass(const WNDCLASS& windowClass);
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL DestroyWindow(HWND window);
// Minimises the window.
BOOL CloseWindow(HWND window);
// Finds a top-level window of this class and title, in this process or, when it
// is not here, one that another running process has published.
HWND FindWindow(const char* className, const char* title);
BOOL SetForegroundWindow(HWND window);
// Shows `text` (CP932) in the window's title bar. The window is still found by
// the title it was made with, so that a second copy of the program finds it.
BOOL SetWindowText(HWND window, const char* text);
int GetSystemMetrics(int index);
// The window the framework's modules draw into and own boxes with.
HWND MainWindow();
// Switches the input method (composed text input) on or off for the window;
// returns whether it was on.
BOOL WINNLSEnableIME(HWND window, BOOL enable);

// Messages.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Takes the next message off the queue (any window, any message). Key and button
// messages update the key-state table as they are taken.
BOOL PeekMessage(MSG* msg);
// Blocks until a message is waiting.
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
// Calls the window procedure at once, bypassing the queue.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int QueuedMessageCount();

// The key-state table: bit 0x80 of a key's byte while it is down, bit 0x01
// flipped on each press. Shift, Ctrl and Alt also have a byte for each side
// (VK_LSHIFT ... VK_RMENU); their shared code is down while either side is.
short GetKeyState(int virtualKey);

// The pointer: an empty shape hides it over the window; the class arrow shows it.
void SetCursorVisible(bool visible);
bool CursorVisible();

// Forgets every window, message and key state (tests start from nothing).
void ResetMessages();

} // namespace platform
