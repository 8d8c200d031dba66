// Pixel storage shared by bitmaps and window screens.
// A colour surface keeps one uint32_t per pixel as 0x00RRGGBB, rows of `width`. A 1-bit
// surface keeps one bit per pixel (set: white, clear: black), rows of `words` 64-bit words,
// pixel x in bit x % 64 of word x / 64, bits past the width always clear, its rows a ring
// so that a whole-surface scroll turns it; get(), set() and fill() read and write either
// depth in 0x00RRGGBB terms.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>
#include <vector>

namespace win32 {

// The most pixels a surface holds (8192 x 8192): a window or bitmap that would need more
// fails as if memory ran out.
constexpr int64_t max_surface_pixels = int64_t{1} << 26;

// Fills v with n copies of value, in fresh storage when may_allocate and memory allows, else
// in the storage v has if it is large enough; false (v unchanged) when neither will do.
template <class T> bool store_pixels(std::vector<T> &v, size_t n, T value, bool may_allocate) noexcept {
    if (may_allocate) {
        try {
            std::vector<T>(n, value).swap(v);
            return true;
        } catch (const std::bad_alloc &) {
        }
    }
    if (n > v.capacity())
        return false;
    v.assign(n, value); // within the capacity: allocates nothing
    return true;
}

struct Surface {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 32;      // 32 or 1
    std::vector<uint32_t> pixels; // 32 bpp
    std::vector<uint64_t> bits;   // 1 bpp
    int words = 0;                // 64-bit words a 1-bit row holds
    int first_row = 0;            // 1 bpp: rows are a ring, row y stored at y + first_row

    // Takes the new size, every pixel `fill`, in storage of just that size, so a surface that
    // shrinks gives its memory back. When that storage cannot be had (memory ran out, or
    // may_allocate is false) a shrink reuses the storage it has; a growth, or a size past
    // max_surface_pixels, leaves the surface as it was and returns false.
    bool resize(int w, int h, uint32_t fill = 0, bool may_allocate = true) noexcept {
        const int new_width = w > 0 ? w : 0, new_height = h > 0 ? h : 0;
        const size_t rows = static_cast<size_t>(new_height);
        if (int64_t{new_width} * new_height > max_surface_pixels)
            return false;
        if (bits_per_pixel == 1) {
            const int new_words = (new_width + 63) / 64;
            if (!store_pixels(bits, static_cast<size_t>(new_words) * rows, uint64_t{0}, may_allocate))
                return false;
            pixels = {};
            words = new_words;
        } else {
            if (!store_pixels(pixels, static_cast<size_t>(new_width) * rows, fill, may_allocate))
                return false;
            bits = {};
            words = 0;
        }
        width = new_width;
        height = new_height;
        first_row = 0;
        if (bits_per_pixel == 1 && fill)
            for (int y = 0; y < height; ++y)
                this->fill(y, 0, width, fill);
        return true;
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Colour surfaces only.
    uint32_t *row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t *row(int y) const {
        return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    }
    // 1-bit surfaces only.
    uint64_t *bit_row(int y) { return bits.data() + stored_row(y) * static_cast<size_t>(words); }
    const uint64_t *bit_row(int y) const { return bits.data() + stored_row(y) * static_cast<size_t>(words); }
    size_t stored_row(int y) const {
        const int r = y + first_row;
        return static_cast<size_t>(r >= height ? r - height : r);
    }

    // Pixel (x, y) inside the surface, as 0x00RRGGBB.
    uint32_t get(int x, int y) const {
        if (bits_per_pixel != 1)
            return row(y)[x];
        return (bit_row(y)[x >> 6] >> (x & 63)) & 1 ? 0xFFFFFFu : 0u;
    }
    // Stores p, already quantized to this depth, at (x, y) inside the surface.
    void set(int x, int y, uint32_t p) {
        if (bits_per_pixel != 1) {
            row(y)[x] = p;
            return;
        }
        const uint64_t bit = uint64_t{1} << (x & 63);
        uint64_t &word = bit_row(y)[x >> 6];
        word = p ? word | bit : word & ~bit;
    }
    // Pixels x0 <= x < x1 of row y (inside the surface) of a 1-bit surface to p.
    void fill(int y, int x0, int x1, uint32_t p) { fill(y, y + 1, x0, x1, p); }
    // The same for rows y0 <= y < y1, the edge masks worked out once.
    void fill(int y0, int y1, int x0, int x1, uint32_t p) {
        if (x0 >= x1)
            return;
        const uint64_t value = p ? ~uint64_t{0} : 0;
        const int first = x0 >> 6, last = (x1 - 1) >> 6;
        uint64_t head = ~uint64_t{0} << (x0 & 63);
        const uint64_t tail = ~uint64_t{0} >> (63 - ((x1 - 1) & 63));
        if (first == last)
            head &= tail;
        for (int y = y0; y < y1; ++y) {
            uint64_t *r = bit_row(y);
            r[first] = (r[first] & ~head) | (value & head);
            if (first == last)
                continue;
            for (int i = first + 1; i < last; ++i)
                r[i] = value;
            r[last] = (r[last] & ~tail) | (value & tail);
        }
    }
};

// COLORREF is 0x00BBGGRR; surfaces hold 0x00RRGGBB.
inline uint32_t pixel_from_colorref(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF colorref_from_pixel(uint32_t p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// What a surface of this depth stores for a colour: a monochrome bitmap keeps the nearer
// of black and white, as GDI maps colours onto a 1-bit bitmap's two palette entries.
inline uint32_t quantize(int bits_per_pixel, uint32_t p) {
    p &= 0xFFFFFFu;
    if (bits_per_pixel != 1)
        return p;
    unsigned sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    return sum >= 383 ? 0xFFFFFFu : 0u;
}

} // namespace win32
