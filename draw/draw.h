// elDraw: the screen, the sprite-object table, loaders, blits and colour keys.
#pragma once

#include "platform/win/gdi.h"
#include "platform/win/gdi_shapes.h"

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
// Numbers outside the table name no object; operations given one do nothing.
inline bool InTable(ObjectNo no) { return static_cast<unsigned>(no) < OBJECT_COUNT; }
// The object's surface; none for a number outside the table.
inline platform::Surface* SurfaceOf(ObjectNo no) {
    return InTable(no) ? ObjectTable[no].Surface : nullptr;
}
extern ClipRectangle ClipRect;
extern PixelFormatInfo PixelFormat;
extern platform::Surface* PrimarySurface;
extern platform::Surface* BackBuffer;

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
platform::HRESULT SetObjectKey(ObjectNo no, int color);
platform::HRESULT SetObjectKeyTopLeft(ObjectNo no);
platform::HRESULT CopyKey(ObjectNo destination, ObjectNo source);

// Sprite objects.
ObjectNo LoadObject(const char* name, int placement);
ObjectNo CreateObject(int width, int height, int placement);
int SwapObject(const char* name, ObjectNo no, int placement);
void ReleaseObject(ObjectNo no);

// Draw packs: images in 1:5:5:5 in one file, loaded by their upper-cased names.
extern char PackPath[260];
const char* SetPackFile(const char* name);
ObjectNo LoadPack(const char* name, int placement);
ObjectNo SwapPack(const char* name, ObjectNo no, int placement);
// Appends every BMP file of the folder to the pack (emptied first when `fresh`);
// needs a display of more than 16 bits.
int Convert(const char* name, const char* folder, int fresh);

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
// Trims the source rectangle `r` drawn at (x, y) to ClipRect; false when
// nothing is to be drawn (a zero width or height is kept).
bool Clip(int& x, int& y, platform::RECT& r);

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

// Image effects on 16-bit displays: each non-zero source pixel of the rectangle
// is mixed with the back-buffer pixel under it. 1, or 0 when the surfaces
// cannot be locked or are not 16 bits deep. Levels run 0 to 31.
int BlendDraw(int x, int y, float alpha, ObjectNo no, int left, int top, int right, int bottom);
int BlendDrawRGB(int x, int y, float redAlpha, float greenAlpha, float blueAlpha, ObjectNo no,
                 int left, int top, int right, int bottom);
int HalfDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
int CrossFadeDraw(int x, int y, int level, ObjectNo no, int left, int top, int right, int bottom);
int CrossFadeDrawRGB(int x, int y, int red, int green, int blue, ObjectNo no, int left, int top,
                     int right, int bottom);
int AddDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
int AddFadeDraw(int x, int y, float strength, ObjectNo no, int left, int top, int right,
                int bottom);
// Factors above 1 brighten up to the channel's maximum.
int BrightDraw(int x, int y, float factor, ObjectNo no, int left, int top, int right, int bottom);
int BrightDrawRGB(int x, int y, float red, float green, float blue, ObjectNo no, int left, int top,
                  int right, int bottom);
int SubDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
int GreyDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
int DimDraw(int x, int y, int level, ObjectNo no, int left, int top, int right, int bottom);
int DimDrawRGB(int x, int y, int red, int green, int blue, ObjectNo no, int left, int top,
               int right, int bottom);
int SoftEdgeDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom);
// Turns the source rectangle by `angle` degrees about the destination's centre.
int RotateDraw(int destinationLeft, int destinationTop, int destinationRight, int destinationBottom,
               int angle, ObjectNo no, int sourceLeft, int sourceTop, int sourceRight,
               int sourceBottom);

// Frame present: the screen fade and the scrolling overlay are laid over the
// back buffer, then it is copied to the primary surface.
extern int FadeLevel;
extern int FadeDirection;
extern int ScrollerOn;
// Key held while the overlay is on; the window procedure sets it and clears it on release.
extern int ScrollerKey;
platform::HRESULT Refresh();
void WaitVSync(int on);
ObjectNo LoadFade(const char* name);
void FadeOut();
void FadeIn();
void SetScroller(const char* textName, const char* tileName, int height);
void ToggleScroller();

// Clip-rectangle wipe: 0 idle, 1 opening, 2 closing, -1 closed.
int WipeStart(int closing, int kind, float speed, int band);
int WipeStep();
void WipeClose();
// Ends any wipe and puts back the clip rectangle it saved.
void WipeCancel();

// Frame-rate meter and debug lines, drawn as text on the back buffer.
void ShowFps();
void DebugText(int x, int y, const char* text);
// Formats into 260 bytes at most, cut between characters.
void DebugPrint(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Screen shot of the back buffer's top-left corner as a 24-bit BMP file.
int SaveScreen(const char* name, int width, int height);

// Primitives: GDI shapes drawn on the back buffer with a pen and brush made for
// the call, and fills of raw pixel values by the display device (not clipped to
// ClipRect). Rectangles are right- and bottom-exclusive.
platform::HRESULT Line(int x1, int y1, int x2, int y2, COLORREF color, int width);
platform::HRESULT Box(int left, int top, int right, int bottom, COLORREF fillColor,
                      COLORREF lineColor, int width);
// fill: 0 outline only, 1 cross-hatched with opaque gaps, 2 with transparent gaps.
platform::HRESULT Polygon(const platform::POINT* points, int count, COLORREF color,
                          COLORREF backColor, int width, int fill);
platform::HRESULT Bezier(const platform::POINT* points, int count, COLORREF color, int width);
// Outside the surface all three are 255.
void GetPixel(int x, int y, int& red, int& green, int& blue);
platform::HRESULT SetPixel(int x, int y, COLORREF color);
platform::HRESULT InvertRect(int left, int top, int right, int bottom);
platform::HRESULT Clear();
platform::HRESULT ClearObject(ObjectNo no);
platform::HRESULT ClearRect(int left, int top, int right, int bottom);
platform::HRESULT FrameRect(int left, int top, int right, int bottom);
platform::HRESULT ClearWhite();
platform::HRESULT WhiteRect(int left, int top, int right, int bottom);
platform::HRESULT FillRect(int left, int top, int right, int bottom, int value);
// Averages each pixel with the colour value; 0 when the back buffer cannot be locked.
int ShadeRect(int left, int top, int right, int bottom, int value);

} // namespace elDraw
