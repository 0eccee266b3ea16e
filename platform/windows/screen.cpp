// The primary surface on the real window, scaled to fit and letterboxed with
// black bars, drawn by GDI. A frame whose picture is the one shown is not drawn
// again; either way the frame waits for the display's next refresh: the
// compositor's when it runs, else a timed one.
#include "platform/backend.h"
#include "platform/win/cursor.h"
#include "platform/win/surface_context.h"

#include "platform/windows/native.h"

#include <dwmapi.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

int logicalWidth = 1024, logicalHeight = 768;
// The window has shown a picture since it last lost it.
bool pictureShown = false;

void Draw(::HWND window, const Surface& surface, bool bars) {
    HDC dc = GetDC(window);
    if (!dc) return;
    const windows::Letterbox box = windows::LetterboxIn(window);
    if (bars) {
        ::RECT client;
        GetClientRect(window, &client);
        auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        const ::RECT bands[] = {
            {0, 0, client.right, box.top},
            {0, box.top + box.height, client.right, client.bottom},
            {0, box.top, box.left, box.top + box.height},
            {box.left + box.width, box.top, client.right, box.top + box.height}};
        for (const ::RECT& band : bands)
            if (band.right > band.left && band.bottom > band.top) FillRect(dc, &band, black);
    }
    const windows::SurfaceBitmapInfo info = windows::SurfaceBitmapHeader(surface);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, box.left, box.top, box.width, box.height, 0, 0, surface.width, surface.height,
                  surface.memory.data(), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(window, dc);
}

// Milliseconds between two refreshes of the display.
double RefreshPeriodMs() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    const bool known =
        EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1;
    return 1000.0 / (known ? mode.dmDisplayFrequency : 60);
}

// Waits for the compositor's next frame, or sleeps to the next refresh of a
// clock that ticks at the display's rate.
void WaitForRefresh() {
    BOOL composed = FALSE;
    if (DwmIsCompositionEnabled(&composed) == S_OK && composed && DwmFlush() == S_OK) return;
    static LARGE_INTEGER frequency{}, start{};
    if (!frequency.QuadPart) {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double period = RefreshPeriodMs();
    const double elapsed =
        static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    const double wait = period - std::fmod(elapsed, period);
    Sleep(static_cast<::DWORD>(wait));
}

} // namespace

namespace windows {

int LogicalWidth() { return logicalWidth; }
int LogicalHeight() { return logicalHeight; }

void SetLogicalSize(int width, int height) {
    logicalWidth = width;
    logicalHeight = height;
}

Letterbox LetterboxIn(::HWND window) {
    ::RECT client{};
    GetClientRect(window, &client);
    const double scale = std::min(static_cast<double>(client.right) / logicalWidth,
                                  static_cast<double>(client.bottom) / logicalHeight);
    const int width = static_cast<int>(logicalWidth * scale + 0.5);
    const int height = static_cast<int>(logicalHeight * scale + 0.5);
    return {(client.right - width) / 2, (client.bottom - height) / 2, width, height};
}

::POINT ToLogical(::HWND window, int x, int y) {
    const Letterbox box = LetterboxIn(window);
    if (box.width <= 0 || box.height <= 0) return {0, 0};
    ::POINT at{
        static_cast<LONG>((x - box.left) * static_cast<long long>(logicalWidth) / box.width),
        static_cast<LONG>((y - box.top) * static_cast<long long>(logicalHeight) / box.height)};
    // Positions in the bars are held on the screen, and inside the confinement.
    at.x = std::clamp<LONG>(at.x, 0, logicalWidth - 1);
    at.y = std::clamp<LONG>(at.y, 0, logicalHeight - 1);
    RECT clip;
    if (CursorClip(&clip)) {
        at.x = std::clamp<LONG>(at.x, clip.left, std::max(clip.left, clip.right - 1));
        at.y = std::clamp<LONG>(at.y, clip.top, std::max(clip.top, clip.bottom - 1));
    }
    return at;
}

::POINT ToDisplay(::HWND window, int x, int y) {
    const Letterbox box = LetterboxIn(window);
    ::POINT at{box.left + static_cast<LONG>((x * 2 + 1) * static_cast<long long>(box.width) /
                                            (2 * logicalWidth)),
               box.top + static_cast<LONG>((y * 2 + 1) * static_cast<long long>(box.height) /
                                           (2 * logicalHeight))};
    ClientToScreen(window, &at);
    return at;
}

void RepaintWindow(::HWND window) {
    if (const Surface* primary = PrimarySurface()) Draw(window, *primary, true);
}

} // namespace windows

namespace backend {

int DisplayWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int DisplayHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }
bool Prefers555() { return false; }

void DisplayModeChanged(int width, int height) {
    windows::SetLogicalSize(width, height);
    pictureShown = false;
    if (::HWND window = windows::NativeOf(windows::ScreenWindow()))
        InvalidateRect(window, nullptr, FALSE);
}

bool ShowPrimary(const Surface& primary, const RECT& changed) {
    ::HWND window = windows::NativeOf(windows::ScreenWindow());
    if (!window) return false;
    const bool whole = !pictureShown;
    pictureShown = true;
    if (whole || (changed.right > changed.left && changed.bottom > changed.top))
        Draw(window, primary, whole);
    WaitForRefresh();
    return true;
}

void WaitForVerticalBlank() { WaitForRefresh(); }

void ShowNativePointer(bool visible) {
    SetCursor(visible ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)) : nullptr);
}

void ConfineNativePointer(const RECT* rect) {
    ::HWND window = windows::NativeOf(windows::ScreenWindow());
    if (!rect || !window) {
        ::ClipCursor(nullptr);
        return;
    }
    const ::POINT from = windows::ToDisplay(window, rect->left, rect->top);
    const ::POINT to = windows::ToDisplay(window, std::max(rect->left, rect->right - 1),
                                          std::max(rect->top, rect->bottom - 1));
    const ::RECT area{from.x, from.y, to.x + 1, to.y + 1};
    ::ClipCursor(&area);
}

void MoveNativePointer(int x, int y) {
    if (::HWND window = windows::NativeOf(windows::ScreenWindow())) {
        const ::POINT at = windows::ToDisplay(window, x, y);
        ::SetCursorPos(at.x, at.y);
    }
}

} // namespace backend
} // namespace platform
