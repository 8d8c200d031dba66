// A surface written out as a PNG file, either depth; see host/png_write.h.
#pragma once

#include "png_write.h"
#include "win32_surface.h"

namespace win32 {

// False when the file cannot be written or the surface is empty (or holds fewer pixels than
// its size says).
inline bool write_png(const Surface &s, const char *path) {
    const size_t rows = static_cast<size_t>(s.height > 0 ? s.height : 0);
    if (s.bits_per_pixel == 1 ? s.bits.size() < static_cast<size_t>(s.words) * rows
                              : s.pixels.size() < static_cast<size_t>(s.width > 0 ? s.width : 0) * rows)
        return false;
    const PngRows surface_rows = [](const void *picture, int y, uint32_t *row) {
        const Surface &surface = *static_cast<const Surface *>(picture);
        for (int x = 0; x < surface.width; ++x)
            row[x] = surface.get(x, y);
    };
    return write_png(s.width, s.height, surface_rows, &s, path);
}

} // namespace win32
