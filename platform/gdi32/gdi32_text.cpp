// GDI32 text: logical fonts (CreateFontA), their metrics and extents, and TextOutA with the
// cell's top-left corner at the given point. Bytes are Windows-1252; glyphs come from the
// font cache, so a drawing call renders nothing twice.
#include "gdi32_state.h"
#include "gdi32_text_masks.h"
#include "win32_internal.h"

#include <cstring>

using namespace win32;
using namespace win32::gdi;

namespace {

const LoadedFont *dc_loaded_font(HDC hdc) {
    Dc *dc = find_dc(hdc);
    return dc ? load_font(dc_font(*dc).font) : nullptr;
}

// Advances are the same in both glyph forms; the colour form is the one every font has
// rendered first.
int64_t run_width(const LoadedFont &f, const char *text, int count) {
    int64_t w = 0;
    for (int i = 0; i < count; ++i)
        w += font_glyph(f, static_cast<unsigned char>(text[i]), false).advance;
    return w;
}

} // namespace

// ---- GDI32 CreateFontA: a logical font. A negative height asks for that character (em)
// height in pixels, a positive one for that cell height, 0 for the default size. A face name
// the host does not have (any name, even "KELPA-font") gets a face with the widths of Arial,
// which the real font mapper substitutes for it. Weight and italic pick the face's style when the
// host has it; width, angles, underline, strike-out and the precisions are not honoured.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strike_out, DWORD char_set, DWORD out_precision,
                         DWORD clip_precision, DWORD quality, DWORD pitch_and_family, LPCSTR face) {
    (void)width, (void)escapement, (void)orientation, (void)underline, (void)strike_out, (void)char_set;
    (void)out_precision, (void)clip_precision, (void)quality;
    Object o;
    o.kind = Kind::font;
    o.font.height = height;
    o.font.weight = weight == FW_DONTCARE ? FW_NORMAL : weight;
    o.font.italic = italic != 0;
    o.font.fixed_pitch = (pitch_and_family & 3) == FIXED_PITCH && (!face || !*face);
    o.font.face = face ? std::string(face, strnlen(face, 31)) : std::string();
    return static_cast<HFONT>(add_object(std::move(o)));
}

// ---- GDI32 GetTextMetricsA: metrics of the DC's font; tmHeight = tmAscent + tmDescent, no
// leading.
BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics) {
    const LoadedFont *f = dc_loaded_font(hdc);
    if (!f || !metrics)
        return FALSE;
    const FontMetrics &m = font_metrics(*f);
    TEXTMETRICA tm{};
    tm.tmHeight = m.ascent + m.descent;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmAveCharWidth = m.ave_char_width;
    tm.tmMaxCharWidth = m.max_char_width;
    tm.tmWeight = m.weight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = m.italic ? 1 : 0;
    // As in the real header, this bit set means variable pitch.
    tm.tmPitchAndFamily = m.fixed_pitch ? 0 : 1;
    tm.tmCharSet = ANSI_CHARSET;
    *metrics = tm;
    return TRUE;
}

// ---- GDI32 GetTextExtentPoint32A: the run's width (the sum of its advances, no kerning)
// and the font's line height (tmHeight); 0 x 0 for an empty run.
BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
    const LoadedFont *f = dc_loaded_font(hdc);
    if (!f || !size || count < 0 || (!text && count > 0))
        return FALSE;
    const FontMetrics &m = font_metrics(*f);
    int64_t w = run_width(*f, text, count);
    size->cx = static_cast<LONG>(w > INT32_MAX ? INT32_MAX : w);
    // An empty run measures 0 x 0, as Wine reports it.
    size->cy = count > 0 ? m.ascent + m.descent : 0;
    return TRUE;
}

// ---- GDI32 GetTextExtentPointA: the older name of GetTextExtentPoint32A; same result here.
BOOL WINAPI GetTextExtentPointA(HDC hdc, LPCSTR text, int count, LPSIZE size) {
    return GetTextExtentPoint32A(hdc, text, count, size);
}

// ---- GDI32 TextOutA: count bytes with the first cell's top-left corner at (x, y) (the
// default TA_TOP | TA_LEFT alignment), glyphs in the text colour. OPAQUE mode first fills
// the run's cells with the background colour; TRANSPARENT leaves them as they were.
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    Dc *dc = find_dc(hdc);
    if (!dc || count < 0 || (!text && count > 0))
        return FALSE;
    const LoadedFont *f = load_font(dc_font(*dc).font);
    if (!f)
        return FALSE;
    Target t;
    if (!resolve_target(hdc, &t))
        return TRUE;
    Canvas &c = t.canvas;
    const FontMetrics &m = font_metrics(*f);
    int64_t left = x + t.ox, top = y + t.oy, baseline = top + m.ascent;
    const uint32_t ink = pixel_from_colorref(dc->text_color), back = pixel_from_colorref(dc->bk_color);
    if (c.surface->bits_per_pixel == 1 && paint_text_mask(c, dc_font(*dc).font, *f, left, top, text, count,
                                                          ink, dc->bk_mode == OPAQUE ? &back : nullptr)) {
        finish_target(t);
        return TRUE;
    }
    if (dc->bk_mode == OPAQUE)
        fill_box(c, left, top, left + run_width(*f, text, count), top + m.ascent + m.descent, back);
    // On a one-bit surface the real platform draws bi-level glyphs, hinted for it, never
    // grey levels cut at some threshold.
    bool monochrome = c.surface && c.surface->bits_per_pixel == 1;
    int64_t pen_x = left;
    for (int i = 0; i < count && pen_x < c.right; ++i) {
        const Glyph &g = font_glyph(*f, static_cast<unsigned char>(text[i]), monochrome);
        if (!g.coverage.empty())
            blend_coverage(c, pen_x + g.left, baseline - g.top, g.coverage.data(), g.width, g.rows, ink);
        pen_x += g.advance;
    }
    finish_target(t);
    return TRUE;
}
