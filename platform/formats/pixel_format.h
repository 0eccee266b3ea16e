// Pixels of a display format: the layout of a pixel, and colours packed into
// it and read back out, as the display's surfaces hold them.
#pragma once

#include <cstdint>

namespace platform {

// Layout of a pixel: bits per pixel and the channel masks.
struct PixelFormat {
    int bits = 0;
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
};

// Raw pixel value of a colour (0x00BBGGRR, a COLORREF) in a format, and back.
std::uint32_t PackColor(const PixelFormat& format, std::uint32_t color);
std::uint32_t UnpackColor(const PixelFormat& format, std::uint32_t value);

} // namespace platform
