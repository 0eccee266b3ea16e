// The draw module's own state and helpers, shared by its files and read by
// the tests; other modules use draw/draw.h alone.
#pragma once

#include "draw/draw.h"

#include <cstdint>

namespace elDraw {

// Loaders key new objects on this colour, or on their top-left pixel.
extern int KeyTopLeftFlag;
extern COLORREF KeyModeColor;

extern int StretchCapable;
extern int Device3D;
extern int SineTable[450];
extern int Depths[3];
extern platform::RECT PresentSource;

// Effect tables, built on 16-bit displays only.
extern std::uint8_t DecomposeTable[65536][3];
extern std::uint16_t CrossFadeTable[3 * 32768];
extern std::uint16_t FadeAddTable[3 * 32768];
extern std::uint16_t SubtractTable[3 * 1024];
extern std::uint16_t GreyTable[94];
extern std::uint8_t NoiseTable[10000];

std::uint32_t MatchColor(platform::Surface* surface, COLORREF color);
// Keys a fresh object per the loaders' setting.
void KeyPerMode(ObjectNo no);
// Empties an entry: no surface, no name, placement 2.
void ResetEntry(ObjectEntry& entry);
// Makes an empty object in entry `no`, as CreateObject does in a free one;
// errors name `operation`. 1, or 0 after an error.
int MakeObject(const char* operation, ObjectNo no, int width, int height, int placement);

// The present's fade picture and scrolling overlay.
extern int VSyncFlag;
extern ObjectNo FadeObject;
extern ObjectNo ScrollerText;
extern ObjectNo ScrollerTiles;
extern int ScrollerHeight;
extern float ScrollerPosition;
extern float ScrollerTileX, ScrollerTileY;

// Clip-rectangle wipe: 0 idle, 1 opening, 2 closing, -1 closed.
extern int WipeState;
extern ClipRectangle WipeSaved;
extern int WipeKind;
extern int WipeClosing;
extern float WipeSpeed;
extern int WipeBand;
extern int WipeOpened, WipeClosed;

// Frame-rate meter.
extern int FpsCounter;
// Clock reading at the last measurement.
extern std::uint32_t FpsTime;
extern float FpsRate, FpsHighest, FpsLowest;
extern char FpsText[64];

} // namespace elDraw
