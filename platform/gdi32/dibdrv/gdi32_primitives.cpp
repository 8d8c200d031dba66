// Pixel writes for GDI32: spans with std::fill, clipped against the canvas before any loop,
// so a shape reaching far outside the surface costs only what lies inside.
#include "gdi32_primitives.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

namespace win32::gdi {

void mark_dirty(Canvas &c, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    if (c.dirty_right <= c.dirty_left || c.dirty_bottom <= c.dirty_top) {
        c.dirty_left = left, c.dirty_top = top, c.dirty_right = right, c.dirty_bottom = bottom;
        return;
    }
    c.dirty_left = std::min(c.dirty_left, left);
    c.dirty_top = std::min(c.dirty_top, top);
    c.dirty_right = std::max(c.dirty_right, right);
    c.dirty_bottom = std::max(c.dirty_bottom, bottom);
}

namespace {

// Long spans go to wmemset, which the C library picks at run time for the widest vector
// stores the CPU has (a frame-buffer clear in about a third of std::fill's time, two thirds
// of the portable loop's). Short ones stay inline, where the call would cost more than the
// stores; the inner fixed-length loop compiles to four vector stores per step.
void fill_pixels(uint32_t *p, size_t n, uint32_t value) {
    if constexpr (sizeof(wchar_t) == sizeof(uint32_t)) {
        if (n >= 64) {
            std::wmemset(reinterpret_cast<wchar_t *>(p), static_cast<wchar_t>(value), n);
            return;
        }
    }
    constexpr size_t STEP = 16;
    size_t i = 0;
    for (; i + STEP <= n; i += STEP)
        for (size_t k = 0; k < STEP; ++k)
            p[i + k] = value;
    for (; i < n; ++i)
        p[i] = value;
}

// Each channel d * (255 - a) + s * a, rounded to the nearest /255; red and blue share one
// multiply in 16-bit lanes. x / 255 == (x + 1 + (x >> 8)) >> 8 for every x below 65535, and
// a lane holds at most 255 * 255 + 127.
uint32_t mix(uint32_t d, uint32_t s, unsigned a) {
    const unsigned na = 255 - a;
    uint32_t rb = (d & 0xFF00FFu) * na + (s & 0xFF00FFu) * a + 0x7F007Fu;
    rb = ((rb + 0x10001u + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
    uint32_t g = ((d >> 8) & 0xFFu) * na + ((s >> 8) & 0xFFu) * a + 0x7Fu;
    g = (g + 1 + (g >> 8)) >> 8;
    return rb | (g << 8);
}

// Bit i set where coverage byte i of the eight at p is at least 128: the bytes' top bits,
// gathered into one byte by a multiply.
uint64_t half_covered(const uint8_t *p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__)
        v = __builtin_bswap64(v);
    return ((v & 0x8080808080808080u) * 0x0002040810204081u) >> 56;
}

} // namespace

void fill_run(uint32_t *p, size_t n, uint32_t value) {
    fill_pixels(p, n, value);
}

void fill_box(Canvas &c, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t rgb) {
    if (!c.surface)
        return;
    int l = static_cast<int>(std::max<int64_t>(left, c.left));
    int r = static_cast<int>(std::min<int64_t>(right, c.right));
    int t = static_cast<int>(std::max<int64_t>(top, c.top));
    int b = static_cast<int>(std::min<int64_t>(bottom, c.bottom));
    if (l >= r || t >= b)
        return;
    Surface &s = *c.surface;
    uint32_t p = quantize(s.bits_per_pixel, rgb);
    if (s.bits_per_pixel == 1)
        s.fill(t, b, l, r, p);
    else
        for (int y = t; y < b; ++y)
            fill_pixels(s.row(y) + l, static_cast<size_t>(r - l), p);
    mark_dirty(c, l, t, r, b);
}

// One row of fill_box, on its own: shapes paint hundreds of short spans a frame, and the
// box's set-up for many rows cost more than the stores of a short one.
void fill_span(Canvas &c, int64_t y, int64_t x0, int64_t x1, uint32_t rgb) {
    if (!c.surface || y < c.top || y >= c.bottom)
        return;
    const int l = static_cast<int>(std::max<int64_t>(x0, c.left));
    const int r = static_cast<int>(std::min<int64_t>(x1, c.right));
    if (l >= r)
        return;
    Surface &s = *c.surface;
    const int row = static_cast<int>(y);
    const uint32_t p = quantize(s.bits_per_pixel, rgb);
    if (s.bits_per_pixel == 1)
        s.fill(row, l, r, p);
    else
        fill_pixels(s.row(row) + l, static_cast<size_t>(r - l), p);
    mark_dirty(c, l, row, r, row + 1);
}

void put_pixel(Canvas &c, int64_t x, int64_t y, uint32_t rgb) {
    if (!c.surface || x < c.left || x >= c.right || y < c.top || y >= c.bottom)
        return;
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    c.surface->set(ix, iy, quantize(c.surface->bits_per_pixel, rgb));
    mark_dirty(c, ix, iy, ix + 1, iy + 1);
}

void blend_coverage(Canvas &c, int64_t x, int64_t y, const uint8_t *coverage, int width, int rows,
                    uint32_t rgb) {
    if (!c.surface)
        return;
    int64_t l = std::max<int64_t>(x, c.left), r = std::min<int64_t>(x + width, c.right);
    int64_t t = std::max<int64_t>(y, c.top), b = std::min<int64_t>(y + rows, c.bottom);
    if (l >= r || t >= b)
        return;
    bool mono = c.surface->bits_per_pixel == 1;
    uint32_t solid = quantize(c.surface->bits_per_pixel, rgb);
    rgb &= 0xFFFFFFu;
    const uint8_t *coverage_end = coverage + static_cast<size_t>(width) * static_cast<size_t>(rows);
    for (int64_t py = t; py < b; ++py) {
        const uint8_t *cov = coverage + (py - y) * width - x;
        if (mono) {
            // The row's pixels of at least half coverage, 64 at a time, as one mask a word.
            uint64_t *bits = c.surface->bit_row(static_cast<int>(py));
            for (int64_t px = l; px < r;) {
                const int lo = static_cast<int>(px & 63);
                const int64_t end = std::min<int64_t>(r, px - lo + 64);
                // Eight bytes at a time, reading on into the next row (or padding) where
                // the buffer goes on; glyph rows are mostly narrower than eight.
                uint64_t mask = 0;
                int64_t i = px;
                for (; i < end && cov + i + 8 <= coverage_end; i += 8) {
                    uint64_t m = half_covered(cov + i);
                    if (end - i < 8)
                        m &= (uint64_t{1} << (end - i)) - 1;
                    mask |= m << (i & 63);
                }
                for (; i < end; ++i)
                    mask |= uint64_t{cov[i] >= 128} << (i & 63);
                uint64_t &word = bits[px >> 6];
                word = solid ? word | mask : word & ~mask;
                px = end;
            }
            continue;
        }
        uint32_t *row = c.surface->row(static_cast<int>(py));
        // Most of a glyph's box is empty or solid.
        for (int64_t px = l; px < r; ++px) {
            unsigned a = cov[px];
            if (a == 255)
                row[px] = solid;
            else if (a != 0)
                row[px] = mix(row[px], rgb, a);
        }
    }
    mark_dirty(c, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b));
}

void Mask::reset(int l, int t, int r, int b) {
    left = l, top = t;
    width = r > l ? r - l : 0;
    height = b > t ? b - t : 0;
    bits.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

void Mask::span(int64_t y, int64_t x0, int64_t x1) {
    if (y < top || y >= top + height)
        return;
    int64_t l = std::max<int64_t>(x0, left), r = std::min<int64_t>(x1, static_cast<int64_t>(left) + width);
    if (l >= r)
        return;
    uint8_t *row = bits.data() + static_cast<size_t>(y - top) * static_cast<size_t>(width);
    std::fill(row + (l - left), row + (r - left), uint8_t{1});
}

bool Mask::test(int x, int y) const {
    if (x < left || y < top || x >= left + width || y >= top + height)
        return false;
    return bits[static_cast<size_t>(y - top) * static_cast<size_t>(width) + static_cast<size_t>(x - left)] !=
           0;
}

void paint_mask(Canvas &c, const Mask &m, uint32_t rgb, const Mask *except) {
    // Each row's covered runs become spans, found with memchr (a mask holds only 0 and 1);
    // a row that `except` reaches is first cut by it into a scratch row.
    std::vector<uint8_t> scratch;
    for (int y = 0; y < m.height; ++y) {
        const uint8_t *row = m.bits.data() + static_cast<size_t>(y) * static_cast<size_t>(m.width);
        const int sy = m.top + y;
        if (except && sy >= except->top && sy < except->top + except->height) {
            // The columns both masks share, in this mask's terms.
            const int from = std::max(except->left - m.left, 0);
            const int to = std::min(except->left + except->width - m.left, m.width);
            if (from < to) {
                scratch.assign(row, row + m.width);
                const uint8_t *ex =
                    except->bits.data() +
                    static_cast<size_t>(sy - except->top) * static_cast<size_t>(except->width) +
                    (m.left + from - except->left);
                for (int i = from; i < to; ++i)
                    scratch[i] &= static_cast<uint8_t>(ex[i - from] ^ 1);
                row = scratch.data();
            }
        }
        const uint8_t *end = row + m.width;
        for (const uint8_t *p = row; p < end;) {
            const void *run = std::memchr(p, 1, static_cast<size_t>(end - p));
            if (!run)
                break;
            const uint8_t *start = static_cast<const uint8_t *>(run);
            const void *gap = std::memchr(start, 0, static_cast<size_t>(end - start));
            p = gap ? static_cast<const uint8_t *>(gap) : end;
            fill_span(c, sy, m.left + (start - row), m.left + (p - row), rgb);
        }
    }
}

} // namespace win32::gdi
