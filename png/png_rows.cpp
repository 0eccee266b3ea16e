#include "png/png_rows.h"

#include "platform/files/file_io.h"
#include "png/deflate_block.h"

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

void PutBig32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

constexpr std::uint64_t HIGH = 0x8080808080808080u;

// The eight byte differences now - before, with no borrow between bytes.
inline std::uint64_t Difference(std::uint64_t now, std::uint64_t before) {
    return ((now | HIGH) - (before & ~HIGH)) ^ ((now ^ ~before) & HIGH);
}

inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// How many of the eight bytes are zero: their flags summed by one multiply.
inline int ZeroBytes(std::uint64_t v) {
    const std::uint64_t zero = ~(((v & ~HIGH) + ~HIGH) | v) & HIGH;
    return static_cast<int>((zero >> 7) * 0x0101010101010101u >> 56);
}

// The PNG filters used: "sub" (each byte less the one a pixel before) and "up"
// (less the one a row above).
enum Filter : std::uint8_t { SUB = 1, UP = 2 };

// Writes the row filtered with `filter` at `to`; `above` is the row above,
// `pixel` the bytes of one pixel.
void FilterRow(Filter filter, const std::uint8_t* __restrict row,
               const std::uint8_t* __restrict above, std::size_t width, std::size_t pixel,
               std::uint8_t* __restrict to) {
    const std::size_t back = filter == SUB ? pixel : 0;
    const std::uint8_t* before = filter == SUB ? row - pixel : above;
    std::memcpy(to, row, back);
    std::size_t i = back;
    for (; i + 8 <= width; i += 8) { // eight bytes at a time
        const std::uint64_t difference = Difference(Load64(row + i), Load64(before + i));
        std::memcpy(to + i, &difference, 8);
    }
    for (; i < width; ++i) to[i] = static_cast<std::uint8_t>(row[i] - before[i]);
}

// "up" for a row that nearly repeats the one above, which the matches cannot
// reach when rows are longer than the deflate window, else "sub"; judged on
// every fourth word of the row.
Filter ChooseFilter(const std::uint8_t* row, const std::uint8_t* above, std::size_t width,
                    std::size_t pixel) {
    int sub = 0, up = 0, bytes = 0;
    for (std::size_t i = pixel; i + 8 <= width; i += 32, bytes += 8) {
        const std::uint64_t now = Load64(row + i);
        sub += ZeroBytes(Difference(now, Load64(row + i - pixel)));
        up += ZeroBytes(Difference(now, Load64(above + i)));
    }
    return up > sub && up >= bytes - bytes / 8 ? UP : SUB;
}

} // namespace

// A batch of rows and, once compressed, the IDAT chunk that holds them.
struct PngRowWriter::Batch {
    // Buffers are kept from batch to batch: fresh ones cost more to map and
    // clear than compressing does.
    std::vector<std::uint8_t> rows;  // R, G, B (, A)
    std::vector<std::uint8_t> above; // the row before the first
    std::size_t rowBytes = 0;
    std::size_t pixelBytes = 3;
    std::vector<std::uint8_t> filtered;
    std::vector<std::uint8_t> chunk; // length, type, data, CRC; chunkSize bytes of it
    std::size_t chunkSize = 0;
    std::uint32_t adler = 1; // of the filtered rows
    std::size_t filteredSize = 0;
    DeflateScratch scratch;
    std::thread worker;

    // Filters each row with the filter that suits it, then writes them as one
    // deflate block, followed by an empty stored block that ends it on a byte
    // boundary.
    void Compress() {
        // Locals throughout: byte stores could otherwise change the members.
        const std::size_t width = rowBytes, pixel = pixelBytes;
        const std::size_t count = rows.size() / width;
        const std::size_t size = count * (width + 1);
        filteredSize = size;
        filtered.resize(size);
        std::uint8_t* const start = filtered.data();
        std::uint8_t* out = start;
        above.resize(width); // zeros above the first row of the picture
        for (std::size_t r = 0; r < count; ++r, out += width + 1) {
            const std::uint8_t* row = rows.data() + r * width;
            const std::uint8_t* rowAbove = r == 0 ? above.data() : row - width;
            const Filter filter = ChooseFilter(row, rowAbove, width, pixel);
            *out = filter;
            FilterRow(filter, row, rowAbove, width, pixel, out + 1);
        }
        adler = static_cast<std::uint32_t>(adler32(1, start, size));
        chunk.resize(std::max(chunk.size(), 8 + DeflateBound(size) + 4));
        std::uint8_t* const end = DeflateBlock(start, size, scratch, chunk.data() + 8);

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
    if (fd_ >= 0) platform::CloseFile(fd_);
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

bool PngRowWriter::Open(int fd, int width, int height, bool alpha) {
    fd_ = fd;
    ok_ = true;
    if (width <= 0 || height <= 0) {
        errno = EINVAL;
        return Fail();
    }
    pixelBytes_ = alpha ? 4 : 3;
    rowBytes_ = static_cast<std::size_t>(width) * pixelBytes_;
    batchRows_ = static_cast<int>(std::max<std::size_t>(1, BATCH_BYTES / rowBytes_));
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t header[13] = {};
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;             // bits per sample
    header[9] = alpha ? 6 : 2; // RGBA or RGB
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
    batch->pixelBytes = pixelBytes_;
    batch->above.swap(lastRow_);
    lastRow_.assign(batch->rows.end() - static_cast<std::ptrdiff_t>(rowBytes_), batch->rows.end());
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

bool PngRowWriter::WriteRow(const std::uint8_t* pixels) {
    std::memcpy(NextRow(), pixels, rowBytes_);
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
    if (!(ok_ ? platform::FlushAndClose(fd_) : platform::CloseFile(fd_))) Fail();
    fd_ = -1;
    return ok_;
}
