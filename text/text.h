// elText: face enumeration into a table, and text drawn on the back buffer
// between Begin (or BeginFace) and End.
#pragma once

#include "platform/fonts.h"

#include <cstdint>

constexpr int FONT_TABLE_SIZE = 200;

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

} // namespace elText
