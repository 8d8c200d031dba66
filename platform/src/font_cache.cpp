// Host fonts for GDI32: fontconfig picks the file for a request (unknown names fall back to
// its default face), FreeType opens it once per size and renders glyphs on first use.
// Every loaded font and glyph stays cached until reset_font_cache(); nothing is opened per
// drawing call.
#include "font_cache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace win32::gdi {

struct LoadedFont {
    FT_Face face = nullptr;
    FontMetrics metrics;
    Glyph glyphs[256];
    bool rendered[256] = {};
};

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. 0 marks a hole.
constexpr uint16_t cp1252_high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The size the stock default (height 0) stands for: a 16-pixel cell.
constexpr int default_cell_height = 16;

using Key = std::tuple<std::string, int, int, int, bool>; // file, index, height, weight, italic

struct Cache {
    FT_Library library = nullptr;
    bool fc_ready = false;
    std::map<Key, std::unique_ptr<LoadedFont>> fonts;
    // Requests already matched, so fontconfig is asked once per distinct request.
    std::map<std::tuple<std::string, bool, int, int, bool>, LoadedFont *> requests;
    int loads = 0;

    // fontconfig's configuration lives until FcFini; without it every process that drew
    // text would end with fontconfig's blocks unreleased (and reported by leak checkers).
    ~Cache() {
        clear();
        if (fc_ready)
            FcFini();
    }
    void clear() {
        for (auto &f : fonts)
            if (f.second->face)
                FT_Done_Face(f.second->face);
        fonts.clear();
        requests.clear();
        if (library)
            FT_Done_FreeType(library);
        library = nullptr;
        loads = 0;
    }
};

Cache &cache() {
    static Cache c;
    return c;
}

// The font file fontconfig matches for the request.
bool match_file(const FontRequest &r, std::string *file, int *index) {
    Cache &c = cache();
    if (!c.fc_ready)
        c.fc_ready = FcInit() == FcTrue;
    if (!c.fc_ready)
        return false;
    FcPattern *pat = FcPatternCreate();
    const char *family = r.monospace ? "monospace" : (r.face.empty() ? "sans-serif" : r.face.c_str());
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
    if (!r.monospace && !r.face.empty()) // an unknown name falls back to sans, not serif
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>("sans-serif"));
    FcPatternAddInteger(pat, FC_WEIGHT, r.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pat, &result);
    bool ok = false;
    if (match) {
        FcChar8 *path = nullptr;
        int idx = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &idx);
            *file = reinterpret_cast<const char *>(path);
            *index = idx;
            ok = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return ok;
}

int round26(FT_Pos v) {
    return static_cast<int>((v + 32) >> 6);
}

// Sizes the face the way the Windows font mapper reads a height: negative is the em height,
// positive the cell height (the face's Windows ascent plus descent).
void size_face(FT_Face face, int height, FontMetrics &m) {
    const TT_OS2 *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double up = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double asc = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
    double desc = os2 && os2->usWinAscent ? os2->usWinDescent : -face->descender;
    if (asc + desc <= 0)
        asc = up * 0.8, desc = up * 0.2;
    if (height == 0)
        height = default_cell_height;
    double em = height < 0 ? -static_cast<double>(height) : height * up / (asc + desc);
    em = std::clamp(em, 1.0, 2048.0);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
    double scale = em / up;
    m.ascent = static_cast<int>(std::lround(asc * scale));
    m.descent = static_cast<int>(std::lround(desc * scale));
    if (height > 0 && m.ascent + m.descent != height)
        m.descent = height - m.ascent; // a positive height is the cell height exactly
    m.max_char_width = round26(face->size->metrics.max_advance);
    m.ave_char_width = os2 && os2->xAvgCharWidth ? static_cast<int>(std::lround(os2->xAvgCharWidth * scale))
                                                 : m.max_char_width / 2;
    m.fixed_pitch = FT_IS_FIXED_WIDTH(face);
    m.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    m.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
}

void render(const LoadedFont &font, unsigned char byte, Glyph &g) {
    unsigned code = byte;
    if (byte >= 0x80 && byte < 0xA0)
        code = cp1252_high[byte - 0x80];
    FT_Face face = font.face;
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0)
        return;
    FT_GlyphSlot slot = face->glyph;
    g.advance = round26(slot->advance.x);
    const FT_Bitmap &bm = slot->bitmap;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.coverage.assign(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows), 0);
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char *row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < g.width; ++x) {
            uint8_t v =
                bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0) : row[x];
            g.coverage[static_cast<size_t>(y) * static_cast<size_t>(g.width) + static_cast<size_t>(x)] = v;
        }
    }
}

} // namespace

const LoadedFont *load_font(const FontRequest &request) {
    Cache &c = cache();
    int weight = request.weight >= 600 ? 700 : 400;
    auto asked = std::make_tuple(request.face, request.monospace, request.height, weight, request.italic);
    auto known = c.requests.find(asked);
    if (known != c.requests.end())
        return known->second;
    std::string file;
    int index = 0;
    if (!match_file(request, &file, &index))
        return nullptr;
    Key key{file, index, request.height, weight, request.italic};
    auto it = c.fonts.find(key);
    if (it != c.fonts.end())
        return c.requests[asked] = it->second.get();
    if (!c.library && FT_Init_FreeType(&c.library) != 0)
        return nullptr;
    auto font = std::make_unique<LoadedFont>();
    if (FT_New_Face(c.library, file.c_str(), index, &font->face) != 0)
        return nullptr;
    ++c.loads;
    size_face(font->face, request.height, font->metrics);
    return c.requests[asked] = c.fonts.emplace(key, std::move(font)).first->second.get();
}

const FontMetrics &font_metrics(const LoadedFont &font) {
    return font.metrics;
}

const Glyph &font_glyph(const LoadedFont &font, unsigned char byte) {
    // Glyphs are rendered on first use; the cache is logically const.
    LoadedFont &f = const_cast<LoadedFont &>(font);
    if (!f.rendered[byte]) {
        render(f, byte, f.glyphs[byte]);
        f.rendered[byte] = true;
    }
    return f.glyphs[byte];
}

void reset_font_cache() {
    cache().clear();
}

int font_face_loads() {
    return cache().loads;
}

} // namespace win32::gdi
