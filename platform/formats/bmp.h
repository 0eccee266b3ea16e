// BMP files: decoding every common layout into plain pixels, and writing 24-bit
// files. No outside library; the decoder refuses whatever it cannot read safely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Pixels as 0x00RRGGBB, top row first, width * height entries.
struct DecodedImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// Decodes a whole BMP file held in memory: 1-, 4- and 8-bit palettes, 16 and 32
// bits with default or bit-field masks, 24 bits, RLE8 and RLE4, bottom-up and
// top-down rows. Returns false (leaving `out` empty) for anything it cannot read
// safely.
bool DecodeBmp(const unsigned char* data, std::size_t size, DecodedImage& out);

// Reads a file and decodes it (false when the file cannot be read or decoded).
bool LoadBmpFile(const std::string& path, DecodedImage& out);

// Writes a 24-bit bottom-up BMP; returns false for an image without pixels or on
// I/O failure.
bool WriteBmp24(const std::string& path, const DecodedImage& image);

} // namespace platform
