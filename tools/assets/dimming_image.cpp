#include "tools/assets/dimming_image.h"

#include <algorithm>

namespace assets {

Canvas DrawDimmingImage() {
    constexpr int kWidth = 800, kHeight = 600;
    Canvas image(kWidth, kHeight);
    const Rgb base{18, 18, 30}, frame{44, 44, 70}, dot{30, 30, 48};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min({x, y, kWidth - 1 - x, kHeight - 1 - y});
            // A faint dot on every cell corner helps to read which cell a
            // number belongs to; a lighter frame marks the view's border.
            Rgb c = (x % 8 == 0 && y % 8 == 0) ? dot : base;
            if (edge < 3) c = frame;
            image.Put(x, y, c);
        }
    return image;
}

} // namespace assets
