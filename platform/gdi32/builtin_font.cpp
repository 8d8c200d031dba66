// The built-in font's glyphs are data here because nothing else on the host can draw text
// once its font system has failed: FreeType and fontconfig carry no glyphs of their own.
// ASCII only, and small, since it is there to keep messages readable, not to look good.
#include "builtin_font.h"

#include <algorithm>
#include <cstdlib>

namespace win32::gdi::builtin_font {

namespace {

constexpr int glyph_width = 5, glyph_rows = 9, above_baseline = 7; // rows 7 and 8 descend
constexpr int base_advance = glyph_width + 1, base_cell = 10;

// One string per character from ' ' to '~', one base-32 digit per row from the top (0-9 then
// A-V), the row's leftmost pixel in the digit's highest bit: "EHHVHHH00" is 'A', rows
// .###. #...# #...# ##### #...# #...# #...#.
constexpr const char *rows_of[95] = {
    "000000000", "444440400", "AAA000000", "AAVAVAA00", "4FKE5U400", "OP248J300", "CIK8LID00", "444000000",
    "248884200", "842224800", "04LEL4000", "044V44000", "000004480", "000V00000", "00000CC00", "01248G000",
    "EHJLPHE00", "4C4444E00", "EH1248V00", "V2421HE00", "26AIV2200", "VGU11HE00", "68GUHHE00", "V12488800",
    "EHHEHHE00", "EHHF12C00", "0CC0CC000", "0CC0CC800", "248G84200", "00V0V0000", "842124800", "EH1240400",
    "EH1DLLE00", "EHHVHHH00", "UHHUHHU00", "EHGGGHE00", "SIHHHIS00", "VGGUGGV00", "VGGUGGG00", "EHGNHHF00",
    "HHHVHHH00", "E44444E00", "72222IC00", "HIKOKIH00", "GGGGGGV00", "HRLLHHH00", "HHPLJHH00", "EHHHHHE00",
    "UHHUGGG00", "EHHHLID00", "UHHUKIH00", "FGGE11U00", "V44444400", "HHHHHHE00", "HHHHHA400", "HHHLLLA00",
    "HHA4AHH00", "HHA444400", "V1248GV00", "E88888E00", "0G8421000", "E22222E00", "4AH000000", "0000000V0",
    "842000000", "00E1FHF00", "GGMPHHU00", "00EGGHE00", "11DJHHF00", "00EHVGE00", "698S88800", "00FHHF1HE",
    "GGMPHHH00", "40C444E00", "2062222IC", "GGIKOKI00", "C44444E00", "00QLLLL00", "00MPHHH00", "00EHHHE00",
    "00UHHUGGG", "00FHHF111", "00MPGGG00", "00FGE1U00", "88S889600", "00HHHJD00", "00HHHA400", "00HHLLA00",
    "00HA4AH00", "00HHHF1HE", "00V248V00", "244844200", "444444400", "844244800", "008L20000"};
constexpr const char *missing_rows = "VHHHHHV00";

int digit_value(char d) {
    return d <= '9' ? d - '0' : d - 'A' + 10;
}

} // namespace

FontMetrics metrics(const FontRequest &request) {
    // A negative height is the em height, about four fifths of the cell.
    int cell = request.height > 0   ? request.height
               : request.height < 0 ? (std::abs(request.height) * 5 + 3) / 4
                                    : 16;
    const int scale = std::max(1, cell / base_cell);
    cell = std::max(cell, base_cell * scale);
    FontMetrics m;
    m.descent = (glyph_rows - above_baseline) * scale;
    m.ascent = cell - m.descent;
    m.ave_char_width = m.max_char_width = base_advance * scale;
    m.weight = request.weight;
    m.italic = false;
    m.fixed_pitch = true;
    return m;
}

Glyph glyph(const FontMetrics &metrics, uint32_t code_point) {
    const int scale = metrics.ave_char_width / base_advance;
    Glyph g;
    g.advance = metrics.ave_char_width;
    if (code_point == ' ')
        return g;
    const char *rows = code_point > ' ' && code_point < 0x7F ? rows_of[code_point - ' '] : missing_rows;
    g.width = glyph_width * scale;
    g.rows = glyph_rows * scale;
    g.top = above_baseline * scale;
    g.coverage.assign(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows), 0);
    for (int y = 0; y < g.rows; ++y) {
        const int bits = digit_value(rows[y / scale]);
        for (int x = 0; x < g.width; ++x)
            if (bits & (1 << (glyph_width - 1 - x / scale)))
                g.coverage[static_cast<size_t>(y) * static_cast<size_t>(g.width) + static_cast<size_t>(x)] =
                    255;
    }
    return g;
}

} // namespace win32::gdi::builtin_font
