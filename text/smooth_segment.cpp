// The filter of smoothed text: each output pixel averages the lit samples of
// its 3 x 3 neighbourhood at double size, filled up to eight samples with the
// back buffer's pixel under it.
#include "draw/draw.h"
#include "text/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace elText {

namespace {

struct Rgb {
    std::uint32_t r, g, b;
};

// Reads and writes pixels in the screen's layout: 5-bit channels at 16 bits,
// 8-bit channels at 32, and three bytes taken as channels at any other depth.
class Layout {
  public:
    explicit Layout(int bits)
        : bytes(bits == 16   ? 2
                : bits == 32 ? 4
                             : 3),
          max(bits == 16 ? 31 : 255) {}
    int Bytes() const { return bytes; }
    std::uint32_t Max() const { return max; }

    // False for the transparent colour.
    bool Read(const std::uint8_t* at, Rgb& rgb) const {
        if (bytes == 3) {
            rgb = {at[0], at[1], at[2]};
            return at[0] || at[1] || at[2];
        }
        std::uint32_t value = 0;
        std::memcpy(&value, at, bytes);
        const PixelFormatInfo& f = elDraw::PixelFormat;
        if (bytes == 2)
            rgb = {value >> f.Red.Shift5 & 31, value >> f.Green.Shift5 & 31,
                   value >> f.Blue.Shift5 & 31};
        else
            rgb = {value >> f.Red.Shift & 255, value >> f.Green.Shift & 255,
                   value >> f.Blue.Shift & 255};
        return value != 0;
    }
    void Write(std::uint8_t* at, const Rgb& rgb) const {
        if (bytes == 3) {
            at[0] = static_cast<std::uint8_t>(rgb.r);
            at[1] = static_cast<std::uint8_t>(rgb.g);
            at[2] = static_cast<std::uint8_t>(rgb.b);
            return;
        }
        const PixelFormatInfo& f = elDraw::PixelFormat;
        const std::uint32_t value =
            bytes == 2 ? rgb.r << f.Red.Shift5 | rgb.g << f.Green.Shift5 | rgb.b << f.Blue.Shift5
                       : rgb.r << f.Red.Shift | rgb.g << f.Green.Shift | rgb.b << f.Blue.Shift;
        std::memcpy(at, &value, bytes);
    }

  private:
    int bytes;
    std::uint32_t max;
};

struct Locked {
    std::uint8_t* bits = nullptr;
    int pitch = 0;
    std::uint8_t* At(int x, int y, int bytes) const {
        return bits + static_cast<std::ptrdiff_t>(y) * pitch +
               static_cast<std::ptrdiff_t>(x) * bytes;
    }
};

// Takes all three locks or none.
bool LockAll(platform::Surface* const (&surfaces)[3], Locked (&locked)[3]) {
    for (int i = 0; i < 3; ++i) {
        void* bits = nullptr;
        if (!surfaces[i] ||
            platform::Lock(surfaces[i], &bits, &locked[i].pitch) != platform::DD_OK) {
            while (i-- > 0) platform::Unlock(surfaces[i]);
            return false;
        }
        locked[i].bits = static_cast<std::uint8_t*>(bits);
    }
    return true;
}

} // namespace

void SmoothSegment(int x0, int y0, int left, int top, int right, int bottom) {
    platform::Surface* const buffer = elDraw::SurfaceOf(FONT_BUFFER_SPRITE);
    platform::Surface* const sprite = elDraw::SurfaceOf(FONT_SPRITE);
    platform::Surface* const back = elDraw::BackBuffer;
    if (!buffer || !sprite || !back) return;
    // The segment as far as the buffer holds it; the output is half its size,
    // kept on the screen and inside the left and top clip bounds.
    const std::int64_t segLeft = std::max(left, 0), segTop = std::max(top, 0);
    const std::int64_t segRight = std::min(right, buffer->width);
    const std::int64_t segBottom = std::min(bottom, buffer->height);
    std::int64_t outX = x0, outY = y0;
    std::int64_t width = (std::int64_t{right} - left) / 2,
                 height = (std::int64_t{bottom} - top) / 2;
    // Output that would start before a bound starts at it, reading the source
    // as far in as the skipped output would have read.
    std::int64_t skipX = std::max<std::int64_t>(0, elDraw::ClipRect.left - outX);
    std::int64_t skipY = std::max<std::int64_t>(0, elDraw::ClipRect.top - outY);
    skipX = std::max<std::int64_t>(skipX, -outX);
    skipY = std::max<std::int64_t>(skipY, -outY);
    outX += skipX, outY += skipY, width -= skipX, height -= skipY;
    const std::int64_t screenRight = std::min(back->width, sprite->width);
    const std::int64_t screenBottom = std::min(back->height, sprite->height);
    width = std::min(width, screenRight - outX);
    height = std::min(height, screenBottom - outY);
    if (width <= 0 || height <= 0) return;

    platform::Surface* const surfaces[3] = {buffer, sprite, back};
    Locked locked[3];
    if (!LockAll(surfaces, locked)) return;
    const Layout layout(back->format.bits);
    const int bytes = layout.Bytes();
    for (std::int64_t y = 0; y < height; ++y)
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t sx = left + 2 * (x + skipX), sy = top + 2 * (y + skipY);
            Rgb sum{0, 0, 0};
            std::uint32_t count = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const std::int64_t px = sx + dx, py = sy + dy;
                    if (px < segLeft || px >= segRight || py < segTop || py >= segBottom) continue;
                    Rgb sample;
                    if (!layout.Read(
                            locked[0].At(static_cast<int>(px), static_cast<int>(py), bytes),
                            sample))
                        continue;
                    sum = {sum.r + sample.r, sum.g + sample.g, sum.b + sample.b};
                    ++count;
                }
            if (count == 0) continue;
            const std::uint32_t max = layout.Max();
            sum = {sum.r + max, sum.g + max, sum.b + max};
            const int ox = static_cast<int>(outX + x), oy = static_cast<int>(outY + y);
            Rgb under;
            layout.Read(locked[2].At(ox, oy, bytes), under);
            for (std::uint32_t i = count; i < 8; ++i)
                sum = {sum.r + under.r, sum.g + under.g, sum.b + under.b};
            const Rgb out{std::min(sum.r / 8, max), std::min(sum.g / 8, max),
                          std::min(sum.b / 8, max)};
            layout.Write(locked[1].At(ox, oy, bytes), out);
        }
    for (platform::Surface* surface : surfaces) platform::Unlock(surface);
}

} // namespace elText
