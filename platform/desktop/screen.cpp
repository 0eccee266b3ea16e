// The primary surface on the real window: streamed into a texture and shown
// scaled to the window, letterboxed. Only the rows that changed are streamed,
// and a frame whose picture is the one shown is not presented again. Presents
// wait for the display's vertical blank where the renderer can; elsewhere, and
// for frames not presented, the vertical-blank wait is timed.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/present_pacing.h"
#include "platform/win/display.h"

#include <time.h>

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

SDL_Texture* texture = nullptr;
int textureWidth = 0, textureHeight = 0;
// The surface's pixel layout, and the texture's (which may differ).
Uint32 sourceFormat = 0, textureFormat = 0;
// The window needs the whole picture again: a new texture, or the window
// system lost what the window showed.
bool wholeDue = true;
PresentPacing pacing;
// A moment just after the display refreshed: when the last present in step
// with it returned. Frames that are not presented sleep to the refreshes that
// follow, so the next present in step waits for the refresh after that.
long long refreshPhaseNs = 0;

Uint32 SdlFormatOf(const PixelFormat& format) {
    if (format.bits == 32) return SDL_PIXELFORMAT_RGB888;
    return format.greenMask == 0x03E0 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
}

// The software renderer scales quickly only between pixels of one layout, so
// its texture takes the window's, converted while streamed; other renderers
// take the surface's own.
Uint32 TextureFormatOf(SDL_Renderer* renderer, Uint32 surfaceFormat) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !(info.flags & SDL_RENDERER_SOFTWARE))
        return surfaceFormat;
    Uint32 window = SDL_GetWindowPixelFormat(desktop::CurrentSdlWindow());
    return SDL_BITSPERPIXEL(window) == 24 && SDL_BYTESPERPIXEL(window) == 4 ? window
                                                                            : surfaceFormat;
}

bool TextureFor(SDL_Renderer* renderer, const Surface& surface) {
    Uint32 format = SdlFormatOf(surface.format);
    if (texture && textureWidth == surface.width && textureHeight == surface.height &&
        sourceFormat == format)
        return true;
    if (texture) SDL_DestroyTexture(texture);
    textureFormat = TextureFormatOf(renderer, format);
    texture = SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, surface.width,
                                surface.height);
    textureWidth = surface.width;
    textureHeight = surface.height;
    sourceFormat = format;
    wholeDue = true;
    return texture != nullptr;
}

// Streams rows `top` to `bottom` (exclusive) of the surface into the texture.
void StreamRows(const Surface& surface, int top, int bottom) {
    const SDL_Rect rows{0, top, surface.width, bottom - top};
    const std::uint8_t* from = surface.memory.data() + static_cast<std::size_t>(top) *
                                                           static_cast<std::size_t>(surface.pitch);
    if (textureFormat == sourceFormat) {
        SDL_UpdateTexture(texture, &rows, from, surface.pitch);
        return;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, &rows, &pixels, &pitch) != 0) return;
    SDL_ConvertPixels(rows.w, rows.h, sourceFormat, from, surface.pitch, textureFormat, pixels,
                      pitch);
    SDL_UnlockTexture(texture);
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

// Sleeps to the next refresh boundary.
void SleepToNextRefresh() {
    long long period = RefreshPeriodNs();
    long long wait = period - ((MonotonicNs() - refreshPhaseNs) % period + period) % period;
    timespec pause{static_cast<time_t>(wait / 1000000000LL),
                   static_cast<long>(wait % 1000000000LL)};
    nanosleep(&pause, nullptr);
}

} // namespace

namespace desktop {

void ForgetRenderer() {
    // The renderer takes its textures with it.
    texture = nullptr;
    pacing = PresentPacing();
}

void RepaintWindow() { wholeDue = true; }

bool PresentInStep() {
    SDL_Renderer* renderer = CurrentRenderer();
    SDL_RendererInfo info;
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC) && !pacing.RunsFree();
}

} // namespace desktop

namespace backend {

bool Prefers555() { return false; }

void DisplayModeChanged(int width, int height) {
    desktop::SetLogicalSize(width, height);
    wholeDue = true;
}

bool ShowPrimary(const Surface& primary, const RECT& changed) {
    SDL_Renderer* renderer = desktop::CurrentRenderer();
    if (!renderer || !TextureFor(renderer, primary)) return false;
    int top = 0, bottom = primary.height;
    if (!wholeDue) {
        top = std::clamp(changed.top, 0, primary.height);
        bottom = std::clamp(changed.bottom, 0, primary.height);
    }
    if (bottom <= top || (!wholeDue && changed.right <= changed.left)) {
        // The picture shown stays; the frame still takes the time a present
        // in step with the display would have.
        if (desktop::PresentInStep()) SleepToNextRefresh();
        pacing.Skipped();
        return true;
    }
    StreamRows(primary, top, bottom);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    const long long now = MonotonicNs();
    pacing.Presented(now, RefreshPeriodNs());
    if (desktop::PresentInStep()) refreshPhaseNs = now;
    wholeDue = false;
    return true;
}

void WaitForVerticalBlank() {
    // A present in step with the display waits by itself; waiting here as well
    // would skip a refresh.
    if (!desktop::PresentInStep()) SleepToNextRefresh();
}

} // namespace backend
} // namespace platform
