// A PNG file written one row at a time: 8-bit RGB, no interlacing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class PngRowWriter {
  public:
    PngRowWriter() = default;
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;
    ~PngRowWriter(); // closes a file left unfinished (the caller removes it)

    // Creates the file and writes the header. False on failure.
    bool Open(const std::string& path, int width, int height);
    // The next row, width * 3 bytes R, G, B. False on failure.
    bool WriteRow(const std::uint8_t* rgb);
    // Ends the picture and closes the file. False on failure.
    bool Finish();

  private:
    void Close();
    std::FILE* file_ = nullptr;
    void* png_ = nullptr;  // png_structp
    void* info_ = nullptr; // png_infop
};
