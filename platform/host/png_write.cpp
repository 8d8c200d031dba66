// PNG output of a surface through libpng, one 8-bit RGB row at a time.
// libpng reports errors by longjmp; nothing with a destructor lives across that jump
// except the row buffer, which is set up before setjmp and outlives it.
#include "png_write.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace win32 {

namespace {

bool write_rows(png_structp png, png_infop info, const Surface &s, std::vector<png_byte> &row) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.get(x, y);
            row[3 * x] = static_cast<png_byte>(p >> 16);
            row[3 * x + 1] = static_cast<png_byte>(p >> 8);
            row[3 * x + 2] = static_cast<png_byte>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool write_png(const Surface &s, const char *path) {
    if (!path || s.width <= 0 || s.height <= 0 ||
        (s.bits_per_pixel == 1
             ? s.bits.size() < static_cast<size_t>(s.words) * static_cast<size_t>(s.height)
             : s.pixels.size() < static_cast<size_t>(s.width) * static_cast<size_t>(s.height)))
        return false;
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info) {
        std::vector<png_byte> row(static_cast<size_t>(s.width) * 3);
        png_init_io(png, f);
        ok = write_rows(png, info, s, row);
    }
    png_destroy_write_struct(&png, &info);
    ok = (std::fclose(f) == 0) && ok;
    if (!ok)
        std::remove(path);
    return ok;
}

} // namespace win32
