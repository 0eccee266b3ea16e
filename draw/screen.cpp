// Screen set-up: display mode, primary surface, back buffer, internal objects,
// pixel format and lookup tables; lost-surface restore and teardown.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/win/gdi.h"
#include "platform/win/messages.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace elDraw {

ObjectEntry ObjectTable[OBJECT_COUNT];
ClipRectangle ClipRect;
int StretchCapable;
int Device3D;
PixelFormatInfo PixelFormat;
int SineTable[450];
int Depths[3] = {16, 0, 0};
platform::Surface* PrimarySurface;
platform::Surface* BackBuffer;
platform::RECT PresentSource;

std::uint8_t DecomposeTable[65536][3];
std::uint16_t CrossFadeTable[3 * 32768];
std::uint16_t FadeAddTable[3 * 32768];
std::uint16_t SubtractTable[3 * 1024];
std::uint16_t GreyTable[94];
std::uint8_t NoiseTable[10000];

namespace {

// Size used when a caller asks for the stored default with a width of -1.
constexpr int DEFAULT_WIDTH = 640;
constexpr int DEFAULT_HEIGHT = 480;

platform::HDC backDC;

const char* const InternalNames[4] = {"内部用１", "内部用２", "内部用３", "内部用４"};
const char* const InternalErrors[4] = {
    "Bufferスプライトが生成できません", "Screenスプライトが生成できません",
    "Fontスプライトが生成できません", "Fontバッファスプライトが生成できません"};

int Fail(const char* message) { return elSystem::Error("elDraw::Screen", message); }

// Takes the first device with 3D hardware; none means the default device.
void ChooseDevice() {
    for (int device = 0; device < platform::DisplayDeviceCount(); ++device) {
        Device3D = 0;
        platform::DeviceCaps caps = platform::DeviceCapsOf(device);
        if ((caps.caps & platform::DDCAPS_3D) && (caps.surfaceCaps & platform::DDSCAPS_TEXTURE) &&
            platform::OpenDisplay(device)) {
            Device3D = 1;
            return;
        }
    }
}

platform::HRESULT TakeDisplayMode(int width, int height) {
    platform::HRESULT result = platform::SetDisplayMode(width, height, Depths[0]);
    if (result != platform::DD_OK && Depths[1] != 0) {
        Depths[0] = Depths[1];
        result = platform::SetDisplayMode(width, height, Depths[0]);
        if (result != platform::DD_OK && Depths[2] != 0) {
            Depths[0] = Depths[2];
            result = platform::SetDisplayMode(width, height, Depths[0]);
        }
    }
    return result;
}

PixelChannel ChannelOf(std::uint32_t mask) {
    PixelChannel channel{mask, 0, 0, 0};
    while (!(mask & 1)) {
        mask >>= 1;
        ++channel.Shift;
    }
    channel.Max = mask;
    channel.Shift5 = static_cast<std::uint16_t>(channel.Shift + (mask == 63 ? 1 : 0));
    return channel;
}

int ReadPixelFormat() {
    const platform::PixelFormat& format = BackBuffer->format;
    if (!format.redMask || !format.greenMask || !format.blueMask) return 0;
    PixelFormat.Red = ChannelOf(format.redMask);
    PixelFormat.Green = ChannelOf(format.greenMask);
    PixelFormat.Blue = ChannelOf(format.blueMask);
    PixelFormat.HalfMask = 0;
    PixelFormat.WhiteMask = 0;
    for (const PixelChannel* c : {&PixelFormat.Red, &PixelFormat.Green, &PixelFormat.Blue}) {
        PixelFormat.HalfMask += (c->Max >> 1) << c->Shift;
        PixelFormat.WhiteMask += c->Max << c->Shift;
    }
    PixelFormat.HalfMask2 = PixelFormat.HalfMask << 16 | PixelFormat.HalfMask;
    return 1;
}

void BuildSineTable() {
    const double pi = 3.141592653589793;
    for (int i = 0; i < 450; ++i) SineTable[i] = static_cast<int>(std::sin(2 * pi * i / 360) * 360);
}

// Tables of the per-pixel effects, on 5-bit components.
void BuildEffectTables() {
    const PixelChannel* channels[3] = {&PixelFormat.Red, &PixelFormat.Green, &PixelFormat.Blue};
    for (std::uint32_t r = 0; r <= PixelFormat.Red.Max; ++r)
        for (std::uint32_t g = 0; g <= PixelFormat.Green.Max; ++g)
            for (std::uint32_t b = 0; b <= PixelFormat.Blue.Max; ++b) {
                std::uint32_t index =
                    (r << PixelFormat.Red.Shift) + (g << PixelFormat.Green.Shift) + b;
                if (index >= 65536) continue;
                DecomposeTable[index][0] =
                    static_cast<std::uint8_t>(PixelFormat.Red.Max == 63 ? r >> 1 : r);
                DecomposeTable[index][1] =
                    static_cast<std::uint8_t>(PixelFormat.Green.Max == 63 ? g >> 1 : g);
                DecomposeTable[index][2] =
                    static_cast<std::uint8_t>(PixelFormat.Blue.Max == 63 ? b >> 1 : b);
            }
    for (int c = 0; c < 3; ++c) {
        const int shift = channels[c]->Shift5;
        for (int a = 0; a < 32; ++a)
            for (int i = 0; i < 32; ++i)
                for (int j = 0; j < 32; ++j) {
                    int index = c * 32768 + a * 1024 + i * 32 + j;
                    int faded = std::max(0, i - a) + std::max(0, j - (31 - a));
                    CrossFadeTable[index] = static_cast<std::uint16_t>(faded << shift);
                    int added = std::min(31, std::max(0, i - a) + j);
                    FadeAddTable[index] = static_cast<std::uint16_t>(added << shift);
                }
        for (int i = 0; i < 32; ++i)
            for (int j = 0; j < 32; ++j)
                SubtractTable[c * 1024 + i * 32 + j] =
                    static_cast<std::uint16_t>(std::max(0, i - j) << shift);
    }
    for (int s = 0; s < 94; ++s) GreyTable[s] = static_cast<std::uint16_t>(s / 3);
    for (std::uint8_t& noise : NoiseTable) noise = static_cast<std::uint8_t>(std::rand() % 3);
}

} // namespace

void ResetEntry(ObjectEntry& entry) {
    entry.Surface = nullptr;
    entry.Name[0] = '\0';
    entry.FromPack = 0;
    entry.Placement = 2;
    entry.KeyColor = 0;
    entry.Width = 0;
    entry.Height = 0;
}

int Screen(int width, int height, int mode) {
    PrimarySurface = nullptr;
    BackBuffer = nullptr;
    ErrorFlag = 0;
    if (width == -1) {
        width = DEFAULT_WIDTH;
        height = DEFAULT_HEIGHT;
    }
    ScreenWidth = width;
    ScreenHeight = height;
    ClipRect = {0, 0, width, height};

    ChooseDevice();
    if (!platform::DisplayOpen() && !platform::OpenDisplay(-1))
        return Fail("DirectDrawが使用できません");
    DWORD placement = (mode == 1 || mode == 3) ? 0 : platform::DDSCAPS_SYSTEMMEMORY;
    if (platform::SetCooperativeLevel(MainWindowHandle,
                                      platform::DDSCL_EXCLUSIVE | platform::DDSCL_FULLSCREEN |
                                          platform::DDSCL_ALLOWREBOOT) != platform::DD_OK)
        return Fail("フルスクリーン化できません");
    if (TakeDisplayMode(width, height) != platform::DD_OK) return Fail("解像度が変更できません");
    if (platform::CreatePrimarySurface(placement, &PrimarySurface) != platform::DD_OK)
        return Fail("表画面が生成できません");
    if (platform::CreateSurface(platform::DDSCAPS_OFFSCREENPLAIN | placement, width, height,
                                &BackBuffer) != platform::DD_OK)
        return Fail("裏画面が生成できません");
    if (mode == 3) placement = platform::DDSCAPS_SYSTEMMEMORY;

    for (int no = 0; no < FIRST_CALLER_OBJECT; ++no) {
        DWORD caps = platform::DDSCAPS_OFFSCREENPLAIN |
                     (no < 2 ? placement : platform::DDSCAPS_SYSTEMMEMORY);
        ObjectEntry& entry = ObjectTable[no];
        if (platform::CreateSurface(caps, width, height, &entry.Surface) != platform::DD_OK)
            return Fail(InternalErrors[no]);
        std::uint32_t black = MatchColor(entry.Surface, 0);
        platform::SetColorKey(entry.Surface, black, black);
        std::strcpy(entry.Name, InternalNames[no]);
        entry.FromPack = 0;
        entry.Placement = 2;
        entry.KeyColor = 0;
        entry.Width = static_cast<std::uint16_t>(width);
        entry.Height = static_cast<std::uint16_t>(height);
    }

    platform::DeviceCaps driver, emulation;
    platform::GetDisplayCaps(driver, emulation);
    StretchCapable =
        ((Device3D ? driver.caps : emulation.caps) & platform::DDCAPS_BLTSTRETCH) ? 1 : 0;

    if (!ReadPixelFormat()) return Fail("ピクセル情報が取得できません");
    BuildSineTable();
    if (platform::DisplayBitsPerPixel() == 16) BuildEffectTables();
    for (int no = FIRST_CALLER_OBJECT; no < OBJECT_COUNT; ++no) ResetEntry(ObjectTable[no]);

    ScrollerText = 0;
    ScrollerTiles = 0;
    PresentSource = {0, 0, width, height};
    PresentRect = {ClientX, ClientY, ClientX + width, ClientY + height};
    // The screen is the framework's start-up: once it exists, the other modules start.
    elSystem::StartModules();
    return 1;
}

void SetDepths(int depth, int fallback1, int fallback2) {
    Depths[0] = depth;
    Depths[1] = fallback1;
    Depths[2] = fallback2;
}

void SetClip(int left, int top, int right, int bottom) { ClipRect = {left, top, right, bottom}; }

void Restore() {
    platform::Restore(PrimarySurface);
    if (platform::IsLost(BackBuffer)) platform::Restore(BackBuffer);
    for (int no = 0; no < FIRST_CALLER_OBJECT; ++no)
        if (platform::IsLost(ObjectTable[no].Surface)) platform::Restore(ObjectTable[no].Surface);
    for (int no = FIRST_CALLER_OBJECT; no < OBJECT_COUNT; ++no) {
        ObjectEntry& entry = ObjectTable[no];
        if (entry.Name[0] == '\0' || !entry.Surface) continue;
        if (platform::IsLost(entry.Surface)) platform::Restore(entry.Surface);
        // Objects made in memory cannot be reloaded; images are read again,
        // from the pack or from their files.
        if (entry.Name[0] == '*') continue;
        KeyColor(static_cast<COLORREF>(entry.KeyColor));
        char name[32];
        std::strcpy(name, entry.Name);
        if (entry.FromPack == 1)
            SwapPack(name, no, entry.Placement);
        else
            SwapObject(name, no, entry.Placement);
    }
}

void Quit() {
    if (platform::DisplayOpen()) {
        for (ObjectEntry& entry : ObjectTable) {
            if (!entry.Surface) continue;
            platform::ReleaseSurface(entry.Surface);
            ResetEntry(entry);
        }
        platform::ReleaseSurface(PrimarySurface);
        platform::ReleaseSurface(BackBuffer);
        PrimarySurface = nullptr;
        BackBuffer = nullptr;
        platform::RestoreDisplayMode();
        platform::SetCooperativeLevel(MainWindowHandle, platform::DDSCL_NORMAL);
        platform::CloseDisplay();
    }
    platform::CloseWindow(MainWindowHandle);
}

platform::HDC GetBackDC() {
    platform::GetDC(BackBuffer, &backDC);
    return backDC;
}

int ReleaseBackDC() {
    platform::HRESULT result = platform::ReleaseDC(BackBuffer, backDC);
    backDC = nullptr;
    return result;
}

} // namespace elDraw
