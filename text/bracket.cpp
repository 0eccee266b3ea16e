// The text bracket on the back buffer: a font made from the shared description,
// colours, text at a point or in a box, and the end that gives everything back.
#include "draw/draw.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/gdi_shapes.h"
#include "text/font_bracket.h"
#include "text/text.h"

#include <cstring>

namespace elText {

platform::HFONT CurrentFont;
platform::HFONT PreviousFont;
platform::HDC TextDC;
int CurrentHeight;
COLORREF CurrentTextColor;
COLORREF CurrentBackColor;
platform::RECT BoxRect;
platform::RECT MeasureRect;

namespace {

const char* const StandardFaces[2] = {"標準明朝", "標準ゴシック"};

} // namespace

void SetStandardFace(int face) {
    if (face == 0 || face == 1) SetFaceName(StandardFaces[face]);
}

void SetFaceName(const char* name) {
    const std::size_t length = platform::Cp932Prefix(name, platform::LF_FACESIZE - 1);
    std::memcpy(FontDesc->lfFaceName, name, length);
    std::memset(FontDesc->lfFaceName + length, 0, platform::LF_FACESIZE - length);
}

void SetStyle(int height, int angle, int weight, int italic, int underline) {
    CurrentHeight = height;
    FontDesc->lfHeight = height;
    FontDesc->lfWeight = (weight == 0) * 400 + (weight == 1) * 700;
    // Wraps like the 32-bit product it stands for, whatever the angle.
    FontDesc->lfEscapement = static_cast<std::int32_t>(static_cast<std::uint32_t>(angle) * 10u);
    FontDesc->lfWidth = 0;
    FontDesc->lfItalic = static_cast<std::uint8_t>(italic);
    FontDesc->lfUnderline = static_cast<std::uint8_t>(underline);
    FontDesc->lfCharSet = platform::SHIFTJIS_CHARSET;
}

void LookUpCharSet() {
    for (const FontEntry& entry : FontTable)
        if (std::strcmp(entry.FaceName, FontDesc->lfFaceName) == 0) {
            FontDesc->lfCharSet = entry.CharSet;
            break;
        }
}

void OpenOn(platform::Surface* surface) {
    CurrentFont = platform::CreateFontIndirect(FontDesc);
    platform::GetDC(surface, &TextDC);
    PreviousFont = platform::SelectObject(TextDC, CurrentFont);
}

void Close() {
    platform::SelectObject(TextDC, PreviousFont);
    platform::DeleteObject(CurrentFont);
    if (TextDC) platform::ReleaseDC(TextDC->surface, TextDC);
    CurrentFont = PreviousFont = nullptr;
    TextDC = nullptr;
}

void Begin(int face, int height, int angle, int weight, int italic, int underline) {
    if (!FontDesc) return;
    // Brackets do not nest: an open one is closed first.
    if (TextDC) End();
    SetStandardFace(face);
    SetStyle(height, angle, weight, italic, underline);
    OpenOn(elDraw::BackBuffer);
}

void BeginFace(const char* faceName, int height, int angle, int weight, int italic, int underline) {
    if (!FontDesc || !faceName) return;
    if (TextDC) End();
    SetFaceName(faceName);
    SetStyle(height, angle, weight, italic, underline);
    LookUpCharSet();
    OpenOn(elDraw::BackBuffer);
}

void Color(COLORREF textColour, COLORREF backColour, int transparent) {
    platform::SetTextColor(TextDC, textColour);
    platform::SetBkColor(TextDC, backColour);
    CurrentTextColor = textColour;
    CurrentBackColor = backColour;
    platform::SetBkMode(TextDC, transparent ? platform::TRANSPARENT : platform::OPAQUE);
}

void Print(int x, int y, const char* text) {
    if (!text) return;
    platform::TextOut(TextDC, x, y, text, static_cast<int>(std::strlen(text)));
}

void PrintBox(int left, int top, int right, int bottom, const char* text, int align) {
    BoxRect = {left, top, right, bottom};
    constexpr UINT Formats[3] = {platform::DT_LEFT, platform::DT_CENTER, platform::DT_RIGHT};
    if (align < 0 || align > 2) return;
    platform::DrawText(TextDC, text, -1, &BoxRect,
                       platform::DT_NOPREFIX | platform::DT_WORDBREAK | Formats[align]);
}

int MeasureBox(int left, int top, int right, int bottom, const char* text) {
    MeasureRect = {left, top, right, bottom};
    return platform::DrawText(TextDC, text, -1, &MeasureRect,
                              platform::DT_NOPREFIX | platform::DT_CALCRECT |
                                  platform::DT_WORDBREAK);
}

// Also closes a bracket that a smooth or compose operation left on a sprite.
void End() { Close(); }

} // namespace elText
