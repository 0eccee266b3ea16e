#include "tools/map/png_rows.h"

#include <png.h>

#include <csetjmp>

// libpng reports errors by longjmp to the set-up point of each call; every
// call below holds no object that needs destroying across that jump.

PngRowWriter::~PngRowWriter() { Close(); }

void PngRowWriter::Close() {
    if (png_) {
        png_structp png = static_cast<png_structp>(png_);
        png_infop info = static_cast<png_infop>(info_);
        png_destroy_write_struct(&png, info ? &info : nullptr);
        png_ = info_ = nullptr;
    }
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool PngRowWriter::Open(const std::string& path, int width, int height) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_ = png;
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    info_ = info;
    if (!info) return false;
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file_);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Whole-map pictures run to gigabytes: the fastest compression keeps writing
    // them from taking minutes, at a modest cost in size.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    return true;
}

bool PngRowWriter::WriteRow(const std::uint8_t* rgb) {
    png_structp png = static_cast<png_structp>(png_);
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_row(png, rgb);
    return true;
}

bool PngRowWriter::Finish() {
    png_structp png = static_cast<png_structp>(png_);
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, nullptr);
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    Close();
    return flushed;
}
