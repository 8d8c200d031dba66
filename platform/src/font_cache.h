// Fonts for GDI32: faces found through fontconfig, rendered by FreeType, loaded once per
// (face, size, style) and kept with their glyphs until reset_font_cache().
// A request never fails while the host has any font: unknown face names map to the host's
// default face, as the real font mapper substitutes one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace win32::gdi {

// A logical font as CreateFontA describes it.
struct FontRequest {
    int height = 0; // < 0: character (em) height; > 0: cell height; 0: the default size
    int weight = 400;
    bool italic = false;
    bool monospace = false; // ask for the host's monospace face whatever the name
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

struct LoadedFont;

// Null only when the host has no usable font file at all.
const LoadedFont *load_font(const FontRequest &request);
const FontMetrics &font_metrics(const LoadedFont &font);
// The glyph of a Windows-1252 byte (unmapped bytes give the face's missing-glyph box).
const Glyph &font_glyph(const LoadedFont &font, unsigned char byte);

void reset_font_cache();
// Faces opened through FreeType since the last reset (a cache that works keeps this low).
int font_face_loads();

} // namespace win32::gdi
