// Effects that compute each channel at its full width from the pixel format:
// alpha blending, the 50% blend and brightness.
#include "draw/effects_frame.h"

#include <cstdint>

namespace elDraw {

namespace {

const PixelChannel* const Channels[3] = {&PixelFormat.Red, &PixelFormat.Green, &PixelFormat.Blue};

std::uint32_t ChannelValue(std::uint32_t pixel, const PixelChannel& c) {
    return (pixel >> c.Shift) & c.Max;
}

} // namespace

int BlendDrawRGB(int x, int y, float redAlpha, float greenAlpha, float blueAlpha, ObjectNo no,
                 int left, int top, int right, int bottom) {
    const float alpha[3] = {redAlpha, greenAlpha, blueAlpha};
    // The background's share is rounded to a float once, as given.
    const float beta[3] = {1 - redAlpha, 1 - greenAlpha, 1 - blueAlpha};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t d) {
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const PixelChannel& channel = *Channels[c];
            const long double mixed =
                static_cast<long double>(alpha[c]) * ChannelValue(s, channel) +
                static_cast<long double>(beta[c]) * ChannelValue(d, channel);
            out |= effects::Truncated(mixed, channel.Max) << channel.Shift;
        }
        return out;
    });
}

int BlendDraw(int x, int y, float alpha, ObjectNo no, int left, int top, int right, int bottom) {
    return BlendDrawRGB(x, y, alpha, alpha, alpha, no, left, top, right, bottom);
}

int HalfDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    const std::uint32_t half = PixelFormat.HalfMask;
    return effects::Mix(x, y, no, left, top, right, bottom, [=](std::uint32_t s, std::uint32_t d) {
        return ((s >> 1) & half) + ((d >> 1) & half);
    });
}

int BrightDrawRGB(int x, int y, float red, float green, float blue, ObjectNo no, int left, int top,
                  int right, int bottom) {
    const float factor[3] = {red, green, blue};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t) {
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const PixelChannel& channel = *Channels[c];
            const long double scaled =
                static_cast<long double>(factor[c]) * ChannelValue(s, channel);
            out |= effects::Truncated(scaled, channel.Max) << channel.Shift;
        }
        return out;
    });
}

int BrightDraw(int x, int y, float factor, ObjectNo no, int left, int top, int right, int bottom) {
    return BrightDrawRGB(x, y, factor, factor, factor, no, left, top, right, bottom);
}

} // namespace elDraw
