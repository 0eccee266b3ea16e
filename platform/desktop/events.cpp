// Desktop events become the window messages the window procedure expects.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/keymap.h"
#include "platform/win/sequencer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr LPARAM KF_ALTDOWN = 1 << 29;
constexpr LPARAM KF_REPEAT = 1 << 30;
constexpr LPARAM KF_UP = static_cast<LPARAM>(1u << 31);

bool active = false;

LPARAM PointerPosition(int x, int y) {
    x = std::clamp(x, 0, desktop::LogicalWidth() - 1);
    y = std::clamp(y, 0, desktop::LogicalHeight() - 1);
    return MAKELPARAM(x, y);
}

WPARAM ButtonFlags() {
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    return flags;
}

void PostButton(HWND window, const SDL_MouseButtonEvent& event) {
    bool left = event.button == SDL_BUTTON_LEFT;
    if (!left && event.button != SDL_BUTTON_RIGHT) return;
    UINT message;
    if (event.type == SDL_MOUSEBUTTONUP) {
        message = left ? WM_LBUTTONUP : WM_RBUTTONUP;
    } else if (event.clicks % 2 == 0 && (window->classStyle & CS_DBLCLKS)) {
        // Every second press in quick succession is a double click.
        message = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
    } else {
        message = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    }
    PostMessage(window, message, ButtonFlags(), PointerPosition(event.x, event.y));
}

// A notch of the wheel is WHEEL_DELTA; finer wheels send parts of one.
void PostWheel(HWND window, const SDL_MouseWheelEvent& event) {
    float notches = event.preciseY;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
    const long delta = std::clamp(std::lround(notches * WHEEL_DELTA), -32768L, 32767L);
    if (delta == 0) return;
    const auto keysAndTurn = MAKELPARAM(static_cast<int>(ButtonFlags()), static_cast<int>(delta));
    PostMessage(window, WM_MOUSEWHEEL, static_cast<WPARAM>(keysAndTurn),
                PointerPosition(event.mouseX, event.mouseY));
}

void PostKey(HWND window, const SDL_KeyboardEvent& event) {
    int key = desktop::VirtualKeyOf(event.keysym.sym);
    if (key == 0) return;
    bool down = event.type == SDL_KEYDOWN;
    bool alt = (event.keysym.mod & KMOD_ALT) != 0 || key == VK_MENU;
    // Alt combinations and F10 are system keys.
    bool system = alt || key == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | desktop::KeyDataOf(event.keysym.scancode);
    if (alt) lParam |= KF_ALTDOWN;
    if (event.repeat || !down) lParam |= KF_REPEAT;
    if (!down) lParam |= KF_UP;
    PostMessage(window, message, static_cast<WPARAM>(key), lParam);
}

void PostActivation(HWND window, bool nowActive) {
    if (nowActive == active) return;
    active = nowActive;
    PostMessage(window, WM_ACTIVATEAPP, nowActive ? 1 : 0, 0);
}

void Translate(HWND window, const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        PostMessage(window, WM_CLOSE, 0, 0);
        break;
    case SDL_MOUSEMOTION:
        // The pointer shape is asked for first, as the pointer enters or moves.
        SendMessage(window, WM_SETCURSOR, 0, 0);
        PostMessage(window, WM_MOUSEMOVE, ButtonFlags(),
                    PointerPosition(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        PostButton(window, event.button);
        break;
    case SDL_MOUSEWHEEL:
        PostWheel(window, event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        PostKey(window, event.key);
        break;
    case SDL_WINDOWEVENT:
        // A move of the real window is not reported: the window shows the whole
        // logical screen wherever the desktop puts it, so its client area always
        // starts at the screen's origin, where window creation put it.
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            PostActivation(window, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            PostActivation(window, false);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PostMessage(window, WM_CLOSE, 0, 0);
            break;
        // Uncovered, shown again, moved or resized: without a compositor the
        // window system keeps nothing of what the window showed.
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            desktop::RepaintWindow();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

} // namespace

namespace desktop {

void SetWindowActive(bool nowActive) { active = nowActive; }

} // namespace desktop

namespace backend {

void PumpEvents(bool block) {
    HWND window = desktop::CurrentWindow();
    if (!window) return;
    int before = QueuedMessageCount();
    SDL_Event event;
    for (;;) {
        if (desktop::TakeRaiseRequest()) RaiseNativeWindow(*window);
        // Tunes that the mixer's thread has played to their end are announced here.
        PollSequencers();
        bool got = SDL_PollEvent(&event) != 0;
        if (!got && block && QueuedMessageCount() == before) {
            // Wake now and then to notice a raise request from another copy.
            got = SDL_WaitEventTimeout(&event, 100) != 0;
            if (!got) continue;
        }
        if (!got) break;
        Translate(window, event);
        if (!desktop::CurrentWindow()) break;
    }
}

} // namespace backend
} // namespace platform
