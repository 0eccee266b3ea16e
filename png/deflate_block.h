// Deflate blocks for the PNG writer, each under Huffman codes made for it:
// strings of 32 bytes or more that come again within the last 32 KB (runs of
// one byte among them) become matches, found by one look-up of a hash of their
// first bytes per position tried. Shorter matches cost about what their
// literals do, and where none are found positions are tried ever more sparsely,
// so that data with few repeats costs little more than literals alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A match and the literals before it.
struct DeflateMatch {
    std::uint32_t literals;
    std::uint16_t length;   // 32 to 258
    std::uint16_t distance; // 1 to 32768, less one
};

// Working room kept from block to block.
struct DeflateScratch {
    std::vector<std::uint32_t> recent; // by hash: the last position seen, plus one
    std::vector<DeflateMatch> matches;
};

// The most bytes DeflateBlock writes for `size` bytes.
std::size_t DeflateBound(std::size_t size);

// Writes data[0..size) at `out` as one dynamic-Huffman deflate block, not the
// last, and an empty stored block that ends it on a byte boundary. Matches
// reach no further back than the data's start. Returns the end of what was
// written.
std::uint8_t* DeflateBlock(const std::uint8_t* data, std::size_t size, DeflateScratch& scratch,
                           std::uint8_t* out);
