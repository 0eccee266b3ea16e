// elDraw: the screen, the sprite-object table, loaders, blits and colour keys.
#pragma once

#include "platform/gdi.h"

#include <cstdint>

using ObjectNo = int;

constexpr int OBJECT_COUNT = 512;
constexpr int FIRST_CALLER_OBJECT = 4;
constexpr int OBJECT_NAME_LIMIT = 30;

struct ObjectEntry {
    platform::Surface* Surface;
    char Name[32];
    int FromPack;
    int Placement;
    int KeyColor;
    std::uint16_t Width;
    std::uint16_t Height;
};

struct ClipRectangle {
    int left, top, right, bottom;
};

struct PixelChannel {
    std::uint32_t Mask;
    std::uint16_t Shift;
    std::uint32_t Max;
    std::uint16_t Shift5;
};

struct PixelFormatInfo {
    PixelChannel Red, Green, Blue;
    std::uint32_t HalfMask;
    std::uint32_t HalfMask2;
    std::uint32_t WhiteMask;
};

namespace elDraw {

extern ObjectEntry ObjectTable[OBJECT_COUNT];
// Loaders key new objects on this colour, or on their top-left pixel.
extern int KeyTopLeftFlag;
extern COLORREF KeyModeColor;

extern ClipRectangle ClipRect;
extern int StretchCapable;
extern int Device3D;
extern PixelFormatInfo PixelFormat;
extern int SineTable[450];
extern int Depths[3];
extern platform::Surface* PrimarySurface;
extern platform::Surface* BackBuffer;
extern platform::RECT PresentSource;

// Effect tables, built on 16-bit displays only.
extern std::uint8_t DecomposeTable[65536][3];
extern std::uint16_t CrossFadeTable[3 * 32768];
extern std::uint16_t FadeAddTable[3 * 32768];
extern std::uint16_t SubtractTable[3 * 1024];
extern std::uint16_t GreyTable[94];
extern std::uint8_t NoiseTable[10000];

// Screen set-up and teardown.
int Screen(int width, int height, int mode);
void SetDepths(int depth, int fallback1, int fallback2);
void SetClip(int left, int top, int right, int bottom);
void Restore();
void Quit();
platform::HDC GetBackDC();
int ReleaseBackDC();

// Colour keys.
void KeyColor(COLORREF color);
void KeyTopLeft();
std::uint32_t MatchColor(platform::Surface* surface, COLORREF color);
platform::HRESULT SetObjectKey(ObjectNo no, int color);
platform::HRESULT SetObjectKeyTopLeft(ObjectNo no);
platform::HRESULT CopyKey(ObjectNo destination, ObjectNo source);
// Keys a fresh object per the loaders' setting.
void KeyPerMode(ObjectNo no);
// Empties an entry: no surface, no name, placement 2.
void ResetEntry(ObjectEntry& entry);

// Sprite objects.
ObjectNo LoadObject(const char* name, int placement);
ObjectNo CreateObject(int width, int height, int placement);
int SwapObject(const char* name, ObjectNo no, int placement);
void ReleaseObject(ObjectNo no);

// Blits.
void Draw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
void DrawOpaque(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
platform::HRESULT DrawTo(ObjectNo destination, int x, int y, ObjectNo no, int left, int top,
                         int right, int bottom);
platform::HRESULT DrawOpaqueTo(ObjectNo destination, int x, int y, ObjectNo no, int left, int top,
                               int right, int bottom);
void Capture(ObjectNo no, int left, int top, int right, int bottom);
void StretchDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom, int width,
                 int height);
void StretchDrawOpaque(int x, int y, ObjectNo no, int left, int top, int right, int bottom,
                       int width, int height);
int FlipDraw(int x, int y, int mirror, ObjectNo no, int left, int top, int right, int bottom);

// Row-strip effects.
void WaveDraw(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left, int top,
              int right, int bottom, int alternate);
void TileScroll(float speedX, float speedY, ObjectNo no, int left, int top, int right, int bottom);
void WaveScroll(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left,
                int top, int right, int bottom, int alternate, float scrollSpeed);
void WaveBand(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left, int top,
              int right, int bottom, int alternate, float scrollSpeed);
void RowRepeat(int x, int y, int factor, ObjectNo no, int left, int top, int right, int bottom);
void RowSkip(int x, int y, int step, ObjectNo no, int left, int top, int right, int bottom);
void RowJitter(int x, int y, int range, ObjectNo no, int left, int top, int right, int bottom);
void RowSqueeze(int x, int y, int direction, float speed, ObjectNo no, int left, int top, int right,
                int bottom);

} // namespace elDraw

namespace elSystem {
// Folder of the program, ending in '\'; with `redirect`, under the data root when set.
const char* ProgramFolder(int redirect);
int SetDataRoot(const char* name);
} // namespace elSystem
