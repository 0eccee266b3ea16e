// The primary surface on the real window: streamed into a texture and shown
// scaled to the window, letterboxed. Presents wait for the display's vertical
// blank where the renderer can; elsewhere the vertical-blank wait is timed.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/present_pacing.h"

#include <time.h>

namespace platform {

namespace {

SDL_Texture* texture = nullptr;
int textureWidth = 0, textureHeight = 0;
Uint32 textureFormat = 0;
PresentPacing pacing;

Uint32 SdlFormatOf(const PixelFormat& format) {
    if (format.bits == 32) return SDL_PIXELFORMAT_RGB888;
    return format.greenMask == 0x03E0 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
}

bool TextureFor(SDL_Renderer* renderer, const Surface& surface) {
    Uint32 format = SdlFormatOf(surface.format);
    if (texture && textureWidth == surface.width && textureHeight == surface.height &&
        textureFormat == format)
        return true;
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, surface.width,
                                surface.height);
    textureWidth = surface.width;
    textureHeight = surface.height;
    textureFormat = format;
    return texture != nullptr;
}

long long MonotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Time between two refreshes of the window's display.
long long RefreshPeriodNs() {
    SDL_DisplayMode mode;
    SDL_Window* window = desktop::CurrentSdlWindow();
    int rate = 60;
    if (window && SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0)
        rate = mode.refresh_rate;
    return 1000000000LL / rate;
}

} // namespace

namespace desktop {

void ForgetRenderer() {
    // The renderer takes its textures with it.
    texture = nullptr;
    pacing = PresentPacing();
}

bool PresentInStep() {
    SDL_Renderer* renderer = CurrentRenderer();
    SDL_RendererInfo info;
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC) && !pacing.RunsFree();
}

} // namespace desktop

namespace backend {

bool Prefers555() { return false; }

void DisplayModeChanged(int width, int height) { desktop::SetLogicalSize(width, height); }

void ShowPrimary(const Surface& primary) {
    SDL_Renderer* renderer = desktop::CurrentRenderer();
    if (!renderer || !TextureFor(renderer, primary)) return;
    SDL_UpdateTexture(texture, nullptr, primary.memory.data(), primary.pitch);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    pacing.Presented(MonotonicNs(), RefreshPeriodNs());
}

void WaitForVerticalBlank() {
    // A present in step with the display waits by itself; waiting here as well
    // would skip a refresh.
    if (desktop::PresentInStep()) return;
    // Sleeps to the next refresh boundary.
    long long period = RefreshPeriodNs();
    long long wait = period - MonotonicNs() % period;
    timespec pause{static_cast<time_t>(wait / 1000000000LL),
                   static_cast<long>(wait % 1000000000LL)};
    nanosleep(&pause, nullptr);
}

} // namespace backend
} // namespace platform
