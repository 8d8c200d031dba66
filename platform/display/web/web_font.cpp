// Fonts for GDI32 in the browser: the page's own text rendering draws each glyph once onto a
// scratch canvas, and its alpha becomes the glyph's coverage. Faces are the browser's; an
// unknown name falls back to a sans face, as the desktop's font mapper substitutes one.
// Every loaded font and glyph stays cached until reset_font_cache().
#include "../../src/font_cache.h"

#include <emscripten.h>

#include <map>
#include <memory>
#include <tuple>

namespace win32::gdi {

struct LoadedFont {
    int id = 0; // the page's index of the CSS font
    FontMetrics metrics;
    Glyph glyphs[256];
    bool rendered[256] = {};
};

namespace {

// clang-format off
// Opens the CSS font for a request and measures it (web_fonts.js); out: ascent, descent,
// average and widest advance, fixed pitch, the font's id.
EM_JS(void, js_font_open, (const char *face, int monospace, int height, int bold, int italic, int32_t *out), {
    HEAP32.set(kelpaFonts.open(UTF8ToString(face), monospace, height, bold, italic), out >> 2);
});
// Draws one character of a font and keeps its coverage for js_glyph_copy. out: width, rows,
// left, top, advance.
EM_JS(void, js_glyph_draw, (int id, int code, int32_t *out), {
    HEAP32.set(kelpaFonts.draw(id, code), out >> 2);
});
EM_JS(void, js_glyph_copy, (uint8_t *to), { HEAPU8.set(kelpaFonts.last, to); });
// clang-format on

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. 0 marks a hole.
constexpr uint16_t cp1252_high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// What a font shows for a byte with no character: the missing-glyph box.
constexpr int missing_glyph = 0x25A1;

int codepoint(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F)
        return missing_glyph;
    if (byte >= 0x80 && byte < 0xA0)
        return cp1252_high[byte - 0x80] ? cp1252_high[byte - 0x80] : missing_glyph;
    return byte;
}

using Key = std::tuple<std::string, bool, int, bool, bool>; // face, monospace, height, bold, italic

struct Cache {
    std::map<Key, std::unique_ptr<LoadedFont>> fonts;
    int loads = 0;
};

Cache &cache() {
    static Cache c;
    return c;
}

} // namespace

const LoadedFont *load_font(const FontRequest &request) {
    Cache &c = cache();
    bool bold = request.weight >= 600;
    Key key{request.monospace ? std::string() : request.face, request.monospace, request.height, bold,
            request.italic};
    auto it = c.fonts.find(key);
    if (it != c.fonts.end())
        return it->second.get();
    int32_t out[6];
    js_font_open(request.face.c_str(), request.monospace, request.height, bold, request.italic, out);
    auto font = std::make_unique<LoadedFont>();
    font->id = out[5];
    FontMetrics &m = font->metrics;
    m.ascent = out[0];
    m.descent = out[1];
    m.ave_char_width = out[2];
    m.max_char_width = out[3];
    m.fixed_pitch = out[4] != 0;
    m.weight = bold ? 700 : 400;
    m.italic = request.italic;
    ++c.loads;
    return c.fonts.emplace(key, std::move(font)).first->second.get();
}

const FontMetrics &font_metrics(const LoadedFont &font) {
    return font.metrics;
}

const Glyph &font_glyph(const LoadedFont &font, unsigned char byte) {
    // Glyphs are drawn on first use; the cache is logically const.
    LoadedFont &f = const_cast<LoadedFont &>(font);
    Glyph &g = f.glyphs[byte];
    if (!f.rendered[byte]) {
        int32_t out[5];
        js_glyph_draw(f.id, codepoint(byte), out);
        g.width = out[0];
        g.rows = out[1];
        g.left = out[2];
        g.top = out[3];
        g.advance = out[4];
        g.coverage.assign(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows), 0);
        if (!g.coverage.empty())
            js_glyph_copy(g.coverage.data());
        f.rendered[byte] = true;
    }
    return g;
}

// The page keeps the CSS fonts it opened; they are few and small.
void reset_font_cache() {
    cache().fonts.clear();
    cache().loads = 0;
}

int font_face_loads() {
    return cache().loads;
}

} // namespace win32::gdi
