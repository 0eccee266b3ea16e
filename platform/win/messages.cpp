#include "platform/win/messages.h"

#include "platform/backend.h"
#include "platform/win/held_file.h"

#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace platform {

namespace {

std::map<std::string, WNDCLASS> classes;
std::vector<std::unique_ptr<Window>> windows;
std::deque<MSG> queue;
std::uint8_t keyStates[256];
bool pointerVisible = true;

// Stands for a window that another process published (found by FindWindow).
Window remoteWindow;
int remoteProcess = 0;

Window* Live(HWND window) {
    for (auto& w : windows)
        if (w.get() == window && !w->destroyed) return w.get();
    return nullptr;
}

// A key's byte goes down, flipping its toggle bit when newly pressed, or up.
void SetKeyState(int key, bool down) {
    std::uint8_t& state = keyStates[key];
    if (down) {
        if (!(state & KEYSTATE_DOWN)) state ^= KEYSTATE_TOGGLED;
        state |= KEYSTATE_DOWN;
    } else {
        state &= static_cast<std::uint8_t>(~KEYSTATE_DOWN);
    }
}

// Shift, Ctrl and Alt: a left and a right key behind one shared code.
struct SidedKey {
    int shared, left, right;
};
constexpr SidedKey sidedKeys[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                  {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                  {VK_MENU, VK_LMENU, VK_RMENU}};

// A key message updates its key. For a sided key the message's data tells the
// side; each side keeps its own byte, and the shared code reads down while
// either side is down.
void TrackKey(int key, LPARAM data, bool down) {
    for (const SidedKey& sided : sidedKeys) {
        if (key != sided.shared) continue;
        bool right =
            key == VK_SHIFT ? ((data >> 16) & 0xFF) == SCAN_RSHIFT : (data & KF_EXTENDED) != 0;
        SetKeyState(right ? sided.right : sided.left, down);
        SetKeyState(key, ((keyStates[sided.left] | keyStates[sided.right]) & KEYSTATE_DOWN) != 0);
        return;
    }
    SetKeyState(key, down);
}

// The key-state table follows the messages as they are taken from the queue.
void TrackKeyState(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        TrackKey(static_cast<int>(msg.wParam & 0xFF), msg.lParam, true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        TrackKey(static_cast<int>(msg.wParam & 0xFF), msg.lParam, false);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetKeyState(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        SetKeyState(VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        SetKeyState(VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        SetKeyState(VK_RBUTTON, false);
        break;
    default:
        break;
    }
}

} // namespace

BOOL RegisterClass(const WNDCLASS& windowClass) {
    if (!windowClass.lpszClassName || !windowClass.lpfnWndProc) return 0;
    if (classes.count(windowClass.lpszClassName)) return 0;
    classes[windowClass.lpszClassName] = windowClass;
    return 1;
}

HWND CreateWindowEx(DWORD, const char* className, const char* title, DWORD, int x, int y, int width,
                    int height) {
    auto found = classes.find(className ? className : "");
    if (found == classes.end()) return nullptr;
    auto window = NewWindow(found->second, className, title, x, y, width, height);
    if (!backend::CreateNativeWindow(*window)) return nullptr;
    windows.push_back(std::move(window));
    HWND handle = windows.back().get();
    PublishWindow(handle->className.c_str(), handle->title.c_str());
    SendMessage(handle, WM_CREATE, 0, 0);
    SendMessage(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    return handle;
}

BOOL ShowWindow(HWND window, int) {
    Window* w = Live(window);
    if (!w) return 0;
    bool wasVisible = w->visible;
    w->visible = true;
    backend::ShowNativeWindow(*w);
    // Showing the new top-level window makes the application the active one.
    if (!wasVisible) SendMessage(window, WM_ACTIVATEAPP, 1, 0);
    return wasVisible ? 1 : 0;
}

BOOL UpdateWindow(HWND window) { return Live(window) ? 1 : 0; }

BOOL DestroyWindow(HWND window) {
    Window* w = Live(window);
    if (!w) return 0;
    SendMessage(window, WM_DESTROY, 0, 0);
    UnpublishWindow(w->className.c_str(), w->title.c_str());
    backend::DestroyNativeWindow(*w);
    w->destroyed = true;
    return 1;
}

BOOL CloseWindow(HWND window) {
    Window* w = Live(window);
    if (!w) return 0;
    backend::MinimizeNativeWindow(*w);
    return 1;
}

HWND FindWindow(const char* className, const char* title) {
    for (auto& w : windows)
        if (!w->destroyed && (!className || w->className == className) &&
            (!title || w->title == title))
            return w.get();
    if (!className || !title) return nullptr;
    int pid = ProcessOfWindow(className, title);
    if (pid <= 0) return nullptr;
    remoteProcess = pid;
    return &remoteWindow;
}

BOOL SetForegroundWindow(HWND window) {
    if (window == &remoteWindow) {
        return remoteProcess > 0 && AskToRaise(remoteProcess);
    }
    Window* w = Live(window);
    if (!w) return 0;
    backend::RaiseNativeWindow(*w);
    return 1;
}

BOOL SetWindowText(HWND window, const char* text) {
    Window* w = Live(window);
    if (!w) return 0;
    // The same caption again changes nothing: the native title is left alone.
    if (w->caption == (text ? text : "")) return 1;
    w->caption = text ? text : "";
    backend::ShowNativeTitle(*w);
    return 1;
}

int GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return backend::DisplayWidth();
    if (index == SM_CYSCREEN) return backend::DisplayHeight();
    return 0;
}

HWND MainWindow() {
    for (auto& w : windows)
        if (!w->destroyed) return w.get();
    return nullptr;
}

BOOL WINNLSEnableIME(HWND, BOOL enable) { return backend::EnableTextInput(enable != 0) ? 1 : 0; }

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Live(window)) return 0;
    queue.push_back(MSG{window, message, wParam, lParam});
    return 1;
}

void PostQuitMessage(int exitCode) {
    queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

BOOL PeekMessage(MSG* msg) {
    if (queue.empty()) backend::PumpEvents(false);
    if (queue.empty()) return 0;
    *msg = queue.front();
    queue.pop_front();
    TrackKeyState(*msg);
    return 1;
}

BOOL WaitMessage() {
    if (queue.empty()) backend::PumpEvents(true);
    return 1;
}

BOOL TranslateMessage(const MSG* msg) {
    // Character messages follow a key press; the framework reads key codes only,
    // so the character is the key code itself for letters, digits and space.
    if (msg->message != WM_KEYDOWN) return 0;
    int key = static_cast<int>(msg->wParam);
    bool printable = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == VK_SPACE;
    if (!printable) return 0;
    queue.push_front(MSG{msg->hwnd, WM_CHAR, msg->wParam, msg->lParam});
    return 1;
}

LRESULT DispatchMessage(const MSG* msg) {
    Window* w = Live(msg->hwnd);
    if (!w || !w->procedure) return 0;
    return w->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Live(window);
    if (!w || !w->procedure) return 0;
    return w->procedure(window, message, wParam, lParam);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETCURSOR:
        // The class pointer is the standard arrow.
        SetCursorVisible(true);
        return 1;
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the window to close.
        if (wParam == VK_F4) SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        (void)lParam;
        return 0;
    }
}

int QueuedMessageCount() { return static_cast<int>(queue.size()); }

short GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    std::uint8_t state = keyStates[virtualKey];
    short result = (state & KEYSTATE_TOGGLED) ? 1 : 0;
    // A key that is down reads negative, with bit 7 set as well.
    if (state & KEYSTATE_DOWN) result = static_cast<short>(result | 0xFF80);
    return result;
}

void SetCursorVisible(bool visible) {
    if (visible == pointerVisible) return;
    pointerVisible = visible;
    backend::ShowNativePointer(visible);
}

bool CursorVisible() { return pointerVisible; }

void ResetMessages() {
    for (auto& w : windows)
        if (!w->destroyed) {
            UnpublishWindow(w->className.c_str(), w->title.c_str());
            backend::DestroyNativeWindow(*w);
        }
    windows.clear();
    classes.clear();
    queue.clear();
    std::memset(keyStates, 0, sizeof keyStates);
    pointerVisible = true;
    remoteProcess = 0;
}

} // namespace platform
