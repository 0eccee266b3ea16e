#include "platform/formats/bmp.h"

#include <algorithm>
#include <bit>
#include <fstream>

namespace platform {

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr std::int64_t kMaxSide = 16384;
// Palette entry for the indices a file gives no colour for. No real colour has
// its top byte set, so OR-ing every colour looked up shows a bad index at once.
constexpr std::uint32_t kBadIndex = 0xFF000000;

std::uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void Put16(unsigned char* p, std::uint32_t v) { p[0] = v & 0xFF, p[1] = v >> 8 & 0xFF; }
void Put32(unsigned char* p, std::uint32_t v) { Put16(p, v & 0xFFFF), Put16(p + 2, v >> 16); }

// What the headers say about the pixels, checked for consistency.
struct Layout {
    std::int64_t width = 0, height = 0; // height is positive either way up
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t masks[3] = {}; // red, green, blue
    std::uint32_t palette[256];
    std::uint64_t pixelOffset = 0;
};

bool KnownFormat(const Layout& l) {
    switch (l.compression) {
    case kRgb:
        return l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 || l.bits == 24 ||
               l.bits == 32;
    case kRle8:
        return l.bits == 8 && !l.topDown;
    case kRle4:
        return l.bits == 4 && !l.topDown;
    case kBitFields:
        return l.bits == 16 || l.bits == 32;
    default:
        return false;
    }
}

// A mask must be one run of set bits inside the pixel.
bool UsableMask(std::uint32_t mask, int bits) {
    if (mask == 0 || (bits == 16 && mask > 0xFFFF)) return false;
    std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// Reads the palette of `count` entries (RGBQUAD, or RGBTRIPLE with `entrySize` 3);
// every other index is marked bad.
bool ReadPalette(const unsigned char* data, std::size_t size, std::uint64_t at, std::uint64_t count,
                 int entrySize, Layout& l) {
    std::fill(std::begin(l.palette), std::end(l.palette), kBadIndex);
    if (l.bits > 8) return true;
    std::uint64_t most = std::uint64_t{1} << l.bits;
    if (count == 0 || count > most) count = most;
    if (at + count * entrySize > size) return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* p = data + at + i * entrySize;
        l.palette[i] = p[2] << 16 | p[1] << 8 | p[0];
    }
    return true;
}

bool ReadLayout(const unsigned char* data, std::size_t size, Layout& l) {
    if (size < 18 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint64_t headerSize = Le32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124)
        return false;
    std::uint64_t headersEnd = 14 + headerSize;
    if (size < headersEnd) return false;
    const unsigned char* h = data + 14;
    std::uint64_t colours = 0;
    int entrySize = 4;
    if (headerSize == 12) {
        l.width = Le16(h + 4);
        l.height = Le16(h + 6);
        l.bits = Le16(h + 10);
        entrySize = 3;
    } else {
        l.width = static_cast<std::int32_t>(Le32(h + 4));
        std::int64_t height = static_cast<std::int32_t>(Le32(h + 8));
        l.topDown = height < 0;
        l.height = l.topDown ? -height : height;
        l.bits = Le16(h + 14);
        l.compression = Le32(h + 16);
        colours = Le32(h + 32);
    }
    if (l.width <= 0 || l.width > kMaxSide || l.height == 0 || l.height > kMaxSide ||
        !KnownFormat(l))
        return false;

    if (l.compression == kBitFields) {
        // Inside the header from V4 on; right after a 40-byte header otherwise.
        if (headerSize == 40) headersEnd += 12;
        if (size < headersEnd) return false;
        for (int i = 0; i < 3; ++i) l.masks[i] = Le32(h + 40 + 4 * i);
    } else if (l.bits == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    } else if (l.bits == 32) {
        l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;
    }
    if (l.bits == 16 || l.bits == 32)
        for (std::uint32_t mask : l.masks)
            if (!UsableMask(mask, l.bits)) return false;

    if (!ReadPalette(data, size, headersEnd, colours, entrySize, l)) return false;
    l.pixelOffset = Le32(data + 10);
    return l.pixelOffset >= headersEnd && l.pixelOffset < size;
}

// One channel of a bit-field pixel, scaled to 8 bits: round(value * 255 / max).
class Channel {
  public:
    explicit Channel(std::uint32_t mask)
        : shift(std::countr_zero(mask)), max(mask >> shift), table(max <= 0xFFFF ? max + 1 : 0) {
        for (std::uint32_t v = 0; v < table.size(); ++v) table[v] = Scale(v);
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        std::uint32_t v = pixel >> shift & max;
        return table.empty() ? Scale(v) : table[v];
    }

  private:
    std::uint8_t Scale(std::uint32_t v) const {
        return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + max / 2) / max);
    }
    int shift;
    std::uint32_t max;
    std::vector<std::uint8_t> table;
};

// Colour of a bit-field pixel.
class Masked {
  public:
    explicit Masked(const std::uint32_t (&masks)[3])
        : red(masks[0]), green(masks[1]), blue(masks[2]) {}
    std::uint32_t operator()(std::uint32_t pixel) const {
        return red(pixel) << 16 | green(pixel) << 8 | blue(pixel);
    }

  private:
    Channel red, green, blue;
};

// Palette colours of one row; returns every colour OR-ed together.
std::uint32_t IndexedRow(const unsigned char* src, const Layout& l, std::uint32_t* dst) {
    std::uint32_t seen = 0;
    if (l.bits == 8) {
        for (std::int64_t x = 0; x < l.width; ++x) seen |= dst[x] = l.palette[src[x]];
        return seen;
    }
    const unsigned low = (1u << l.bits) - 1;
    for (std::int64_t x = 0; x < l.width; ++src)
        for (int shift = 8 - l.bits; shift >= 0 && x < l.width; shift -= l.bits)
            seen |= dst[x++] = l.palette[*src >> shift & low];
    return seen;
}

// Calls `row(source, destination)` for each row of uncompressed pixels.
template <class Row>
void EachRow(const unsigned char* data, const Layout& l, std::uint64_t stride,
             std::uint32_t* pixels, Row row) {
    for (std::int64_t r = 0; r < l.height; ++r)
        row(data + l.pixelOffset + r * stride,
            pixels + (l.topDown ? r : l.height - 1 - r) * l.width);
}

bool DecodeRows(const unsigned char* data, std::size_t size, const Layout& l,
                std::uint32_t* pixels) {
    const std::uint64_t rowBytes = (l.width * l.bits + 7) / 8;
    const std::uint64_t stride = (l.width * l.bits + 31) / 32 * 4;
    // The last row may lack its padding.
    if (l.pixelOffset + (l.height - 1) * stride + rowBytes > size) return false;
    const std::int64_t width = l.width;
    switch (l.bits) {
    case 24:
        EachRow(data, l, stride, pixels, [&](const unsigned char* src, std::uint32_t* dst) {
            for (std::int64_t x = 0; x < width; ++x, src += 3)
                dst[x] = src[2] << 16 | src[1] << 8 | src[0];
        });
        return true;
    case 32: {
        const Masked colour(l.masks);
        const bool plain = l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 && l.masks[2] == 0xFF;
        EachRow(data, l, stride, pixels, [&](const unsigned char* src, std::uint32_t* dst) {
            for (std::int64_t x = 0; x < width; ++x, src += 4)
                dst[x] = plain ? Le32(src) & 0xFFFFFF : colour(Le32(src));
        });
        return true;
    }
    case 16: {
        std::vector<std::uint32_t> colours(0x10000); // of every possible pixel
        const Masked colour(l.masks);
        for (std::uint32_t p = 0; p < colours.size(); ++p) colours[p] = colour(p);
        EachRow(data, l, stride, pixels, [&](const unsigned char* src, std::uint32_t* dst) {
            for (std::int64_t x = 0; x < width; ++x, src += 2) dst[x] = colours[Le16(src)];
        });
        return true;
    }
    default: {
        std::uint32_t seen = 0;
        EachRow(data, l, stride, pixels, [&](const unsigned char* src, std::uint32_t* dst) {
            seen |= IndexedRow(src, l, dst);
        });
        return (seen & kBadIndex) == 0;
    }
    }
}

// Decodes an RLE8 or RLE4 stream, bottom row first. Pixels the stream skips with
// a delta or an early end stay black, as the usual system decoders leave them;
// colour 0 of the palette would be no less arbitrary. The stream must close with
// its end mark: without one the file is taken as truncated.
bool DecodeRle(const unsigned char* p, const unsigned char* end, const Layout& l,
               std::uint32_t* pixels) {
    const bool four = l.bits == 4;
    std::int64_t x = 0, y = 0;
    std::uint32_t seen = 0;
    auto fits = [&](std::int64_t count) { return y < l.height && x + count <= l.width; };
    auto put = [&](unsigned index) {
        seen |= pixels[(l.height - 1 - y) * l.width + x++] = l.palette[index];
    };
    for (;;) {
        if (end - p < 2) return false;
        const unsigned count = p[0], value = p[1];
        p += 2;
        if (count > 0) { // one value, or two alternating nibbles, repeated
            if (!fits(count)) return false;
            for (unsigned i = 0; i < count; ++i)
                put(!four ? value : i % 2 ? value & 15 : value >> 4);
        } else if (value == 0) { // end of line
            x = 0, ++y;
        } else if (value == 1) { // end of bitmap
            return (seen & kBadIndex) == 0;
        } else if (value == 2) { // delta: move right and up
            if (end - p < 2) return false;
            x += p[0], y += p[1];
            p += 2;
            if (x > l.width || y > l.height) return false;
        } else { // absolute run of `value` pixels, padded to 16 bits
            std::ptrdiff_t bytes = four ? (value + 1) / 2 : value;
            bytes += bytes & 1;
            if (end - p < bytes || !fits(value)) return false;
            for (unsigned i = 0; i < value; ++i)
                put(!four ? p[i] : i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4);
            p += bytes;
        }
    }
}

} // namespace

bool DecodeBmp(const unsigned char* data, std::size_t size, DecodedImage& out) {
    out = DecodedImage{};
    Layout l;
    if (!data || !ReadLayout(data, size, l)) return false;
    DecodedImage image;
    image.width = static_cast<int>(l.width);
    image.height = static_cast<int>(l.height);
    image.pixels.resize(l.width * l.height);
    bool rle = l.compression == kRle8 || l.compression == kRle4;
    if (rle ? !DecodeRle(data + l.pixelOffset, data + size, l, image.pixels.data())
            : !DecodeRows(data, size, l, image.pixels.data()))
        return false;
    out = std::move(image);
    return true;
}

bool LoadBmpFile(const std::string& path, DecodedImage& out) {
    out = DecodedImage{};
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    // No readable image is larger than 16384 x 16384 pixels of 32 bits.
    std::streamoff length = file.tellg();
    if (length <= 0 || length > (std::streamoff{1} << 31)) return false;
    std::vector<unsigned char> bytes(length);
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) return false;
    return DecodeBmp(bytes.data(), bytes.size(), out);
}

bool WriteBmp24(const std::string& path, const DecodedImage& image) {
    const std::uint64_t width = image.width, height = image.height;
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != width * height)
        return false;
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint64_t fileSize = 54 + stride * height;
    if (fileSize > 0xFFFFFFFF) return false;
    std::vector<unsigned char> bytes(fileSize);
    unsigned char* h = bytes.data();
    h[0] = 'B', h[1] = 'M';
    Put32(h + 2, fileSize);
    Put32(h + 10, 54);
    Put32(h + 14, 40);
    Put32(h + 18, image.width);
    Put32(h + 22, image.height);
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 34, stride * height);
    Put32(h + 38, 2835), Put32(h + 42, 2835); // 72 dots per inch
    for (std::uint64_t r = 0; r < height; ++r) {
        const std::uint32_t* src = image.pixels.data() + (height - 1 - r) * width;
        unsigned char* dst = h + 54 + r * stride;
        for (std::uint64_t x = 0; x < width; ++x, dst += 3)
            dst[0] = src[x] & 0xFF, dst[1] = src[x] >> 8 & 0xFF, dst[2] = src[x] >> 16 & 0xFF;
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    file.close();
    return !file.fail();
}

} // namespace platform
