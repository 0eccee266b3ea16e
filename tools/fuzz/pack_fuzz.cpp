// libFuzzer entry for the draw pack reader: the input is a pack searched for
// "A.BMP"; a record found is read into rows of its size on a 5:6:5 and a 32-bit
// display, never reading or writing out of bounds.
#include "draw/packs_format.h"

#include <cstdlib>
#include <vector>

namespace {

// Larger images are valid but slow the search: the reader takes the same paths
// through them as through small ones.
constexpr long kMaxPixels = 1 << 16;

PixelFormatInfo Format(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    auto channel = [](std::uint32_t mask) {
        PixelChannel c{mask, 0, 0, 0};
        while (!(mask & 1)) {
            mask >>= 1;
            ++c.Shift;
        }
        c.Max = mask;
        c.Shift5 = static_cast<std::uint16_t>(c.Shift + (mask == 63 ? 1 : 0));
        return c;
    };
    return {channel(red), channel(green), channel(blue), 0, 0, 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0; // a stream over no bytes cannot be opened
    static const PixelFormatInfo formats[2] = {Format(0xF800, 0x07E0, 0x001F),
                                               Format(0xFF0000, 0x00FF00, 0x0000FF)};
    for (int bytes : {2, 4}) {
        std::FILE* file = fmemopen(const_cast<unsigned char*>(data), size, "rb");
        if (!file) std::abort();
        elDraw::PackRecord record;
        if (elDraw::FindPackRecord(file, "A.BMP", record)) {
            const long pixels = long{record.Width} * record.Height;
            if (pixels == 0) std::abort(); // an empty record is never found
            if (pixels <= kMaxPixels) {
                const int pitch = record.Width * bytes;
                std::vector<std::uint8_t> rows(static_cast<std::size_t>(pitch) * record.Height);
                elDraw::ReadPackPixels(file, record, formats[bytes / 4], bytes, rows.data(), pitch);
            }
        }
        std::fclose(file);
    }
    return 0;
}
