// PNG output through libpng, one 8-bit RGB row at a time.
// libpng reports errors by longjmp; nothing with a destructor lives across that jump except
// the row buffers, which are set up before setjmp and outlive it.
#include "png_write.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace win32 {

namespace {

struct Picture {
    int width, height;
    PngRows rows;
    const void *pixels;
};

bool write_rows(png_structp png, png_infop info, const Picture &p, std::vector<uint32_t> &pixels,
                std::vector<png_byte> &row) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < p.height; ++y) {
        p.rows(p.pixels, y, pixels.data());
        for (int x = 0; x < p.width; ++x) {
            row[3 * x] = static_cast<png_byte>(pixels[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool write_png(int width, int height, PngRows rows, const void *picture, const char *path) {
    if (!path || width <= 0 || height <= 0 || !rows)
        return false;
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width));
        std::vector<png_byte> row(static_cast<size_t>(width) * 3);
        png_init_io(png, f);
        ok = write_rows(png, info, Picture{width, height, rows, picture}, pixels, row);
    }
    png_destroy_write_struct(&png, &info);
    ok = (std::fclose(f) == 0) && ok;
    if (!ok)
        std::remove(path);
    return ok;
}

} // namespace win32
