// The cache between GDI32 and the host's font system: logical fonts by request, glyphs by
// byte and target. Windows-1252 bytes are turned into Unicode here, so the host sees code
// points only. Every entry lives until reset_font_cache(); nothing is opened per call. A
// request the host cannot serve gets the built-in font, and standard error says so once.
#include "font_cache.h"

#include "builtin_font.h"
#include "win32_internal.h"

#include <cstdio>
#include <map>
#include <memory>
#include <tuple>

namespace win32::gdi {

struct LoadedFont {
    host_fonts::Face *face = nullptr; // null: the built-in font stands in
    FontMetrics metrics;
    Glyph glyphs[2][256]; // [monochrome][byte]
    bool rendered[2][256] = {};
};

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. 0 marks a hole.
constexpr uint16_t cp1252_high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

using Key = std::tuple<std::string, bool, int, int, bool>; // face, fixed pitch, height, weight, italic

struct Cache {
    std::map<Key, std::unique_ptr<LoadedFont>> fonts;
    int loads = 0;

    ~Cache() { clear(); }
    void clear() {
        for (auto &f : fonts)
            if (f.second->face)
                host_fonts::close_face(f.second->face);
        fonts.clear();
        host_fonts::shut_down();
        loads = 0;
    }
};

Cache &cache() {
    static Cache c;
    return c;
}

// Once a process: a reset of the subset does not bring the host's fonts back.
void say_no_font(const std::string &why) {
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fprintf(stderr, "KELPA: no font could be loaded (%s); text is drawn in the built-in 5x7 font\n",
                 why.c_str());
    std::fflush(stderr);
}

} // namespace

const LoadedFont *load_font(const FontRequest &request) {
    if (fonts_withheld())
        return nullptr;
    Cache &c = cache();
    // The mapper knows two weights only; asking for 500 or 900 gives what 400 or 700 give.
    FontRequest r = request;
    r.weight = request.weight >= 600 ? 700 : 400;
    Key key{r.face, r.fixed_pitch, r.height, r.weight, r.italic};
    auto it = c.fonts.find(key);
    if (it != c.fonts.end())
        return it->second.get();
    auto font = std::make_unique<LoadedFont>();
    std::string why;
    font->face = host_fonts::open_face(r, &font->metrics, &why);
    if (font->face) {
        ++c.loads;
    } else {
        font->metrics = builtin_font::metrics(r);
        say_no_font(why);
    }
    return c.fonts.emplace(key, std::move(font)).first->second.get();
}

const FontMetrics &font_metrics(const LoadedFont &font) {
    return font.metrics;
}

const Glyph &font_glyph(const LoadedFont &font, unsigned char byte, bool monochrome) {
    // Glyphs are rendered on first use; the cache is logically const.
    LoadedFont &f = const_cast<LoadedFont &>(font);
    Glyph &g = f.glyphs[monochrome][byte];
    if (!f.rendered[monochrome][byte]) {
        uint32_t code = byte >= 0x80 && byte < 0xA0 ? cp1252_high[byte - 0x80] : byte;
        if (!f.face)
            g = builtin_font::glyph(f.metrics, code);
        else if (!host_fonts::render_glyph(f.face, code, monochrome, &g))
            g = Glyph{};
        f.rendered[monochrome][byte] = true;
    }
    return g;
}

void reset_font_cache() {
    cache().clear();
}

int font_face_loads() {
    return cache().loads;
}

} // namespace win32::gdi
