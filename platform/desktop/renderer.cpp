// The renderer that shows the primary surface. An accelerated one presents in
// step with the display's vertical blank, so nothing tears. Where OpenGL runs
// on the processor (a software rasterizer, as in a virtual machine or on a
// server without a graphics processor), SDL's own software renderer scales the
// one texture for a fraction of the processor time and is taken instead.
#include "platform/desktop/desktop.h"

#include <cstring>

namespace platform::desktop {

namespace {

constexpr unsigned GL_RENDERER_NAME = 0x1F01; // glGetString's GL_RENDERER

// Whether the renderer draws with OpenGL on a rasterizer run by the processor.
bool OpenGlOnTheProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    // The renderer has just made its context current.
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString || !SDL_GL_GetCurrentContext()) return false;
    const char* name = reinterpret_cast<const char*>(getString(GL_RENDERER_NAME));
    if (!name) return false;
    for (const char* rasterizer : {"llvmpipe", "softpipe", "Software Rasterizer"})
        if (std::strstr(name, rasterizer)) return true;
    return false;
}

} // namespace

SDL_Renderer* CreateRenderer(SDL_Window* window) {
    // The software renderer's pixels go to the window directly, not through
    // OpenGL after all. Accelerated renderers never use that path.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    // A renderer asked for by name (SDL_RENDER_DRIVER) is kept.
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (renderer && !(asked && *asked) && OpenGlOnTheProcessor(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    // The software renderer has no vertical blank to wait for: SDL would time
    // the wait itself, out of step with the frames that are not presented. The
    // present's own timed wait paces every frame instead.
    SDL_RendererInfo info;
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
        (info.flags & SDL_RENDERER_SOFTWARE))
        SDL_RenderSetVSync(renderer, 0);
    return renderer;
}

} // namespace platform::desktop
