// Runs of text as one-bit masks, for TextOutA on 1-bit surfaces: a run is turned into its
// mask once and kept, keyed by the logical font and the bytes, so a window that repaints the
// same lines (the message log) lays down a few words a row instead of every glyph again.
// A mask sets exactly the pixels the glyphs would, each at half coverage or more.
#pragma once

#include "font_cache.h"
#include "gdi32_primitives.h"

namespace win32::gdi {

// Paints the run's one-bit glyphs with the cell's top-left corner at (left, top), surface
// coordinates: first, when `background` is given (opaque text), the cells in it (as wide as
// the run measures), then the ink. False, having painted nothing, when the run reaches the
// clip's right edge: the caller then draws glyph by glyph.
bool paint_text_mask(Canvas &c, const FontRequest &request, const LoadedFont &font, int64_t left, int64_t top,
                     const char *text, int count, uint32_t ink, const uint32_t *background);
void reset_text_masks();

} // namespace win32::gdi
