// The host's font system on desktop hosts: fontconfig chooses the face file for a logical
// font and FreeType sizes it and renders its glyphs, hinted for the target (bi-level glyphs
// for one-bit surfaces, anti-aliased ones otherwise). Which Debian faces stand for the
// Windows names is decided here and nowhere else.
#include "host_fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace win32::gdi::host_fonts {

struct Face {
    FT_Face ft = nullptr;
};

namespace {

// The size the stock default (height 0) stands for: a 16-pixel cell.
constexpr int default_cell_height = 16;

// The stock fixed font's face: X11's "fixed" (xfonts-base), drawn pixel by pixel for 13-pixel
// lines in black and white. Debian's fontconfig rejects bitmap faces; this family is let in
// again, for our own configuration only.
constexpr const char *fixed_family = "Fixed";
constexpr const char *accept_fixed = "<fontconfig><selectfont><acceptfont><pattern>"
                                     "<patelt name=\"family\"><string>Fixed</string></patelt>"
                                     "</pattern></acceptfont></selectfont></fontconfig>";

// Trivially destructible, so it is still there when the font cache lets go of its faces at
// the end of the process.
struct System {
    FT_Library library = nullptr;
    FcConfig *config = nullptr;
    bool fc_tried = false;
    int open_faces = 0;
};

System the_system;

// Without this every process that drew text would end with fontconfig's blocks unreleased
// (and reported by leak checkers).
void release_fontconfig() {
    FcConfigDestroy(the_system.config);
    the_system.config = nullptr;
    FcFini();
}

// The desktop's own configuration (its aliases, the metric-compatible faces among them) plus
// the rule above, read once per process; a reset of the subset keeps it.
FcConfig *fontconfig() {
    System &s = the_system;
    if (s.fc_tried)
        return s.config;
    s.fc_tried = true;
    FcConfig *config = FcInitLoadConfig();
    if (!config)
        return nullptr;
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(accept_fixed), FcFalse);
    if (!FcConfigBuildFonts(config)) {
        FcConfigDestroy(config);
        return nullptr;
    }
    s.config = config;
    std::atexit(release_fontconfig);
    return config;
}

void add_family(FcPattern *pat, const char *family) {
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
}

// Windows' own user-interface faces (the stock GUI fonts), which no Debian face imitates
// metrically: they get the desktop's own sans face, made to be read in menus.
bool is_ui_face(const std::string &face) {
    for (const char *ui : {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "System"})
        if (strcasecmp(face.c_str(), ui) == 0)
            return true;
    return false;
}

// What to ask fontconfig for, best first. Any name is looked up as it stands; the real font
// mapper puts Arial in the place of a name it does not have, and fontconfig's metric aliases
// turn that into a face of the same widths (Liberation Sans).
void describe(FcPattern *pat, const FontRequest &r) {
    if (r.fixed_pitch) {
        add_family(pat, fixed_family);
        add_family(pat, "monospace");
        FcPatternAddDouble(pat, FC_PIXEL_SIZE, r.height != 0 ? std::abs(r.height) : 13);
        // 6x13, not 7x13 or 8x13: the style names the width, and fontconfig weighs the
        // style before the width.
        const char *style = r.weight >= 600 ? "Bold SemiCondensed"
                            : r.italic      ? "Oblique SemiCondensed"
                                            : "SemiCondensed";
        FcPatternAddString(pat, FC_STYLE, reinterpret_cast<const FcChar8 *>(style));
        FcPatternAddInteger(pat, FC_WIDTH, FC_WIDTH_SEMICONDENSED);
        // The Unicode file of the face, not one of its 8-bit encodings: it has the
        // Windows-1252 punctuation (euro, quotes, dashes) as well.
        FcCharSet *chars = FcCharSetCreate();
        for (FcChar32 c : {0x20ACu, 0x201Cu, 0x2014u})
            FcCharSetAddChar(chars, c);
        FcPatternAddCharSet(pat, FC_CHARSET, chars);
        FcCharSetDestroy(chars);
    } else if (is_ui_face(r.face)) {
        add_family(pat, "sans-serif");
    } else {
        if (!r.face.empty())
            add_family(pat, r.face.c_str());
        add_family(pat, "Arial");
        add_family(pat, "sans-serif");
    }
    FcPatternAddInteger(pat, FC_WEIGHT, r.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
}

// The font file fontconfig matches for the request.
bool match_file(const FontRequest &r, std::string *file, int *index, std::string *why) {
    FcConfig *config = fontconfig();
    if (!config) {
        *why = "fontconfig could not be set up";
        return false;
    }
    FcPattern *pat = FcPatternCreate();
    describe(pat, r);
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(config, pat, &result);
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
    if (!ok)
        *why = "fontconfig knows no font file";
    return ok;
}

int round26(FT_Pos v) {
    return static_cast<int>((v + 32) >> 6);
}

void style_metrics(FT_Face face, FontMetrics &m) {
    m.fixed_pitch = FT_IS_FIXED_WIDTH(face);
    m.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    m.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
}

// A face of bitmaps only comes in the sizes it was drawn in: the one nearest the cell height.
void size_bitmap_face(FT_Face face, int height, FontMetrics &m) {
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
        if (std::abs(face->available_sizes[i].height - height) <
            std::abs(face->available_sizes[best].height - height))
            best = i;
    FT_Select_Size(face, best);
    m.ascent = round26(face->size->metrics.ascender);
    m.descent = -round26(face->size->metrics.descender);
    m.max_char_width = round26(face->size->metrics.max_advance);
    m.ave_char_width = m.max_char_width;
    if (FT_Load_Char(face, 'x', FT_LOAD_DEFAULT) == 0)
        m.ave_char_width = round26(face->glyph->advance.x);
}

// Sizes the face the way the Windows font mapper reads a height: negative is the em height,
// positive the cell height (the face's Windows ascent plus descent).
void size_face(FT_Face face, int height, FontMetrics &m) {
    style_metrics(face, m);
    if (height == 0)
        height = default_cell_height;
    if (!FT_IS_SCALABLE(face) && face->num_fixed_sizes > 0)
        return size_bitmap_face(face, std::abs(height), m);
    const TT_OS2 *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double up = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double asc = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
    double desc = os2 && os2->usWinAscent ? os2->usWinDescent : -face->descender;
    if (asc + desc <= 0)
        asc = up * 0.8, desc = up * 0.2;
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
}

void copy_bitmap(const FT_Bitmap &bm, bool monochrome, Glyph *g) {
    g->width = static_cast<int>(bm.width);
    g->rows = static_cast<int>(bm.rows);
    g->coverage.assign(static_cast<size_t>(g->width) * static_cast<size_t>(g->rows), 0);
    for (int y = 0; y < g->rows; ++y) {
        const unsigned char *row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        uint8_t *out = g->coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(g->width);
        for (int x = 0; x < g->width; ++x) {
            unsigned v = bm.pixel_mode == FT_PIXEL_MODE_MONO   ? ((row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0)
                         : bm.pixel_mode == FT_PIXEL_MODE_GRAY ? row[x]
                                                               : 0;
            // A face's own grey bitmaps are the one case FreeType cannot make bi-level.
            out[x] = static_cast<uint8_t>(monochrome ? (v >= 128 ? 255 : 0) : v);
        }
    }
}

} // namespace

Face *open_face(const FontRequest &request, FontMetrics *metrics, std::string *why) {
    std::string file;
    int index = 0;
    if (!match_file(request, &file, &index, why))
        return nullptr;
    System &s = the_system;
    if (!s.library && FT_Init_FreeType(&s.library) != 0) {
        *why = "FreeType could not start";
        return nullptr;
    }
    FT_Face ft = nullptr;
    errno = 0;
    if (FT_New_Face(s.library, file.c_str(), index, &ft) != 0) {
        // Out of file descriptors is the usual cause, and errno still says so.
        *why = "FreeType cannot open " + file + (errno ? std::string(": ") + std::strerror(errno) : "");
        return nullptr;
    }
    ++s.open_faces;
    *metrics = FontMetrics{};
    size_face(ft, request.height, *metrics);
    return new Face{ft};
}

bool render_glyph(Face *face, uint32_t code_point, bool monochrome, Glyph *g) {
    FT_Face ft = face->ft;
    FT_UInt index = FT_Get_Char_Index(ft, code_point);
    // The advance always comes from the grey-level hinting, which keeps the widths the face
    // was designed with (the real platform's widths, for the metric-compatible faces); the
    // bi-level hinting may move a stem by a pixel but never where the next glyph starts.
    if (FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT) != 0)
        return false;
    int advance = round26(ft->glyph->advance.x);
    FT_Int32 flags = FT_LOAD_RENDER | (monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(ft, index, flags) != 0)
        return false;
    FT_GlyphSlot slot = ft->glyph;
    g->advance = advance;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    copy_bitmap(slot->bitmap, monochrome, g);
    return true;
}

void close_face(Face *face) {
    if (!face)
        return;
    FT_Done_Face(face->ft);
    --the_system.open_faces;
    delete face;
}

void shut_down() {
    System &s = the_system;
    if (s.library && s.open_faces == 0) {
        FT_Done_FreeType(s.library);
        s.library = nullptr;
    }
}

} // namespace win32::gdi::host_fonts
