// Pixel storage shared by bitmaps and window screens.
// One uint32_t per pixel as 0x00RRGGBB whatever the depth, so every painter writes one
// format; a 1-bit surface only ever holds pure black or pure white.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace win32 {

struct Surface {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 32; // 32 or 1
    std::vector<uint32_t> pixels;

    void resize(int w, int h, uint32_t fill = 0) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t *row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t *row(int y) const {
        return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
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
