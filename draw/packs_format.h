// Draw pack records: width and height (16-bit little-endian), the upper-case
// name ending in NUL, then the pixels row by row in 1:5:5:5, one record after
// another with no header, count or index.
#pragma once

#include "draw/draw.h"

#include <cstdint>
#include <cstdio>

namespace elDraw {

// Longest record name the reader holds; longer names match no request.
constexpr int PACK_NAME_LIMIT = 127;

struct PackRecord {
    std::uint16_t Width, Height;
};

// Reads a record name up to and including its NUL; one longer than the limit
// is read past and marked too long. False when the file ends first.
bool ReadPackName(std::FILE* file, char (&name)[PACK_NAME_LIMIT + 1], bool& tooLong);

// Whether the file holds `size` more bytes from its current position.
bool FileHolds(std::FILE* file, long long size);

// Searches from the current position for the first record named `name`, and
// leaves the file at its pixels. False when no record has the name, or when
// the first that has it is empty or cut short by the end of the file.
bool FindPackRecord(std::FILE* file, const char* name, PackRecord& record);

// The display's pixel for a 1:5:5:5 value: 16-bit channels take the five bits
// at their top, wider channels spread them over all their bits.
std::uint32_t PackToPixel(std::uint16_t value, const PixelFormatInfo& format);

// Reads the record's pixels into rows `pitch` bytes apart, `bytes` bytes per
// pixel. Stops where the file ends.
void ReadPackPixels(std::FILE* file, const PackRecord& record, const PixelFormatInfo& format,
                    int bytes, std::uint8_t* rows, int pitch);

} // namespace elDraw
