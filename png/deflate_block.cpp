#include "png/deflate_block.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace {

constexpr int LITERALS = 286; // bytes, the end of a block, match lengths
constexpr int DISTANCES = 30;
constexpr int END_OF_BLOCK = 256;
constexpr int MAX_CODE_LENGTH = 15;
constexpr std::size_t MIN_MATCH = 8; // what the hash covers
constexpr std::size_t MAX_MATCH = 258;
constexpr std::size_t WORTHWHILE = 32; // the shortest match taken
constexpr std::size_t WINDOW = 32768;
constexpr int HASH_BITS = 15;

// A symbol and the extra bits that follow it.
struct Code {
    std::uint16_t symbol;
    std::uint8_t extraBits;
    std::uint16_t extra;
};

// Match lengths 0 to 258 (3 and up used) to their symbols.
constexpr std::array<Code, MAX_MATCH + 1> LENGTH_CODES = [] {
    constexpr int BASES[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    std::array<Code, MAX_MATCH + 1> codes{};
    for (int code = 0; code < 29; ++code) {
        const int bits = code < 8 || code == 28 ? 0 : (code - 4) / 4;
        for (int length = BASES[code]; length < BASES[code] + (1 << bits) && length <= 258;
             ++length)
            codes[length] = {static_cast<std::uint16_t>(257 + code),
                             static_cast<std::uint8_t>(bits),
                             static_cast<std::uint16_t>(length - BASES[code])};
    }
    return codes;
}();

// Distances less one: below 256 one by one, above by 128s.
struct DistanceCodes {
    std::array<Code, 256> low;
    std::array<Code, 256> high;
};
constexpr DistanceCodes DISTANCE_CODES = [] {
    DistanceCodes codes{};
    for (int code = 0; code < DISTANCES; ++code) {
        const int bits = code < 4 ? 0 : (code - 2) / 2;
        const int base = code < 4 ? code : ((2 | (code & 1)) << bits); // less one
        for (int d = base; d < base + (1 << bits); ++d) {
            const Code c{static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(bits),
                         static_cast<std::uint16_t>(d - base)};
            if (d < 256) codes.low[d] = c;
            if (d >= 256 && d % 128 == 0) codes.high[d / 128] = c;
        }
    }
    return codes;
}();

// The code of distance - 1 = `d`; within a code of 256 and more, every 128
// share it, and the extra bits are the offset from its base.
inline Code DistanceCode(std::uint32_t d) {
    if (d < 256) return DISTANCE_CODES.low[d];
    Code code = DISTANCE_CODES.high[d >> 7];
    code.extra = static_cast<std::uint16_t>(code.extra + (d & 127));
    return code;
}

inline std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline std::uint32_t Hash(std::uint64_t eight) {
    return static_cast<std::uint32_t>(eight * 0x9E3779B97F4A7C15ull >> (64 - HASH_BITS));
}

// Greedy matching: at each position, the last earlier position with the same
// hash is tried. Where nothing matches for a while the search steps over ever
// more positions, leaving them as literals, so that data with no repeats
// passes quickly. Returns the literals after the last match.
std::size_t FindMatches(const std::uint8_t* data, std::size_t size, DeflateScratch& scratch) {
    std::vector<std::uint32_t>& recent = scratch.recent;
    recent.assign(std::size_t{1} << HASH_BITS, 0);
    scratch.matches.clear();
    std::size_t anchor = 0, at = 0;
    unsigned misses = 0;
    while (at + MIN_MATCH <= size) {
        const std::uint64_t eight = Load64(data + at);
        std::uint32_t& slot = recent[Hash(eight)];
        const std::size_t seen = slot;
        slot = static_cast<std::uint32_t>(at + 1);
        if (seen == 0 || at + 1 - seen > WINDOW || Load64(data + seen - 1) != eight) {
            at += 1 + (misses++ >> 5);
            continue;
        }
        std::size_t from = seen - 1, start = at, length = MIN_MATCH;
        const std::size_t longest = std::min(MAX_MATCH, size - at);
        while (length + 8 <= longest) {
            const std::uint64_t differ = Load64(data + at + length) ^ Load64(data + from + length);
            if (differ) {
                length += static_cast<std::size_t>(__builtin_ctzll(differ)) / 8;
                break;
            }
            length += 8;
        }
        if (length + 8 > longest)
            while (length < longest && data[at + length] == data[from + length]) ++length;
        length = std::min(length, longest);
        // The match may start earlier, among the literals not yet taken.
        while (start > anchor && from > 0 && length < MAX_MATCH &&
               data[start - 1] == data[from - 1]) {
            --start;
            --from;
            ++length;
        }
        if (length < WORTHWHILE) { // cheaper as literals, and slower to take
            at += 1 + (misses++ >> 5);
            continue;
        }
        scratch.matches.push_back({static_cast<std::uint32_t>(start - anchor),
                                   static_cast<std::uint16_t>(length),
                                   static_cast<std::uint16_t>(start - from - 1)});
        at = anchor = start + length;
        misses = 0;
        if (at + MIN_MATCH <= size && at >= 2)
            recent[Hash(Load64(data + at - 2))] = static_cast<std::uint32_t>(at - 1);
    }
    return size - anchor;
}

// Bits written first-bit-lowest, as deflate wants them, into a buffer with
// room for 8 bytes beyond the last.
class BitWriter {
  public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}

    void Put(std::uint32_t code, int length) {
        bits_ |= static_cast<std::uint64_t>(code) << count_;
        count_ += length;
        if (count_ >= 48) Spill();
    }
    // Up to four codes of at most 15 bits each and 48 bits in all: after a
    // spill fewer than 8 bits are held.
    void PutTogether(std::initializer_list<std::pair<std::uint32_t, int>> codes) {
        Spill();
        for (const auto& [code, length] : codes) {
            bits_ |= static_cast<std::uint64_t>(code) << count_;
            count_ += length;
        }
    }
    // The codes of all the bytes, three at a time: three codes of at most 15
    // bits fit beside the fewer than 8 bits held between spills.
    void PutAll(const std::uint8_t* bytes, std::size_t size, const std::uint32_t* codes,
                const std::uint8_t* lengths) {
        Spill();
        std::size_t i = 0;
        for (; i + 3 <= size; i += 3) {
            for (int k = 0; k < 3; ++k) {
                bits_ |= static_cast<std::uint64_t>(codes[bytes[i + k]]) << count_;
                count_ += lengths[bytes[i + k]];
            }
            Spill();
        }
        for (; i < size; ++i) Put(codes[bytes[i]], lengths[bytes[i]]);
    }
    // Pads with zero bits to the next byte; the end of what was written.
    std::uint8_t* Finish() {
        Spill();
        if (count_ > 0) *out_++ = static_cast<std::uint8_t>(bits_);
        bits_ = 0;
        count_ = 0;
        return out_;
    }

  private:
    void Spill() {
        std::memcpy(out_, &bits_, 8); // little-endian: the earliest bits first
        const int bytes = count_ / 8; // at most 7: count_ stays below 64
        out_ += bytes;
        bits_ >>= 8 * bytes;
        count_ -= 8 * bytes;
    }

    std::uint8_t* out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

std::uint32_t Reverse(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
    return reversed;
}

// Huffman code lengths of at most MAX_CODE_LENGTH bits for the symbols with a
// count (0 for the others); counts are halved until the code fits. A lone
// symbol gets a code of one bit, as deflate wants.
template <int N> void CodeLengths(std::uint64_t (&counts)[N], std::uint8_t (&lengths)[N]) {
    while (true) {
        struct Node {
            std::uint64_t weight;
            int parent;
        };
        std::vector<Node> nodes;
        std::vector<std::pair<std::uint64_t, int>> queue; // (weight, node) as a min-heap
        for (int s = 0; s < N; ++s) {
            nodes.push_back({counts[s], -1});
            if (counts[s] > 0) queue.emplace_back(counts[s], s);
        }
        const auto later = [](const auto& a, const auto& b) { return a > b; };
        std::make_heap(queue.begin(), queue.end(), later);
        while (queue.size() > 1) {
            std::pop_heap(queue.begin(), queue.end(), later);
            const auto a = queue.back();
            queue.pop_back();
            std::pop_heap(queue.begin(), queue.end(), later);
            const auto b = queue.back();
            queue.pop_back();
            const int parent = static_cast<int>(nodes.size());
            nodes.push_back({a.first + b.first, -1});
            nodes[a.second].parent = nodes[b.second].parent = parent;
            queue.emplace_back(a.first + b.first, parent);
            std::push_heap(queue.begin(), queue.end(), later);
        }
        int longest = 0;
        for (int s = 0; s < N; ++s) {
            int depth = 0;
            for (int n = s; counts[s] > 0 && nodes[n].parent >= 0; n = nodes[n].parent) ++depth;
            lengths[s] = static_cast<std::uint8_t>(counts[s] > 0 ? std::max(depth, 1) : 0);
            longest = std::max(longest, depth);
        }
        if (longest <= MAX_CODE_LENGTH) return;
        for (std::uint64_t& count : counts)
            if (count > 0) count = count / 2 + 1;
    }
}

// The canonical codes for the lengths, bit-reversed for writing.
template <int N> void CanonicalCodes(const std::uint8_t (&lengths)[N], std::uint32_t (&codes)[N]) {
    int perLength[MAX_CODE_LENGTH + 1] = {};
    for (std::uint8_t length : lengths) ++perLength[length];
    perLength[0] = 0;
    std::uint32_t next[MAX_CODE_LENGTH + 1] = {};
    std::uint32_t code = 0;
    for (int length = 1; length <= MAX_CODE_LENGTH; ++length) {
        code = (code + perLength[length - 1]) << 1;
        next[length] = code;
    }
    for (int s = 0; s < N; ++s) codes[s] = lengths[s] ? Reverse(next[lengths[s]]++, lengths[s]) : 0;
}

} // namespace

std::size_t DeflateBound(std::size_t size) { return 2 * size + 1024; }

std::uint8_t* DeflateBlock(const std::uint8_t* data, std::size_t size, DeflateScratch& scratch,
                           std::uint8_t* out) {
    const std::size_t trailing = FindMatches(data, size, scratch);

    // Four tallies, so that runs of one value do not wait on one counter.
    std::uint32_t tallies[4][256] = {};
    const auto tally = [&](const std::uint8_t* bytes, std::size_t count) {
        std::size_t i = 0;
        for (; i + 4 <= count; i += 4) {
            ++tallies[0][bytes[i]];
            ++tallies[1][bytes[i + 1]];
            ++tallies[2][bytes[i + 2]];
            ++tallies[3][bytes[i + 3]];
        }
        for (; i < count; ++i) ++tallies[0][bytes[i]];
    };
    std::uint64_t literalCounts[LITERALS] = {};
    std::uint64_t distanceCounts[DISTANCES] = {};
    const std::uint8_t* p = data;
    for (const DeflateMatch& match : scratch.matches) {
        tally(p, match.literals);
        ++literalCounts[LENGTH_CODES[match.length].symbol];
        ++distanceCounts[DistanceCode(match.distance).symbol];
        p += match.literals + match.length;
    }
    tally(p, trailing);
    for (int b = 0; b < 256; ++b)
        literalCounts[b] =
            std::uint64_t{tallies[0][b]} + tallies[1][b] + tallies[2][b] + tallies[3][b];
    literalCounts[END_OF_BLOCK] = 1;
    if (scratch.matches.empty()) distanceCounts[0] = 1; // deflate wants one distance code

    std::uint8_t literalLengths[LITERALS], distanceLengths[DISTANCES];
    std::uint32_t literalCodes[LITERALS], distanceCodes[DISTANCES];
    CodeLengths(literalCounts, literalLengths);
    CodeLengths(distanceCounts, distanceLengths);
    CanonicalCodes(literalLengths, literalCodes);
    CanonicalCodes(distanceLengths, distanceCodes);

    BitWriter bits(out);
    bits.Put(0, 1);              // not the last block
    bits.Put(2, 2);              // dynamic Huffman codes
    bits.Put(LITERALS - 257, 5); // literal and length codes
    bits.Put(DISTANCES - 1, 5);  // distance codes
    bits.Put(15, 4);             // all 19 code-length code lengths follow
    // The code-length code: lengths 0 to 15 in four bits each, 16 to 18 unused.
    constexpr int ORDER[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (int symbol : ORDER) bits.Put(symbol <= 15 ? 4 : 0, 3);
    for (std::uint8_t length : literalLengths) bits.Put(Reverse(length, 4), 4);
    for (std::uint8_t length : distanceLengths) bits.Put(Reverse(length, 4), 4);

    p = data;
    for (const DeflateMatch& match : scratch.matches) {
        bits.PutAll(p, match.literals, literalCodes, literalLengths);
        const Code length = LENGTH_CODES[match.length];
        const Code distance = DistanceCode(match.distance);
        bits.PutTogether({{literalCodes[length.symbol], literalLengths[length.symbol]},
                          {length.extra, length.extraBits},
                          {distanceCodes[distance.symbol], distanceLengths[distance.symbol]},
                          {distance.extra, distance.extraBits}});
        p += match.literals + match.length;
    }
    bits.PutAll(p, trailing, literalCodes, literalLengths);
    bits.Put(literalCodes[END_OF_BLOCK], literalLengths[END_OF_BLOCK]);
    bits.Put(0, 3); // an empty stored block, not the last
    std::uint8_t* end = bits.Finish();
    const std::uint8_t stored[4] = {0x00, 0x00, 0xFF, 0xFF};
    std::memcpy(end, stored, 4);
    return end + 4;
}
