// How pixels are written: clipped horizontal spans and single pixels into a Surface, plus a
// coverage mask that shape code fills before painting it in one colour.
// Every write stays inside canvas.clip (itself inside the surface) and is quantized to the
// surface's depth; 64-bit coordinates so callers never overflow before clipping.
#pragma once

#include "win32_surface.h"

#include <cstdint>
#include <vector>

namespace win32::gdi {

struct Canvas {
    Surface *surface = nullptr;
    // Clip in surface coordinates, right and bottom excluded, within the surface.
    int left = 0, top = 0, right = 0, bottom = 0;
    // Bounding box of what was written (empty while right <= left).
    int dirty_left = 0, dirty_top = 0, dirty_right = 0, dirty_bottom = 0;
};

// n pixels of a colour row from p on to value.
void fill_run(uint32_t *p, size_t n, uint32_t value);
// Pixels x0 <= x < x1 of row y.
void fill_span(Canvas &c, int64_t y, int64_t x0, int64_t x1, uint32_t rgb);
void fill_box(Canvas &c, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t rgb);
void put_pixel(Canvas &c, int64_t x, int64_t y, uint32_t rgb);
void mark_dirty(Canvas &c, int left, int top, int right, int bottom);

// Blends a glyph's 8-bit coverage (rows of `width` bytes) with its top-left corner at (x, y):
// mixed by coverage on colour surfaces, cut at one half on monochrome ones.
void blend_coverage(Canvas &c, int64_t x, int64_t y, const uint8_t *coverage, int width, int rows,
                    uint32_t rgb);

// Coverage over a window of surface coordinates (normally a shape's box cut to the clip,
// so never larger than the surface).
struct Mask {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> bits; // row by row, 1 covered and 0 not: nothing else

    void reset(int l, int t, int r, int b);
    bool empty() const { return width <= 0 || height <= 0; }
    // Marks x0 <= x < x1 on row y, clipped to the window.
    void span(int64_t y, int64_t x0, int64_t x1);
    void set(int64_t x, int64_t y) { span(y, x, x + 1); }
    bool test(int x, int y) const;
    // Rows of the window that a shape with rows [top, bottom) can touch.
    int64_t first_row(int64_t top) const { return top > this->top ? top : this->top; }
    int64_t end_row(int64_t bottom) const { return bottom < top + height ? bottom : top + height; }
};

// Paints every covered pixel of m that `except` (when given) does not cover.
void paint_mask(Canvas &c, const Mask &m, uint32_t rgb, const Mask *except = nullptr);

} // namespace win32::gdi
