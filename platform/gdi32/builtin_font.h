// A font that needs no file, for text when the host's font system gives none (no font
// installed, no file descriptor left to open one): printable ASCII as 5 x 7 pixel glyphs,
// enlarged by whole pixels for bigger sizes; every other character is a hollow box.
#pragma once

#include "host_fonts.h"

namespace win32::gdi::builtin_font {

// The cell the request asks for (at least 6 x 10 pixels, one scale step per 10 of height).
FontMetrics metrics(const FontRequest &request);
// The glyph of a code point at the size of metrics(); coverage is 0 or 255 only.
Glyph glyph(const FontMetrics &metrics, uint32_t code_point);

} // namespace win32::gdi::builtin_font
