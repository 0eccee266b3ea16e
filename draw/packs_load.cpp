// Loading images of the draw pack into sprite objects.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "draw/packs_format.h"
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "system/system.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace elDraw {

char PackPath[260];

const char* SetPackFile(const char* name) {
    // A path that does not fit names no pack.
    if (std::snprintf(PackPath, sizeof PackPath, "%s%s", elSystem::ProgramFolder(0), name) >=
        static_cast<int>(sizeof PackPath))
        PackPath[0] = '\0';
    return PackPath;
}

namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Copies the temporary surface onto the object, restoring lost surfaces
// between attempts.
platform::HRESULT CopyOnto(ObjectNo no, ObjectNo temporary, const PackRecord& record) {
    const platform::RECT destination{0, 0, ObjectTable[no].Width, ObjectTable[no].Height};
    const platform::RECT source{0, 0, record.Width, record.Height};
    platform::HRESULT result = platform::DDERR_GENERIC;
    for (int attempt = 0; attempt < 10; ++attempt) {
        result = platform::Blt(ObjectTable[no].Surface, &destination,
                               ObjectTable[temporary].Surface, &source, platform::DDBLT_WAIT);
        if (result == platform::DD_OK) break;
        if (result == platform::DDERR_SURFACELOST) Restore();
    }
    return result;
}

// Loads the pack's record `name` into entry `swap`, or into a free entry when
// `swap` is -1. The object's number, or 0 after an error.
ObjectNo LoadRecord(const char* operation, const char* name, ObjectNo swap, int placement) {
    std::unique_ptr<std::FILE, CloseFile> file(platform::OpenForReading(PackPath));
    if (!file) return elSystem::Error(operation, "パックファイル名が指定されていません");
    // The entry keeps the name for reloading, so a longer one cannot be loaded.
    const std::size_t length = std::strlen(name);
    if (length > OBJECT_NAME_LIMIT)
        return elSystem::Error(operation, "BMPファイルを読み込めません");
    char upper[OBJECT_NAME_LIMIT + 1];
    std::memcpy(upper, name, length + 1);
    platform::UpperCaseCp932(upper, length);
    PackRecord record;
    if (!FindPackRecord(file.get(), upper, record))
        return elSystem::Error(operation, "BMPファイルを読み込めません");

    ObjectNo no = swap;
    if (swap >= 0) {
        platform::ReleaseSurface(ObjectTable[swap].Surface);
        ObjectTable[swap].Surface = nullptr;
        ObjectTable[swap].Name[0] = '\0';
        if (!MakeObject(operation, swap, record.Width, record.Height, placement)) return 0;
    } else {
        no = CreateObject(record.Width, record.Height, placement);
        if (!no) return 0;
    }
    const ObjectNo temporary = CreateObject(record.Width, record.Height, 2);
    if (!temporary) return 0;

    platform::Surface* surface = ObjectTable[temporary].Surface;
    void* bits = nullptr;
    int pitch = 0;
    if (platform::Lock(surface, &bits, &pitch) != platform::DD_OK) return 0;
    ReadPackPixels(file.get(), record, PixelFormat, surface->format.bits / 8,
                   static_cast<std::uint8_t*>(bits), pitch);
    platform::Unlock(surface);
    file.reset();

    const platform::HRESULT copied = CopyOnto(no, temporary, record);
    ReleaseObject(temporary);
    if (copied != platform::DD_OK)
        return elSystem::Error(operation, "サーフェース間で展開できません");

    KeyPerMode(no);
    ObjectEntry& entry = ObjectTable[no];
    std::memcpy(entry.Name, upper, length + 1);
    entry.FromPack = 1;
    entry.Placement = 2;
    entry.Width = record.Width;
    entry.Height = record.Height;
    return no;
}

} // namespace

ObjectNo LoadPack(const char* name, int placement) {
    return LoadRecord("elDraw::LoadPack", name, -1, placement);
}

ObjectNo SwapPack(const char* name, ObjectNo no, int placement) {
    if (!InTable(no)) return 0;
    return LoadRecord("elDraw::SwapPack", name, no, placement);
}

} // namespace elDraw
