// Windows and messages of the system itself: the framework's window procedure
// is the real window's, called through the class procedure below with the
// framework's window handle; mouse positions reach it on the logical screen.
#include "platform/backend.h"
#include "platform/win/cursor.h"
#include "platform/win/held_file.h"

#include "platform/windows/native.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

// A program of the desktop started from a command prompt writes its --help,
// --version and errors into that prompt, as the Linux programs write into their
// terminal; started otherwise it has nowhere to write, as any desktop program.
static const bool ConsoleOfParent = [] {
    if (GetStdHandle(STD_ERROR_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    return true;
}();

// The system's macro names its own window type, which platform's hides.
static const ::HWND MessageOnlyParent = HWND_MESSAGE;

namespace platform {

namespace {

std::map<std::string, WNDCLASS> classes;
std::vector<std::unique_ptr<Window>> allWindows;
bool withoutDisplay = false;
bool pointerVisible = true;
// The message last taken from the queue, whole, for its dispatch.
::MSG taken{};
// Stands for another program's window found by FindWindow.
Window remoteWindow;

Window* Live(HWND window) {
    for (auto& w : allWindows)
        if (w.get() == window && !w->destroyed) return w.get();
    return nullptr;
}

Window* OwnerOf(::HWND native) {
    for (auto& w : allWindows)
        if (!w->destroyed && w->native == native) return w.get();
    return nullptr;
}

bool IsMouseMessage(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK) || message == WM_MOUSEWHEEL;
}

// A mouse message's position (on the display for the wheel, else in the
// client area) as one on the logical screen.
LPARAM OnLogicalScreen(::HWND native, UINT message, LPARAM lParam) {
    ::POINT at{static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
    if (message == WM_MOUSEWHEEL) ScreenToClient(native, &at);
    at = windows::ToLogical(native, at.x, at.y);
    return MAKELPARAM(at.x, at.y);
}

// The title a window was made with, kept beside it as an atom, so that
// FindWindow finds it by that title whatever its title bar shows since.
constexpr wchar_t MADE_TITLE[] = L"Tessera.MadeTitle";

LRESULT CALLBACK ClassProcedure(::HWND native, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<Window*>(create->lpCreateParams);
        window->native = native;
        SetWindowLongPtrW(native, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(native, GWLP_USERDATA));
    if (!window || window->destroyed || !window->procedure)
        return DefWindowProcW(native, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        windows::RepaintWindow(native);
        ValidateRect(native, nullptr);
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = window->procedure(window, message, wParam, lParam);
        window->destroyed = true;
        window->native = nullptr;
        return result;
    }
    default:
        break;
    }
    if (IsMouseMessage(message)) lParam = OnLogicalScreen(native, message, lParam);
    return window->procedure(window, message, wParam, lParam);
}

} // namespace

namespace windows {

::HWND NativeOf(HWND window) { return window ? static_cast<::HWND>(window->native) : nullptr; }

HWND ScreenWindow() {
    for (auto& w : allWindows)
        if (!w->destroyed && w->native) return w.get();
    return nullptr;
}

} // namespace windows

void UseWindowsWithoutDisplay() { withoutDisplay = true; }

BOOL RegisterClass(const WNDCLASS& windowClass) {
    if (!windowClass.lpszClassName || !windowClass.lpfnWndProc) return 0;
    if (classes.count(windowClass.lpszClassName)) return 0;
    WNDCLASSEXW real{};
    real.cbSize = sizeof real;
    real.style = windowClass.style;
    real.lpfnWndProc = ClassProcedure;
    real.hInstance = GetModuleHandleW(nullptr);
    real.hIcon = LoadIconW(real.hInstance, L"MAIN");
    real.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    real.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const std::wstring name = windows::WideFromCp932(windowClass.lpszClassName);
    real.lpszClassName = name.c_str();
    if (!RegisterClassExW(&real)) return 0;
    classes[windowClass.lpszClassName] = windowClass;
    return 1;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height) {
    auto found = classes.find(className ? className : "");
    if (found == classes.end()) return nullptr;
    auto window = NewWindow(found->second, className, title, x, y, width, height);
    Window* handle = window.get();
    allWindows.push_back(std::move(window));
    // A program without a display has windows that only carry messages.
    ::HWND native = CreateWindowExW(exStyle, windows::WideFromCp932(className).c_str(),
                                    windows::WideFromCp932(handle->title).c_str(), style, x, y,
                                    width, height, withoutDisplay ? MessageOnlyParent : nullptr,
                                    nullptr, GetModuleHandleW(nullptr), handle);
    if (!native) {
        allWindows.pop_back();
        return nullptr;
    }
    const std::wstring wideTitle = windows::WideFromCp932(handle->title);
    SetPropW(native, MADE_TITLE,
             reinterpret_cast<::HANDLE>(static_cast<std::uintptr_t>(AddAtomW(wideTitle.c_str()))));
    return handle;
}

BOOL ShowWindow(HWND window, int showCommand) {
    Window* w = Live(window);
    if (!w || withoutDisplay) return 0;
    w->visible = true;
    const BOOL wasVisible = ::ShowWindow(windows::NativeOf(w), showCommand);
    // The new window in front makes the program the active one.
    if (!wasVisible) ::SetForegroundWindow(windows::NativeOf(w));
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    Window* w = Live(window);
    return w && ::UpdateWindow(windows::NativeOf(w));
}

BOOL DestroyWindow(HWND window) {
    Window* w = Live(window);
    return w && ::DestroyWindow(windows::NativeOf(w));
}

BOOL CloseWindow(HWND window) {
    Window* w = Live(window);
    return w && ::CloseWindow(windows::NativeOf(w));
}

HWND FindWindow(const char* className, const char* title) {
    const std::wstring wideClass = windows::WideFromCp932(className ? className : "");
    const std::wstring wideTitle = windows::WideFromCp932(title ? title : "");
    // Windows of the class, the one whose made-with title is `title`.
    const ::ATOM made = title ? FindAtomW(wideTitle.c_str()) : 0;
    ::HWND native = nullptr;
    while ((native = FindWindowExW(nullptr, native, className ? wideClass.c_str() : nullptr,
                                   nullptr)) != nullptr) {
        if (!title) break;
        ::WCHAR found[256] = {};
        const auto atom =
            static_cast<::ATOM>(reinterpret_cast<std::uintptr_t>(GetPropW(native, MADE_TITLE)));
        if (atom ? atom == made || (GetAtomNameW(atom, found, 256) && wideTitle == found)
                 : GetWindowTextW(native, found, 256) >= 0 && wideTitle == found)
            break;
    }
    if (!native) return nullptr;
    if (Window* ours = OwnerOf(native)) return ours;
    remoteWindow.native = native;
    return &remoteWindow;
}

int ProcessOfWindow(const char* className, const char* title) {
    const HWND found = FindWindow(className, title);
    ::DWORD process = 0;
    if (found) GetWindowThreadProcessId(static_cast<::HWND>(found->native), &process);
    return static_cast<int>(process);
}

BOOL SetWindowText(HWND window, const char* text) {
    Window* w = Live(window);
    if (!w) return 0;
    // The same caption again changes nothing: the native title is left alone.
    if (w->caption == (text ? text : "")) return 1;
    w->caption = text ? text : "";
    return SetWindowTextW(windows::NativeOf(w), windows::WideFromCp932(w->caption).c_str());
}

BOOL SetForegroundWindow(HWND window) {
    ::HWND native = window == &remoteWindow ? static_cast<::HWND>(remoteWindow.native)
                                            : windows::NativeOf(Live(window));
    if (!native) return 0;
    if (IsIconic(native)) ::ShowWindow(native, SW_RESTORE);
    return ::SetForegroundWindow(native);
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

HWND MainWindow() {
    for (auto& w : allWindows)
        if (!w->destroyed) return w.get();
    return nullptr;
}

BOOL WINNLSEnableIME(HWND, BOOL enable) { return backend::EnableTextInput(enable != 0) ? 1 : 0; }

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Live(window)) return 0;
    return PostMessageW(windows::NativeOf(window), message, wParam, lParam);
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

BOOL PeekMessage(MSG* msg) {
    if (!PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) return 0;
    Window* owner = OwnerOf(taken.hwnd);
    const LPARAM lParam = owner && IsMouseMessage(taken.message)
                              ? OnLogicalScreen(taken.hwnd, taken.message, taken.lParam)
                              : taken.lParam;
    *msg = MSG{owner, taken.message, taken.wParam, lParam};
    return 1;
}

BOOL WaitMessage() { return ::WaitMessage(); }

// The message last taken, when `msg` is it.
const ::MSG* Taken(const MSG* msg) {
    return msg->message == taken.message && msg->wParam == taken.wParam &&
                   msg->hwnd == OwnerOf(taken.hwnd)
               ? &taken
               : nullptr;
}

BOOL TranslateMessage(const MSG* msg) {
    const ::MSG* real = Taken(msg);
    return real ? ::TranslateMessage(real) : 0;
}

LRESULT DispatchMessage(const MSG* msg) {
    // The system's own message goes as it came, to whichever window it was for;
    // the class procedure gives ours the position on the logical screen.
    if (const ::MSG* real = Taken(msg)) return DispatchMessageW(real);
    ::MSG made{windows::NativeOf(Live(msg->hwnd)), msg->message, msg->wParam, msg->lParam, 0, {}};
    return made.hwnd ? DispatchMessageW(&made) : 0;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Live(window);
    return w ? SendMessageW(windows::NativeOf(w), message, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ::HWND native = windows::NativeOf(window);
    if (message == WM_SETCURSOR) {
        SetCursorVisible(true);
        return 1;
    }
    return native ? DefWindowProcW(native, message, wParam, lParam) : 0;
}

int QueuedMessageCount() { return GetQueueStatus(QS_ALLINPUT) != 0 ? 1 : 0; }

short GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

void SetCursorVisible(bool visible) {
    pointerVisible = visible;
    SetCursor(visible ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)) : nullptr);
}

bool CursorVisible() { return pointerVisible; }

void ResetMessages() {
    for (auto& w : allWindows)
        if (!w->destroyed && w->native) ::DestroyWindow(static_cast<::HWND>(w->native));
    for (const auto& [name, windowClass] : classes)
        UnregisterClassW(windows::WideFromCp932(name).c_str(), GetModuleHandleW(nullptr));
    allWindows.clear();
    classes.clear();
    ::MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {}
    pointerVisible = true;
}

namespace backend {

bool EnableTextInput(bool on) {
    HWND window = MainWindow();
    ::HWND native = windows::NativeOf(window);
    if (!native) return false;
    HIMC context = ImmGetContext(native);
    const bool wasOn = context && ImmGetOpenStatus(context);
    if (context) ImmReleaseContext(native, context);
    ImmAssociateContextEx(native, nullptr, on ? IACE_DEFAULT : 0);
    return wasOn;
}

} // namespace backend
} // namespace platform
