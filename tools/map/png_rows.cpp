#include "tools/map/png_rows.h"

#include "platform/file_replacement.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr std::size_t BATCH_BYTES = 4 << 20;
constexpr int MAX_RUNNING = 2; // batches compressed at once
constexpr int SYMBOLS = 257;   // the byte values and the end of a block
constexpr int END_OF_BLOCK = 256;
constexpr int MAX_CODE_LENGTH = 15;

void PutBig32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
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
// count (0 for the others); counts are halved until the code fits.
void CodeLengths(std::uint64_t (&counts)[SYMBOLS], std::uint8_t (&lengths)[SYMBOLS]) {
    while (true) {
        struct Node {
            std::uint64_t weight;
            int parent;
        };
        std::vector<Node> nodes;
        std::vector<std::pair<std::uint64_t, int>> queue; // (weight, node) as a min-heap
        for (int s = 0; s < SYMBOLS; ++s) {
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
        for (int s = 0; s < SYMBOLS; ++s) {
            int depth = 0;
            for (int n = s; counts[s] > 0 && nodes[n].parent >= 0; n = nodes[n].parent) ++depth;
            lengths[s] = static_cast<std::uint8_t>(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= MAX_CODE_LENGTH) return;
        for (std::uint64_t& count : counts)
            if (count > 0) count = count / 2 + 1;
    }
}

// The canonical codes for the lengths, bit-reversed for writing.
void CanonicalCodes(const std::uint8_t (&lengths)[SYMBOLS], std::uint32_t (&codes)[SYMBOLS]) {
    int perLength[MAX_CODE_LENGTH + 1] = {};
    for (std::uint8_t length : lengths) ++perLength[length];
    perLength[0] = 0;
    std::uint32_t next[MAX_CODE_LENGTH + 1] = {};
    std::uint32_t code = 0;
    for (int length = 1; length <= MAX_CODE_LENGTH; ++length) {
        code = (code + perLength[length - 1]) << 1;
        next[length] = code;
    }
    for (int s = 0; s < SYMBOLS; ++s)
        codes[s] = lengths[s] ? Reverse(next[lengths[s]]++, lengths[s]) : 0;
}

} // namespace

// A batch of rows and, once compressed, the IDAT chunk that holds them.
struct PngRowWriter::Batch {
    // Buffers are kept from batch to batch: fresh ones cost more to map and
    // clear than compressing does.
    std::vector<std::uint8_t> rows; // R, G, B
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> filtered;
    std::vector<std::uint8_t> chunk; // length, type, data, CRC; chunkSize bytes of it
    std::size_t chunkSize = 0;
    std::uint32_t adler = 1; // of the filtered rows
    std::size_t filteredSize = 0;
    std::thread worker;

    // Filters every row with "sub" (each byte less the one a pixel before),
    // then writes them as one dynamic-Huffman deflate block of literals,
    // followed by an empty stored block that ends it on a byte boundary.
    void Compress() {
        // Locals throughout: byte stores could otherwise change the members.
        const std::size_t width = rowBytes;
        const std::size_t count = rows.size() / width;
        const std::size_t size = count * (width + 1);
        filteredSize = size;
        filtered.resize(size);
        std::uint8_t* const start = filtered.data();
        std::uint8_t* out = start;
        for (std::size_t r = 0; r < count; ++r) {
            const std::uint8_t* __restrict row = rows.data() + r * width;
            std::uint8_t* __restrict to = out + 1; // the two buffers never overlap
            *out = 1;                              // sub
            std::memcpy(to, row, 3);
            std::size_t i = 3;
            for (; i + 8 <= width; i += 8) { // eight bytes at a time, no borrow between them
                std::uint64_t now, before;
                std::memcpy(&now, row + i, 8);
                std::memcpy(&before, row + i - 3, 8);
                constexpr std::uint64_t HIGH = 0x8080808080808080u;
                const std::uint64_t difference =
                    ((now | HIGH) - (before & ~HIGH)) ^ ((now ^ ~before) & HIGH);
                std::memcpy(to + i, &difference, 8);
            }
            for (; i < width; ++i) to[i] = static_cast<std::uint8_t>(row[i] - row[i - 3]);
            out += width + 1;
        }
        // Four tallies, so that runs of one value do not wait on one counter.
        std::uint32_t tallies[4][256] = {};
        std::size_t i = 0;
        for (; i + 4 <= size; i += 4) {
            ++tallies[0][start[i]];
            ++tallies[1][start[i + 1]];
            ++tallies[2][start[i + 2]];
            ++tallies[3][start[i + 3]];
        }
        for (; i < size; ++i) ++tallies[0][start[i]];
        std::uint64_t counts[SYMBOLS] = {};
        for (int b = 0; b < 256; ++b)
            counts[b] =
                std::uint64_t{tallies[0][b]} + tallies[1][b] + tallies[2][b] + tallies[3][b];
        counts[END_OF_BLOCK] = 1;
        adler = static_cast<std::uint32_t>(adler32(1, start, size));

        std::uint8_t lengths[SYMBOLS];
        std::uint32_t codes[SYMBOLS];
        CodeLengths(counts, lengths);
        CanonicalCodes(lengths, codes);

        chunk.resize(std::max(chunk.size(), 8 + 2 * size + 400 + 4 + 8));
        BitWriter bits(chunk.data() + 8);
        bits.Put(0, 1);  // not the last block
        bits.Put(2, 2);  // dynamic Huffman codes
        bits.Put(0, 5);  // 257 literal and length codes
        bits.Put(0, 5);  // one distance code
        bits.Put(15, 4); // all 19 code-length code lengths follow
        // The code-length code: lengths 0 to 15 in four bits each, 16 to 18 unused.
        constexpr int ORDER[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                   11, 4,  12, 3, 13, 2, 14, 1, 15};
        for (int symbol : ORDER) bits.Put(symbol <= 15 ? 4 : 0, 3);
        for (std::uint8_t length : lengths) bits.Put(Reverse(length, 4), 4);
        bits.Put(Reverse(1, 4), 4); // the one distance code, never used
        bits.PutAll(start, size, codes, lengths);
        bits.Put(codes[END_OF_BLOCK], lengths[END_OF_BLOCK]);
        bits.Put(0, 3); // an empty stored block, not the last
        std::uint8_t* end = bits.Finish();
        const std::uint8_t stored[4] = {0x00, 0x00, 0xFF, 0xFF};
        std::memcpy(end, stored, 4);
        end += 4;

        const std::size_t dataSize = static_cast<std::size_t>(end - chunk.data()) - 8;
        PutBig32(chunk.data(), static_cast<std::uint32_t>(dataSize));
        std::memcpy(chunk.data() + 4, "IDAT", 4);
        const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(dataSize + 4));
        PutBig32(end, static_cast<std::uint32_t>(crc));
        chunkSize = dataSize + 12;
    }
};

PngRowWriter::PngRowWriter() = default;

PngRowWriter::~PngRowWriter() {
    for (const std::unique_ptr<Batch>& batch : running_)
        if (batch->worker.joinable()) batch->worker.join();
    if (fd_ >= 0) close(fd_);
}

bool PngRowWriter::Fail() {
    if (ok_) error_ = errno;
    ok_ = false;
    return false;
}

bool PngRowWriter::WriteBytes(const void* data, std::size_t size) {
    if (ok_ && !platform::WriteAll(fd_, data, size)) Fail();
    return ok_;
}

bool PngRowWriter::WriteChunk(const char* type, const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[8];
    PutBig32(head, static_cast<std::uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
    std::uint8_t tail[4];
    PutBig32(tail, static_cast<std::uint32_t>(crc));
    return WriteBytes(head, 8) && WriteBytes(data, size) && WriteBytes(tail, 4);
}

bool PngRowWriter::Open(int fd, int width, int height) {
    fd_ = fd;
    ok_ = true;
    if (width <= 0 || height <= 0) {
        errno = EINVAL;
        return Fail();
    }
    rowBytes_ = static_cast<std::size_t>(width) * 3;
    batchRows_ = static_cast<int>(std::max<std::size_t>(1, BATCH_BYTES / rowBytes_));
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t header[13] = {};
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    const std::uint8_t zlibHeader[2] = {0x78, 0x01};
    return WriteBytes(signature, 8) && WriteChunk("IHDR", header, 13) &&
           WriteChunk("IDAT", zlibHeader, 2);
}

bool PngRowWriter::WriteOldest() {
    Batch& batch = *running_.front();
    if (batch.worker.joinable()) batch.worker.join();
    adler_ = static_cast<std::uint32_t>(
        adler32_combine(adler_, batch.adler, static_cast<z_off_t>(batch.filteredSize)));
    WriteBytes(batch.chunk.data(), batch.chunkSize);
    spare_.push_back(std::move(running_.front()));
    running_.pop_front();
    return ok_;
}

void PngRowWriter::StartBatch() {
    std::unique_ptr<Batch> batch;
    if (spare_.empty()) {
        batch = std::make_unique<Batch>();
    } else {
        batch = std::move(spare_.back());
        spare_.pop_back();
    }
    batch->rows.swap(rows_); // the batch's old buffer is the next one to fill
    batch->rows.resize(static_cast<std::size_t>(held_) * rowBytes_);
    batch->rowBytes = rowBytes_;
    held_ = 0;
    Batch* job = batch.get();
    try {
        batch->worker = std::thread([job] { job->Compress(); });
    } catch (const std::system_error&) {
        job->Compress(); // no thread to be had: here, then
    }
    running_.push_back(std::move(batch));
}

std::uint8_t* PngRowWriter::NextRow() {
    rows_.resize(static_cast<std::size_t>(batchRows_) * rowBytes_);
    return &rows_[static_cast<std::size_t>(held_) * rowBytes_];
}

bool PngRowWriter::RowDone() {
    if (!ok_) return false;
    if (++held_ < batchRows_) return true;
    while (static_cast<int>(running_.size()) >= MAX_RUNNING)
        if (!WriteOldest()) return false;
    StartBatch();
    return true;
}

bool PngRowWriter::WriteRow(const std::uint8_t* rgb) {
    std::memcpy(NextRow(), rgb, rowBytes_);
    return RowDone();
}

bool PngRowWriter::Finish() {
    if (fd_ < 0) return false;
    if (ok_ && held_ > 0) StartBatch();
    while (ok_ && !running_.empty()) WriteOldest();
    // The last block: empty, fixed codes, marked last; then the checksum.
    std::uint8_t end[6] = {0x03, 0x00};
    PutBig32(end + 2, adler_);
    WriteChunk("IDAT", end, 6) && WriteChunk("IEND", nullptr, 0);
    if (close(fd_) != 0) Fail();
    fd_ = -1;
    return ok_;
}
