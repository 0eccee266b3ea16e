// elText: face enumeration into a table, and text drawn on the back buffer
// between Begin (or BeginFace) and End.
#pragma once

#include "platform/win/fonts.h"

#include <cstdint>

constexpr int FONT_TABLE_SIZE = 200;
// Entry 0 bounds the composed text; 1 onwards, one per laid-out character.
constexpr int CHAR_RECT_COUNT = 3200;
// The two work sprites of composed text, made by screen set-up.
constexpr int FONT_SPRITE = 2;
constexpr int FONT_BUFFER_SPRITE = 3;
// Compose flags above the extra line spacing of bits 0-7.
constexpr int TEXT_SHADOW = 0x100;
constexpr int TEXT_THICK_X = 0x200;
constexpr int TEXT_THICK_Y = 0x400;

struct FontEntry {
    char FaceName[36];
    std::int32_t Class; // 1 Japanese, 3 symbol, 2 other, -1 never filled
    std::uint8_t CharSet;
};

namespace elText {

// The one font description that every font-creating operation writes into and
// creates from; fields it does not write keep what the last one left.
extern platform::LOGFONTA* FontDesc;
extern FontEntry FontTable[FONT_TABLE_SIZE];
extern int FontCount;
extern int TextCopy;
extern platform::HFONT CurrentFont;
extern platform::HFONT PreviousFont;
extern platform::HDC TextDC;
extern int CurrentHeight;
extern COLORREF CurrentTextColor;
extern COLORREF CurrentBackColor;
extern platform::RECT BoxRect;
extern platform::RECT MeasureRect;

void Init();
void Quit();
// face 0: "標準明朝", 1: "標準ゴシック", other: the last face name; weight 0
// normal, 1 bold, other the engine's default.
void Begin(int face, int height, int angle, int weight, int italic, int underline);
void BeginFace(const char* faceName, int height, int angle, int weight, int italic, int underline);
void Color(COLORREF textColour, COLORREF backColour, int transparent);
void Print(int x, int y, const char* text);
// align 0 left, 1 centre, 2 right; any other draws nothing.
void PrintBox(int left, int top, int right, int bottom, const char* text, int align);
// Height of the text word-wrapped to the box's width.
int MeasureBox(int left, int top, int right, int bottom, const char* text);
void End();

// Composed text, laid out in a box on the font sprite and copied onto the back
// buffer with the colour key (the hold variants keep it for Reveal).
extern platform::RECT CharRects[CHAR_RECT_COUNT];
extern int CharCount;
extern int RevealCount;
extern float RevealTimer;
// Inside a Begin bracket, which it leaves open on the back buffer.
void PrintEffect(int left, int top, int right, int bottom, const char* text, int flags);
void PrintEffectHold(int left, int top, int right, int bottom, const char* text, int flags);
// A bracket at double height on the font buffer sprite for smoothed text.
void BeginSmooth(int face, int height);
void BeginSmoothFace(const char* faceName, int height);
void PrintSmooth(int left, int top, int right, int bottom, const char* text, int flags);
void PrintSmoothHold(int left, int top, int right, int bottom, const char* text, int flags);
void EndSmooth();
// Halves the double-size rectangle of the font buffer sprite into the font
// sprite at (x0, y0), blended over what the back buffer shows there.
void SmoothSegment(int x0, int y0, int left, int top, int right, int bottom);
// Shows one more character of the last composed text per interval; 1 once the
// whole text is shown.
int Reveal(float interval);

} // namespace elText
