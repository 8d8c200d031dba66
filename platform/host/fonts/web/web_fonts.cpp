// The host's font system in a browser: the page's canvas text (web_fonts.js) maps a logical
// font to one of the browser's faces, measures it and draws single glyphs, whose alpha becomes
// their coverage. The browser's fonts are the host's: fontconfig and FreeType are not there.
#include "host_fonts.h"

#include <emscripten.h>

namespace win32::gdi::host_fonts {

struct Face {
    int id = 0; // the page's index of the CSS font
};

namespace {

// clang-format off
// out: ascent, descent, average and widest advance, fixed pitch, the font's id.
EM_JS(void, js_font_open, (const char *face, int fixed_pitch, int height, int bold, int italic, int32_t *out), {
    HEAP32.set(kelpaFonts.open(UTF8ToString(face), fixed_pitch, height, bold, italic), out >> 2);
});
// Draws one character and keeps its coverage for js_glyph_copy. out: width, rows, left, top,
// advance.
EM_JS(void, js_glyph_draw, (int id, int code, int monochrome, int32_t *out), {
    HEAP32.set(kelpaFonts.draw(id, code, monochrome), out >> 2);
});
EM_JS(void, js_glyph_copy, (uint8_t *to), { HEAPU8.set(kelpaFonts.last, to); });
// clang-format on

// What a face shows for a code point with no character (C0 and C1 controls, the code page's
// holes, which arrive as 0): its missing-glyph box.
constexpr uint32_t missing_glyph = 0x25A1;

} // namespace

// The browser always has a font for a CSS font string.
Face *open_face(const FontRequest &request, FontMetrics *metrics, std::string *) {
    int32_t out[6];
    bool bold = request.weight >= 600;
    js_font_open(request.face.c_str(), request.fixed_pitch, request.height, bold, request.italic, out);
    *metrics = FontMetrics{};
    metrics->ascent = out[0];
    metrics->descent = out[1];
    metrics->ave_char_width = out[2];
    metrics->max_char_width = out[3];
    metrics->fixed_pitch = out[4] != 0;
    metrics->weight = bold ? 700 : 400;
    metrics->italic = request.italic;
    return new Face{out[5]};
}

bool render_glyph(Face *face, uint32_t code_point, bool monochrome, Glyph *glyph) {
    if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0))
        code_point = missing_glyph;
    int32_t out[5];
    js_glyph_draw(face->id, static_cast<int>(code_point), monochrome, out);
    glyph->width = out[0];
    glyph->rows = out[1];
    glyph->left = out[2];
    glyph->top = out[3];
    glyph->advance = out[4];
    glyph->coverage.assign(static_cast<size_t>(glyph->width) * static_cast<size_t>(glyph->rows), 0);
    if (!glyph->coverage.empty())
        js_glyph_copy(glyph->coverage.data());
    return true;
}

void close_face(Face *face) {
    delete face;
}

// The page keeps the CSS fonts it has measured: a handful of short strings.
void shut_down() {}

} // namespace win32::gdi::host_fonts
