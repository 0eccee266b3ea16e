// A PNG file written one row at a time: 8-bit RGB or RGBA, no interlacing. Rows are
// gathered in batches of a few megabytes that are compressed side by side on
// other threads, each row under the filter that suits it and each batch as a
// deflate block of its own (deflate_block.h), so that pictures of gigabytes
// take seconds.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class PngRowWriter {
  public:
    PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;
    ~PngRowWriter(); // waits for the batches and closes a file left unfinished

    // Takes the open file `fd`, which it closes, and writes the header; with
    // `alpha` the rows hold R, G, B, A. False on failure.
    bool Open(int fd, int width, int height, bool alpha = false);
    // The next row, width * 3 bytes R, G, B (width * 4 with A). False on failure.
    bool WriteRow(const std::uint8_t* pixels);
    // The same without a copy: room for the next row, to be filled before
    // RowDone, which then takes it as WriteRow would.
    std::uint8_t* NextRow();
    bool RowDone();
    // Ends the picture, flushes it to the disk and closes the file. False on
    // failure.
    bool Finish();
    // After a failure, its errno value.
    int Error() const { return error_; }

    struct Batch; // rows on their way to the file

  private:
    void StartBatch();
    bool WriteOldest();
    bool WriteBytes(const void* data, std::size_t size);
    bool WriteChunk(const char* type, const std::uint8_t* data, std::size_t size);

    bool Fail(); // records errno
    int fd_ = -1;
    std::size_t rowBytes_ = 0;
    std::size_t pixelBytes_ = 3;
    int batchRows_ = 0;
    std::vector<std::uint8_t> rows_;    // the batch being filled
    std::vector<std::uint8_t> lastRow_; // the last row of the batch before it
    int held_ = 0;                      // rows in it
    std::deque<std::unique_ptr<Batch>> running_;
    std::vector<std::unique_ptr<Batch>> spare_; // written, to be filled again
    std::uint32_t adler_ = 1;                   // of all the filtered rows written so far
    bool ok_ = false;
    int error_ = 0;
};
