// One-bit masks of text runs: built from the one-bit glyphs (set where coverage is half or
// more, as blend_coverage draws on a 1-bit surface), kept until there are too many.
#include "gdi32_text_masks.h"

#include "win32_surface.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

namespace win32::gdi {

namespace {

struct TextMask {
    int64_t left = 0, top = 0; // of bit 0 of row 0, from the cell's top-left corner
    int width = 0, rows = 0, words = 0;
    int64_t advance = 0;        // where the pen ends, one-bit glyph by glyph
    int64_t cells = 0;          // the run's measured width (GetTextExtentPoint32A's)
    std::vector<uint64_t> bits; // rows of `words` words, and one spare word
};

std::unordered_map<std::string, TextMask> &masks() {
    static std::unordered_map<std::string, TextMask> m;
    return m;
}

// The key in one buffer kept between calls, so a lookup allocates nothing.
const std::string &mask_key(const FontRequest &r, const char *text, int count) {
    static std::string key;
    key.assign(text, static_cast<size_t>(count));
    const int fields[4] = {r.height, r.weight, r.italic, r.fixed_pitch};
    key.append(reinterpret_cast<const char *>(fields), sizeof fields);
    key += r.face;
    return key;
}

TextMask build(const LoadedFont &font, const char *text, int count) {
    const int ascent = font_metrics(font).ascent;
    TextMask m;
    int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN, pen = 0;
    for (int i = 0; i < count; ++i) {
        const Glyph &g = font_glyph(font, static_cast<unsigned char>(text[i]), true);
        if (!g.coverage.empty()) {
            l = std::min(l, pen + g.left), r = std::max(r, pen + g.left + g.width);
            t = std::min<int64_t>(t, ascent - g.top), b = std::max<int64_t>(b, ascent - g.top + g.rows);
        }
        pen += g.advance;
        m.cells += font_glyph(font, static_cast<unsigned char>(text[i]), false).advance;
    }
    m.advance = pen;
    if (l >= r || t >= b)
        return m;
    m.left = l, m.top = t;
    m.width = static_cast<int>(r - l), m.rows = static_cast<int>(b - t), m.words = (m.width + 63) / 64;
    m.bits.assign(static_cast<size_t>(m.words) * static_cast<size_t>(m.rows) + 1, 0);
    pen = 0;
    for (int i = 0; i < count; ++i) {
        const Glyph &g = font_glyph(font, static_cast<unsigned char>(text[i]), true);
        for (int y = 0; y < g.rows; ++y) {
            uint64_t *row = m.bits.data() + static_cast<size_t>(ascent - g.top + y - t) * size_t(m.words);
            const uint8_t *cov = g.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(g.width);
            const int64_t x0 = pen + g.left - l;
            for (int x = 0; x < g.width; ++x)
                if (cov[x] >= 128)
                    row[(x0 + x) >> 6] |= uint64_t{1} << ((x0 + x) & 63);
        }
        pen += g.advance;
    }
    return m;
}

// 64 bits of a mask row from bit `from` on (the row has a spare word after it).
uint64_t bits_at(const uint64_t *row, int from) {
    const int shift = from & 63;
    const uint64_t lo = row[from >> 6] >> shift;
    return shift ? lo | row[(from >> 6) + 1] << (64 - shift) : lo;
}

} // namespace

bool paint_text_mask(Canvas &c, const FontRequest &request, const LoadedFont &font, int64_t left, int64_t top,
                     const char *text, int count, uint32_t ink, const uint32_t *background) {
    auto &cache = masks();
    const std::string &key = mask_key(request, text, count);
    auto it = cache.find(key);
    if (it == cache.end()) {
        // Lines come and go in a log; past this many, start again rather than track use.
        if (cache.size() >= 512)
            cache.clear();
        it = cache.emplace(key, build(font, text, count)).first;
    }
    const TextMask &m = it->second;
    // Glyph by glyph, drawing stops at the first pen position past the clip's right edge;
    // only a run that ends before it is the same as its whole mask.
    if (left + m.advance >= c.right)
        return false;
    if (background) {
        const FontMetrics &metrics = font_metrics(font);
        fill_box(c, left, top, left + m.cells, top + metrics.ascent + metrics.descent, *background);
    }
    ink = quantize(1, ink);
    const int64_t x0 = std::max<int64_t>(left + m.left, c.left);
    const int64_t x1 = std::min<int64_t>(left + m.left + m.width, c.right);
    const int64_t y0 = std::max<int64_t>(top + m.top, c.top);
    const int64_t y1 = std::min<int64_t>(top + m.top + m.rows, c.bottom);
    if (x0 >= x1 || y0 >= y1)
        return true;
    for (int64_t y = y0; y < y1; ++y) {
        const uint64_t *from = m.bits.data() + static_cast<size_t>(y - top - m.top) * size_t(m.words);
        uint64_t *row = c.surface->bit_row(static_cast<int>(y));
        for (int64_t x = x0; x < x1;) {
            const int lo = static_cast<int>(x & 63);
            const int n = static_cast<int>(std::min<int64_t>(x1 - x, 64 - lo));
            uint64_t bits = bits_at(from, static_cast<int>(x - left - m.left));
            if (n < 64)
                bits &= (uint64_t{1} << n) - 1;
            uint64_t &word = row[x >> 6];
            word = ink ? word | bits << lo : word & ~(bits << lo);
            x += n;
        }
    }
    mark_dirty(c, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
    return true;
}

void reset_text_masks() {
    masks().clear();
}

} // namespace win32::gdi
