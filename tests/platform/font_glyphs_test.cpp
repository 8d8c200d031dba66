// The glyphs the host's font system gives GDI32: one-bit glyphs hold no grey level at all,
// colour glyphs keep theirs, and both forms of a glyph advance the pen alike.
#include "win32_headless.h"

#include "font_cache.h"

#include <gtest/gtest.h>

namespace {

using win32::gdi::FontRequest;

TEST(FontGlyphs, OneBitGlyphsAreBlackOrWhiteAndAdvanceAsColourOnes) {
    headless::reset();
    FontRequest fixed;
    fixed.height = 13;
    fixed.fixed_pitch = true;
    for (const FontRequest &request : {FontRequest{-8, 400, false, false, "KELPA-font"},
                                       FontRequest{-12, 700, true, false, "KELPA-font"}, fixed}) {
        const win32::gdi::LoadedFont *font = win32::gdi::load_font(request);
        ASSERT_NE(font, nullptr);
        int greys = 0;
        for (int byte = 0x21; byte < 0x100; ++byte) {
            const auto &one_bit = win32::gdi::font_glyph(*font, static_cast<unsigned char>(byte), true);
            const auto &colour = win32::gdi::font_glyph(*font, static_cast<unsigned char>(byte), false);
            EXPECT_EQ(one_bit.advance, colour.advance) << byte;
            for (uint8_t v : one_bit.coverage)
                ASSERT_TRUE(v == 0 || v == 255) << "byte " << byte << " has grey " << int(v);
            for (uint8_t v : colour.coverage)
                greys += v != 0 && v != 255;
        }
        // Scalable faces are smoothed on colour surfaces; the fixed face is a bitmap face.
        if (!request.fixed_pitch) {
            EXPECT_GT(greys, 1000) << request.height;
        }
    }
    headless::reset();
}

} // namespace
