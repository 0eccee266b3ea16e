// Surface memory as sections of shared memory, so that the system's drawing
// functions reach it through a bitmap over the same section: GDI draws on a
// surface directly, as it does on a display surface's own context. Each
// surface gets one memory context with such a bitmap, made when first asked.
#include "platform/win/surface_context.h"

#include <map>
#include <mutex>
#include <new>
#include <tuple>

namespace platform {

namespace {

struct Section {
    ::HANDLE handle = nullptr;
    // The surface layout a context was made for, and the context.
    int width = 0, height = 0, pitch = 0;
    PixelFormat format;
    ::HDC context = nullptr;
    ::HBITMAP bitmap = nullptr;
    ::HGDIOBJ replaced = nullptr;
};

std::mutex sectionsLock;
std::map<void*, Section> sections;

void DropContext(Section& section) {
    if (!section.context) return;
    SelectObject(section.context, section.replaced);
    DeleteObject(section.bitmap);
    DeleteDC(section.context);
    section.context = nullptr;
}

bool SameLayout(const Section& section, const Surface& surface) {
    return section.width == surface.width && section.height == surface.height &&
           section.pitch == surface.pitch && section.format.bits == surface.format.bits &&
           section.format.redMask == surface.format.redMask &&
           section.format.greenMask == surface.format.greenMask &&
           section.format.blueMask == surface.format.blueMask;
}

} // namespace

void* AllocateSurfaceMemory(std::size_t bytes) {
    const auto size = static_cast<unsigned long long>(bytes);
    ::HANDLE handle =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                           static_cast<::DWORD>(size >> 32), static_cast<::DWORD>(size), nullptr);
    if (!handle) throw std::bad_alloc();
    void* view = MapViewOfFile(handle, FILE_MAP_ALL_ACCESS, 0, 0, bytes);
    if (!view) {
        CloseHandle(handle);
        throw std::bad_alloc();
    }
    std::lock_guard<std::mutex> hold(sectionsLock);
    sections[view].handle = handle;
    return view;
}

void FreeSurfaceMemory(void* memory) {
    std::lock_guard<std::mutex> hold(sectionsLock);
    auto found = sections.find(memory);
    if (found == sections.end()) return;
    DropContext(found->second);
    UnmapViewOfFile(memory);
    CloseHandle(found->second.handle);
    sections.erase(found);
}

namespace windows {

SurfaceBitmapInfo SurfaceBitmapHeader(const Surface& surface) {
    SurfaceBitmapInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = surface.width;
    info.header.biHeight = -surface.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(surface.format.bits);
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = surface.format.redMask;
    info.masks[1] = surface.format.greenMask;
    info.masks[2] = surface.format.blueMask;
    return info;
}

::HDC SurfaceContext(Surface& surface) {
    std::lock_guard<std::mutex> hold(sectionsLock);
    auto found = sections.find(surface.memory.data());
    if (found == sections.end()) return nullptr;
    Section& section = found->second;
    if (section.context && SameLayout(section, surface)) return section.context;
    DropContext(section);
    const SurfaceBitmapInfo info = SurfaceBitmapHeader(surface);
    void* bits = nullptr;
    ::HDC context = CreateCompatibleDC(nullptr);
    ::HBITMAP bitmap = CreateDIBSection(context, reinterpret_cast<const BITMAPINFO*>(&info),
                                        DIB_RGB_COLORS, &bits, section.handle, 0);
    if (!context || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (context) DeleteDC(context);
        return nullptr;
    }
    section.replaced = SelectObject(context, bitmap);
    section.context = context;
    section.bitmap = bitmap;
    section.width = surface.width;
    section.height = surface.height;
    section.pitch = surface.pitch;
    section.format = surface.format;
    return context;
}

} // namespace windows
} // namespace platform
