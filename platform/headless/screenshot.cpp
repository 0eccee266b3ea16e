// Screenshots of what the last present showed: the primary surface.
#include "platform/formats/bmp.h"
#include "platform/headless/headless.h"
#include "platform/win/gdi.h"

namespace platform::headless {

bool WriteScreenshot(const std::string& path) {
    Surface* primary = PrimarySurface();
    HDC screen = nullptr;
    if (!primary || GetDC(primary, &screen) != DD_OK) return false;
    // The context copy converts the display's pixels into the bitmap's colours.
    DecodedImage image;
    image.width = primary->width;
    image.height = primary->height;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    HDC bitmap = CreateBitmapDC(&image);
    StretchBlt(bitmap, 0, 0, image.width, image.height, screen, 0, 0, image.width, image.height,
               SRCCOPY);
    DeleteDC(bitmap);
    ReleaseDC(primary, screen);
    return WriteBmp24(path, image);
}

} // namespace platform::headless
