// The real window on the desktop: borderless, as large as the display, at its
// origin, drawing a 1024 x 768 logical screen scaled to fit.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/held_file.h"

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

bool videoTried = false;
bool videoReady = false;
bool withoutDisplay = false;
SDL_Window* sdlWindow = nullptr;
SDL_Renderer* renderer = nullptr;
HWND ownerWindow = nullptr;
int logicalWidth = 1024, logicalHeight = 768;
volatile sig_atomic_t raiseRequested = 0;

void OnRaiseSignal(int) { raiseRequested = 1; }

// When the X server goes away, Xlib's own handler exits through the exit
// handlers, and SDL_Quit among them waits on the dead connection for ever.
// Ours says so and ends the program at once. SDL has loaded Xlib by now when
// the display is an X server; the handler is taken from it by name.
void EndOnLostDisplay() {
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return;
    using Handler = int (*)(void*);
    using SetHandler = Handler (*)(Handler);
    // The line is made now, so that the handler only writes it.
    static char message[256];
    std::snprintf(message, sizeof message, "%s: the connection to the display was lost\n",
                  CommandName());
    if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")))
        set([](void*) -> int {
            (void)!write(STDERR_FILENO, message, std::strlen(message));
            _exit(EXIT_FAILURE);
        });
    dlclose(xlib);
}

bool VideoReady() {
    if (videoTried) return videoReady;
    videoTried = true;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // Only a real display will do; SDL would otherwise fall back to an invisible
    // off-screen driver. An explicit SDL_VIDEODRIVER still wins.
    std::string drivers;
    if (withoutDisplay) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (const char* x = std::getenv("DISPLAY"); x && *x) drivers = "x11";
    if (const char* w = std::getenv("WAYLAND_DISPLAY"); w && *w)
        drivers += drivers.empty() ? "wayland" : ",wayland";
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (drivers.empty() && !(chosen && *chosen)) {
        std::fprintf(stderr,
                     "%s: cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                     CommandName());
        return false;
    }
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_DEFAULT);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "%s: cannot open a display (%s)\n", CommandName(), SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);
    EndOnLostDisplay();
    SDL_DisableScreenSaver();
    videoReady = true;
    return true;
}

} // namespace

namespace desktop {

HWND CurrentWindow() { return ownerWindow; }
SDL_Window* CurrentSdlWindow() { return sdlWindow; }
SDL_Renderer* CurrentRenderer() { return renderer; }
int LogicalWidth() { return logicalWidth; }
int LogicalHeight() { return logicalHeight; }

void SetLogicalSize(int width, int height) {
    logicalWidth = width;
    logicalHeight = height;
    if (renderer) SDL_RenderSetLogicalSize(renderer, width, height);
}

bool TakeRaiseRequest() {
    if (!raiseRequested) return false;
    raiseRequested = 0;
    return true;
}

} // namespace desktop

void UseWindowsWithoutDisplay() { withoutDisplay = true; }

namespace backend {

bool CreateNativeWindow(Window& window) {
    if (!VideoReady() || sdlWindow) return false;
    sdlWindow = SDL_CreateWindow(window.title.c_str(), window.x, window.y, window.width,
                                 window.height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (!sdlWindow) {
        std::fprintf(stderr, "%s: cannot create the window (%s)\n", CommandName(), SDL_GetError());
        return false;
    }
    // A window that is never shown presents nothing and needs no renderer.
    if (!withoutDisplay) renderer = desktop::CreateRenderer(sdlWindow);
    if (renderer)
        SDL_RenderSetLogicalSize(renderer, desktop::LogicalWidth(), desktop::LogicalHeight());
    ownerWindow = &window;
    window.native = sdlWindow;
    signal(SIGUSR1, OnRaiseSignal);
    return true;
}

void ShowNativeWindow(Window& window) {
    if (window.native != sdlWindow || !sdlWindow) return;
    SDL_ShowWindow(sdlWindow);
    SDL_RaiseWindow(sdlWindow);
    desktop::SetWindowActive(true);
    if (renderer) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
    }
}

void DestroyNativeWindow(Window& window) {
    if (window.native != sdlWindow || !sdlWindow) return;
    desktop::ForgetRenderer();
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(sdlWindow);
    renderer = nullptr;
    sdlWindow = nullptr;
    ownerWindow = nullptr;
    window.native = nullptr;
}

void RaiseNativeWindow(Window& window) {
    if (window.native != sdlWindow || !sdlWindow) return;
    SDL_RaiseWindow(sdlWindow);
    // Raising asks the window manager for the focus; without one, as under a
    // bare X server, nobody would give it.
    SDL_SetWindowInputFocus(sdlWindow);
}

void MinimizeNativeWindow(Window& window) {
    if (window.native == sdlWindow && sdlWindow) SDL_MinimizeWindow(sdlWindow);
}

void ShowNativeTitle(Window& window) {
    if (window.native == sdlWindow && sdlWindow)
        SDL_SetWindowTitle(sdlWindow, Cp932ToUtf8(window.caption).c_str());
}

void ShowNativePointer(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

bool EnableTextInput(bool on) {
    // SDL starts with text input on, which hands keys to an input method.
    bool wasOn = SDL_IsTextInputActive();
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
    return wasOn;
}

int DisplayWidth() {
    SDL_DisplayMode mode;
    if (!VideoReady() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    return mode.w;
}

int DisplayHeight() {
    SDL_DisplayMode mode;
    if (!VideoReady() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    return mode.h;
}

std::string LockFolder() {
    // The user's runtime folder, else one of ours in /tmp, chosen once.
    static const std::string folder = [] {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime && *runtime && IsPrivateFolder(runtime)) return std::string(runtime);
        return PrivateFolder("/tmp/tessera-" + std::to_string(geteuid()));
    }();
    return folder;
}

} // namespace backend
} // namespace platform
