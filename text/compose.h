// Pieces that both families of composed text share: the character table, the
// colour floor, hanging characters and the strokes of one character.
#pragma once

#include "text/text.h"

#include <cstdint>

namespace elText {

// One character of CP932 text: its bytes and their count (1 or 2).
struct TextChar {
    char bytes[3];
    int length;
    bool IsLineFeed() const { return bytes[0] == '\n'; }
};
TextChar CharAt(const char* text);
// May stand past the right limit instead of starting the next line.
bool IsHanging(const TextChar& c);

// Colours whose three channels are all below 16 would vanish under the colour
// key; they become 0x101010.
void ApplyColourFloor();

// Entry 0 at (left, top) with no size, and no characters.
void StartLayout(int left, int top);
// False when the table is full: composing stops there.
bool AppendRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
void DropRect();
// Grows entry 0 to include the point.
void GrowBounds(std::int64_t x, std::int64_t y);

// Strokes one character with its top-left at (x, y) on TextDC: the shadow in
// the back colour `shadow` pixels right and down (one more for each thickening
// flag), the glyph, and its thickening.
void DrawChar(std::int64_t x, std::int64_t y, const TextChar& c, int flags, int shadow);

// Copies the composed text to the back buffer unless a hold variant asked to
// keep it, and starts the reveal from nothing.
void FinishCompose();

} // namespace elText
