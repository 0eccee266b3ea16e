// Sprite objects: BMP images and empty surfaces in slots of the object table.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/files/files.h"
#include "platform/win/gdi.h"
#include "system/system.h"

#include <cstdio>
#include <cstring>

namespace elDraw {

namespace {

DWORD CapsOf(int placement) {
    return placement == 2 ? platform::DDSCAPS_OFFSCREENPLAIN
                          : platform::DDSCAPS_OFFSCREENPLAIN | platform::DDSCAPS_SYSTEMMEMORY;
}

ObjectNo FirstFreeEntry() {
    for (ObjectNo no = FIRST_CALLER_OBJECT; no < OBJECT_COUNT; ++no)
        if (ObjectTable[no].Name[0] == '\0') return no;
    return 0;
}

// Reads the image file into the entry's surface (made at the image's size and
// converted to the display's format). False when no surface resulted.
bool ReadImage(const char* path, ObjectEntry& entry, int placement) {
    platform::DecodedImage image;
    if (!platform::LoadBmpFile(platform::ResolvePath(path), image)) return false;
    entry.Width = static_cast<std::uint16_t>(image.width);
    entry.Height = static_cast<std::uint16_t>(image.height);
    if (platform::CreateSurface(CapsOf(placement), image.width, image.height, &entry.Surface) !=
        platform::DD_OK)
        return false;
    platform::Restore(entry.Surface);
    platform::HDC memoryDC = platform::CreateBitmapDC(&image);
    platform::HDC surfaceDC = nullptr;
    if (platform::GetDC(entry.Surface, &surfaceDC) == platform::DD_OK) {
        platform::StretchBlt(surfaceDC, 0, 0, entry.Surface->width, entry.Surface->height, memoryDC,
                             0, 0, image.width, image.height, platform::SRCCOPY);
        platform::ReleaseDC(entry.Surface, surfaceDC);
    }
    platform::DeleteDC(memoryDC);
    return true;
}

// Fills an entry from a file beside the program. The program carries no
// bitmap resources, so when the file gives nothing the load fails.
int FillEntry(const char* operation, const char* name, ObjectNo no, int placement) {
    char path[260];
    std::snprintf(path, sizeof path, "%s%s", elSystem::ProgramFolder(0), name);
    if (ReadImage(path, ObjectTable[no], placement)) {
        KeyPerMode(no);
        return 1;
    }
    return elSystem::Error(operation, "BMPファイルを読み込めません");
}

void TakeEntry(ObjectNo no, const char* name) {
    ObjectEntry& entry = ObjectTable[no];
    std::snprintf(entry.Name, sizeof entry.Name, "%s", name);
    entry.FromPack = 0;
    entry.Placement = 2;
}

} // namespace

ObjectNo LoadObject(const char* name, int placement) {
    if (std::strlen(name) > OBJECT_NAME_LIMIT)
        return elSystem::Error("elDraw::LoadObject", "ファイル名またはリソース名が長すぎます");
    ObjectNo no = FirstFreeEntry();
    if (no == 0) return elSystem::Error("elDraw::LoadObject", "オブジェクト数が多過ぎます");
    TakeEntry(no, name);
    return FillEntry("elDraw::LoadObject", name, no, placement) ? no : 0;
}

int SwapObject(const char* name, ObjectNo no, int placement) {
    if (!InTable(no)) return 0;
    if (std::strlen(name) > OBJECT_NAME_LIMIT)
        return elSystem::Error("elDraw::SwapObject", "ファイル名またはリソース名が長すぎます");
    ObjectEntry& entry = ObjectTable[no];
    platform::ReleaseSurface(entry.Surface);
    entry.Surface = nullptr;
    TakeEntry(no, name);
    return FillEntry("elDraw::SwapObject", name, no, placement);
}

int MakeObject(const char* operation, ObjectNo no, int width, int height, int placement) {
    TakeEntry(no, "*");
    ObjectEntry& entry = ObjectTable[no];
    entry.Width = static_cast<std::uint16_t>(width);
    entry.Height = static_cast<std::uint16_t>(height);
    if (platform::CreateSurface(CapsOf(placement), width, height, &entry.Surface) !=
        platform::DD_OK)
        return elSystem::Error(operation, "スプライトを作成できません");
    KeyPerMode(no);
    return 1;
}

ObjectNo CreateObject(int width, int height, int placement) {
    ObjectNo no = FirstFreeEntry();
    if (no == 0) return elSystem::Error("elDraw::CreateObject", "オブジェクト数が多過ぎます");
    return MakeObject("elDraw::CreateObject", no, width, height, placement) ? no : 0;
}

void ReleaseObject(ObjectNo no) {
    if (!SurfaceOf(no)) return;
    ObjectEntry& entry = ObjectTable[no];
    platform::ReleaseSurface(entry.Surface);
    entry.Surface = nullptr;
    entry.Name[0] = '\0';
    entry.KeyColor = 0;
    entry.Width = 0;
    entry.Height = 0;
}

} // namespace elDraw
