// Fonts and text on device contexts: typeface enumeration, fonts made from
// LOGFONT fields, and CP932 text drawn at a point or word-wrapped in a box.
// Faces are matched through fontconfig and drawn with FreeType; the system's
// own face names are mapped to installed Japanese faces.
#pragma once

#include "platform/win/gdi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr std::uint8_t SHIFTJIS_CHARSET = 128;
constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    std::int32_t lfHeight;     // > 0 cell height, < 0 character height, 0 default
    std::int32_t lfWidth;      // not used: the width follows from the height
    std::int32_t lfEscapement; // tenths of a degree, counter-clockwise
    std::int32_t lfOrientation;
    std::int32_t lfWeight; // 0 default (400), 700 bold
    std::uint8_t lfItalic;
    std::uint8_t lfUnderline;
    std::uint8_t lfStrikeOut;
    std::uint8_t lfCharSet;
    std::uint8_t lfOutPrecision;
    std::uint8_t lfClipPrecision;
    std::uint8_t lfQuality;
    std::uint8_t lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE]; // CP932
};

struct SIZE {
    int cx, cy;
};

// A typeface that enumeration reports: its CP932 name (at most 31 bytes) and
// character set.
struct InstalledFace {
    std::string name;
    std::uint8_t charSet;
};

// Called once per typeface with the face's name and character set; returning 0
// stops the enumeration.
using FONTENUMPROCA = int (*)(const LOGFONTA* font, LPARAM data);

// Reports every typeface once: the system's own face names first, then the
// installed families by name. Returns the last result of the callback.
int EnumFonts(HDC dc, FONTENUMPROCA callback, LPARAM data);
// Makes enumeration report `faces` instead (for tests); null restores.
void OverrideInstalledFaces(const std::vector<InstalledFace>* faces);

// Null when no face can be found at all.
HFONT CreateFontIndirect(const LOGFONTA* font);
// Selects a font into the context and returns the one it replaces; null stands
// for the stock font.
HFONT SelectObject(HDC dc, HFONT font);
BOOL DeleteObject(HFONT font);

COLORREF SetTextColor(HDC dc, COLORREF color);

// Draws `length` bytes of CP932 text with the top-left corner of its cell at
// (x, y), in the text colour; in opaque mode the cell is first filled with the
// back colour. Bytes that form no character draw a replacement glyph.
BOOL TextOut(HDC dc, int x, int y, const char* text, int length);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size);

constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_NOPREFIX = 0x800; // '&' is always drawn as itself
constexpr UINT DT_CALCRECT = 0x400;

// Draws text (length -1: up to its NUL) in the rectangle, clipped to it,
// broken at line ends and, with DT_WORDBREAK, between words and before or after
// two-byte characters to fit the width. With DT_CALCRECT nothing is drawn and
// the rectangle's right and bottom are set to the text's extent. Returns the
// height of the text.
int DrawText(HDC dc, const char* text, int length, RECT* rect, UINT format);

} // namespace platform
