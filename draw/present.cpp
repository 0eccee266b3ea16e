// The end of every frame: the screen fade and the scrolling overlay over the
// back buffer, the vertical-blank wait and the copy to the primary surface.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "system/system.h"

#include <cmath>

namespace elDraw {

int VSyncFlag = 1;
int FadeLevel;
int FadeDirection;
ObjectNo FadeObject;
int ScrollerOn;
ObjectNo ScrollerText;
ObjectNo ScrollerTiles;
int ScrollerHeight;
float ScrollerPosition;
float ScrollerTileX, ScrollerTileY;
int ScrollerKey;

namespace {

constexpr int TILE_WIDTH = 64;
constexpr int TILE_HEIGHT = 48;
constexpr int FADE_FRAMES = 10;

// Ten by ten tiles of the pattern's current frame, then one step of the fade.
void DrawFade() {
    const int left = TILE_WIDTH * (FadeLevel - 1);
    for (int column = 0; column < 10; ++column)
        for (int row = 0; row < 10; ++row)
            Draw(TILE_WIDTH * column, TILE_HEIGHT * row, FadeObject, left, 0, left + TILE_WIDTH,
                 TILE_HEIGHT);
    FadeLevel += FadeDirection;
    if ((FadeDirection == -1 && FadeLevel < 1) || (FadeDirection == 1 && FadeLevel > FADE_FRAMES))
        FadeLevel = FadeDirection = 0;
}

// Moves a tile offset left or up; a whole tile's travel wraps back. The
// remainder keeps even a long frame's travel within one tile.
void DriftTile(float& offset, float size) {
    offset -= FrameSeconds * 10;
    if (offset <= -size) offset = std::fmod(offset, size);
}

void DrawScroller() {
    for (int column = 0; column <= 10; ++column)
        for (int row = 0; row <= 10; ++row)
            Draw(TILE_WIDTH * column + static_cast<int>(ScrollerTileX),
                 TILE_HEIGHT * row + static_cast<int>(ScrollerTileY), ScrollerTiles, 0, 0,
                 TILE_WIDTH, TILE_HEIGHT);
    DriftTile(ScrollerTileX, TILE_WIDTH);
    DriftTile(ScrollerTileY, TILE_HEIGHT);

    const int clipWidth = ClipRect.right - ClipRect.left;
    const int clipHeight = ClipRect.bottom - ClipRect.top;
    const int top = static_cast<int>(ScrollerPosition);
    Draw(ClipRect.left, ClipRect.top, ScrollerText, 0, top, clipWidth, top + clipHeight);

    switch (ScrollerKey) {
    case VK_UP:
        ScrollerPosition -= FrameSeconds * 100;
        break;
    case VK_LEFT:
        ScrollerPosition -= FrameSeconds * 300;
        break;
    case VK_DOWN:
        ScrollerPosition += FrameSeconds * 100;
        break;
    case VK_RIGHT:
        ScrollerPosition += FrameSeconds * 300;
        break;
    default:
        break;
    }
    if (ScrollerPosition < 0) ScrollerPosition = 0;
    const float last = static_cast<float>(ScrollerHeight - clipHeight);
    if (ScrollerPosition > last) ScrollerPosition = last;
}

} // namespace

platform::HRESULT Refresh() {
    if (FadeLevel != 0) DrawFade();
    if (ScrollerOn) DrawScroller();
    if (VSyncFlag == 1) platform::WaitForVerticalBlank();
    const platform::RECT destination{PresentRect.left, PresentRect.top, PresentRect.right,
                                     PresentRect.bottom};
    platform::HRESULT result = platform::Blt(PrimarySurface, &destination, BackBuffer,
                                             &PresentSource, platform::DDBLT_WAIT);
    if (result != platform::DDERR_SURFACELOST) return result;
    // This frame is not shown; the surfaces are back for the next one.
    Restore();
    return platform::DD_OK;
}

void WaitVSync(int on) { VSyncFlag = on; }

ObjectNo LoadFade(const char* name) {
    KeyColor(0);
    FadeObject = LoadObject(name, 2);
    return FadeObject;
}

void FadeOut() {
    FadeLevel = 1;
    FadeDirection = 1;
}

void FadeIn() {
    FadeLevel = FADE_FRAMES;
    FadeDirection = -1;
}

void SetScroller(const char* textName, const char* tileName, int height) {
    KeyColor(0);
    // A slot that holds an object takes the new image in place; an empty one
    // (never loaded, or its load failed) gets a fresh object.
    if (ScrollerText != 0)
        SwapObject(textName, ScrollerText, 2);
    else
        ScrollerText = LoadObject(textName, 2);
    if (ScrollerTiles != 0)
        SwapObject(tileName, ScrollerTiles, 2);
    else
        ScrollerTiles = LoadObject(tileName, 2);
    ScrollerPosition = 0;
    ScrollerHeight = height;
}

void ToggleScroller() {
    if (ScrollerOn)
        ScrollerOn = 0;
    else if (ScrollerHeight != 0)
        ScrollerOn = 1;
}

} // namespace elDraw
