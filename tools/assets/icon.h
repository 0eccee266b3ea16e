// The editor's icon: a grid of map chips, one of them being stamped into its
// cell under the editor's green stamp outline. Drawn for any size, every pixel
// the average of sub-pixel samples, on a transparent ground.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

// The sizes of the icon theme's fixed-size folders.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// `size` x `size` pixels, rows top to bottom, R, G, B, A each, not premultiplied.
std::vector<std::uint8_t> DrawIcon(int size);

// A Windows icon file holding the PNG files `pngs` of the sizes `sizes`, in
// that order (PNG images in icons are read by Windows Vista and later).
std::vector<std::uint8_t> IconFileBytes(const std::vector<int>& sizes,
                                        const std::vector<std::vector<std::uint8_t>>& pngs);

} // namespace assets
