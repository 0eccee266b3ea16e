// libFuzzer entry for the BMP decoder: every input is either decoded into a whole
// image or refused with an empty one, never read or written out of bounds.
#include "platform/formats/bmp.h"

#include <cstdlib>

namespace {

// Larger images are valid but slow the search: the decoder takes the same paths
// through them as through small ones.
constexpr std::int64_t kMaxPixels = 1 << 16;

std::int64_t ClaimedPixels(const unsigned char* data, std::size_t size) {
    if (size < 26) return 0;
    auto le = [&](int at, int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint32_t{data[at + i]} << 8 * i;
        return v;
    };
    const bool core = le(14, 4) == 12;
    std::int64_t width = core ? std::int64_t{le(18, 2)} : std::int32_t(le(18, 4));
    std::int64_t height = core ? std::int64_t{le(20, 2)} : std::int32_t(le(22, 4));
    return std::llabs(width * height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (ClaimedPixels(data, size) > kMaxPixels) return -1; // not added to the corpus
    platform::DecodedImage image;
    if (platform::DecodeBmp(data, size, image)) {
        if (image.width <= 0 || image.height <= 0 ||
            image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
            std::abort();
        for (std::uint32_t pixel : image.pixels)
            if (pixel > 0xFFFFFF) std::abort();
    } else if (image.width != 0 || image.height != 0 || !image.pixels.empty()) {
        std::abort();
    }
    return 0;
}
