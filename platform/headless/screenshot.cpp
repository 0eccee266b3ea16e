// Screenshots of what the last present showed: the primary surface.
#include "platform/bmp.h"
#include "platform/display.h"
#include "platform/headless/headless.h"

namespace platform::headless {

bool WriteScreenshot(const std::string& path) {
    Surface* primary = PrimarySurface();
    if (!primary) return false;
    DecodedImage image;
    image.width = primary->width;
    image.height = primary->height;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row =
            primary->memory.data() + static_cast<std::size_t>(y) * primary->pitch;
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t value = primary->format.bits == 16
                                      ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                      : reinterpret_cast<const std::uint32_t*>(row)[x];
            COLORREF c = UnpackColor(primary->format, value);
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    }
    return WriteBmp24(path, image);
}

} // namespace platform::headless
