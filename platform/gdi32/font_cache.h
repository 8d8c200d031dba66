// Fonts for GDI32: each distinct logical font is opened once through the host's font system
// (host_fonts.h) and kept, with every glyph it has rendered, until reset_font_cache().
// Glyphs are kept apart for one-bit and colour surfaces; nothing is rendered twice.
#pragma once

#include "host_fonts.h"

namespace win32::gdi {

struct LoadedFont;

// A request the host's font system cannot serve gets the built-in font (builtin_font.h);
// null only while a test withholds every font (win32_audit.h).
const LoadedFont *load_font(const FontRequest &request);
const FontMetrics &font_metrics(const LoadedFont &font);
// The glyph of a Windows-1252 byte (unmapped bytes give the face's missing-glyph box), in
// its one-bit form (coverage 0 or 255 only) or its anti-aliased one.
const Glyph &font_glyph(const LoadedFont &font, unsigned char byte, bool monochrome);

void reset_font_cache();
// Faces opened through the host's font system since the last reset (a cache that works
// keeps this low).
int font_face_loads();

} // namespace win32::gdi
