// The host's font system, as GDI32's font cache uses it: it maps a logical font to one of the
// host's faces, sizes it, and rasterises single glyphs. Exactly one implementation is linked
// into the subset (FreeType with fontconfig in host/fonts/freetype/); a host without them
// links its own file defining these functions instead. Nothing here caches: font_cache does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace win32::gdi {

// A logical font as CreateFontA and the stock objects describe it.
struct FontRequest {
    int height = 0; // < 0: character (em) height; > 0: cell height; 0: the default size
    int weight = 400;
    bool italic = false;
    bool fixed_pitch = false; // the stock fixed font's face whatever the name
    std::string face;
};

struct FontMetrics {
    int ascent = 0, descent = 0; // height = ascent + descent
    int ave_char_width = 0, max_char_width = 0;
    int weight = 400;
    bool italic = false;
    bool fixed_pitch = false;
};

// 8-bit coverage, rows top to bottom; (left, top) is the bitmap's corner relative to the
// pen position on the baseline (top > 0 above it).
struct Glyph {
    int width = 0, rows = 0, left = 0, top = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

namespace host_fonts {

struct Face; // the implementation's own

// The face the host maps the request to, sized as the request asks, and its metrics. Any
// request gets a face while the host has a font at all (an unknown name is substituted);
// null when it has none or cannot open it, with *why saying what could not be loaded.
Face *open_face(const FontRequest &request, FontMetrics *metrics, std::string *why);

// One glyph of a Unicode code point. Monochrome glyphs are rasterised and hinted for a
// one-bit target (coverage only 0 or 255); the others are anti-aliased. The advance is the
// same in both forms, so a run is as wide on every surface. False when nothing was drawn.
bool render_glyph(Face *face, uint32_t code_point, bool monochrome, Glyph *glyph);

void close_face(Face *face);

// Lets go of everything the font system holds; open_face starts it again.
void shut_down();

} // namespace host_fonts

} // namespace win32::gdi
