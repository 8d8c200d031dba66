// The scaled copy: each row is widened once into the first of its k host rows, which are then
// copied from it. Scales 2 and 3 have loops of their own, which the compiler vectorises.
#include "display_scale.h"

#include <cmath>
#include <cstring>

namespace win32 {

namespace {

template <int K> void widen(const uint32_t *from, int n, uint32_t *to) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < K; ++j)
            to[K * i + j] = from[i];
}

void widen_any(const uint32_t *from, int n, uint32_t *to, int k) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < k; ++j)
            to[k * i + j] = from[i];
}

} // namespace

int scale_from_dpi(double dpi) {
    if (!(dpi > 0) || !std::isfinite(dpi))
        return 1;
    const double k = std::floor(dpi / 96.0 + 0.5);
    return k < 1 ? 1 : k > 16 ? 16 : static_cast<int>(k);
}

void scale_copy(const Surface &src, const RECT &rect, uint32_t *dst, size_t pitch, int k) {
    const int n = static_cast<int>(rect.right - rect.left);
    if (n <= 0 || k < 1)
        return;
    const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(n) * static_cast<size_t>(k);
    for (int y = static_cast<int>(rect.top); y < rect.bottom; ++y) {
        const uint32_t *from = src.row(y) + rect.left;
        uint32_t *to = dst + static_cast<size_t>(y) * static_cast<size_t>(k) * pitch +
                       static_cast<size_t>(rect.left) * static_cast<size_t>(k);
        switch (k) {
        case 1: std::memcpy(to, from, bytes); break;
        case 2: widen<2>(from, n, to); break;
        case 3: widen<3>(from, n, to); break;
        default: widen_any(from, n, to, k); break;
        }
        for (int j = 1; j < k; ++j)
            std::memcpy(to + static_cast<size_t>(j) * pitch, to, bytes);
    }
}

} // namespace win32
