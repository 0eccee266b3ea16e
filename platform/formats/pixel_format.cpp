#include "platform/formats/pixel_format.h"

namespace platform {

namespace {

int ChannelBits(std::uint32_t mask) {
    int n = 0;
    for (; mask; mask &= mask - 1) ++n;
    return n;
}

int ChannelShift(std::uint32_t mask) {
    int n = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++n;
    }
    return n;
}

std::uint32_t PackChannel(std::uint32_t component, std::uint32_t mask) {
    int bits = ChannelBits(mask);
    if (bits == 0) return 0;
    std::uint32_t value = bits >= 8 ? component << (bits - 8) : component >> (8 - bits);
    return (value << ChannelShift(mask)) & mask;
}

std::uint32_t UnpackChannel(std::uint32_t value, std::uint32_t mask) {
    int bits = ChannelBits(mask);
    if (bits == 0) return 0;
    std::uint32_t v = (value & mask) >> ChannelShift(mask);
    return bits >= 8 ? v >> (bits - 8) : v << (8 - bits);
}

} // namespace

std::uint32_t PackColor(const PixelFormat& format, std::uint32_t color) {
    return PackChannel(color & 0xFF, format.redMask) |
           PackChannel((color >> 8) & 0xFF, format.greenMask) |
           PackChannel((color >> 16) & 0xFF, format.blueMask);
}

std::uint32_t UnpackColor(const PixelFormat& format, std::uint32_t value) {
    return UnpackChannel(value, format.redMask) | (UnpackChannel(value, format.greenMask) << 8) |
           (UnpackChannel(value, format.blueMask) << 16);
}

} // namespace platform
