// Pixel transfers between DCs: GDI32's BitBlt (SRCCOPY) and USER32's ScrollDC, which is pure
// DC work. Source and destination may overlap (copies run against the move); only
// pixels whose source and destination both lie inside their DCs' clips are written.
#include "gdi32_state.h"
#include "win32_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace win32::gdi {

namespace {

struct Rect64 {
    int64_t left, top, right, bottom;
    bool empty() const { return right <= left || bottom <= top; }
};

Rect64 intersect(Rect64 a, Rect64 b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Rect64 canvas_rect(const Canvas &c) {
    return {c.left, c.top, c.right, c.bottom};
}

// Bits [x, x + n) of a 1-bit row of `words` words into out, pixel x in bit 0 of out[0].
void read_bits(const uint64_t *row, int words, int x, int n, uint64_t *out) {
    const int first = x >> 6, shift = x & 63;
    for (int i = 0; i * 64 < n; ++i) {
        uint64_t v = row[first + i] >> shift;
        if (shift && first + i + 1 < words)
            v |= row[first + i + 1] << (64 - shift);
        out[i] = v;
    }
}

// Writes bits [0, n) of in to pixels [x, x + n) of a 1-bit row.
void write_bits(uint64_t *row, int x, int n, const uint64_t *in) {
    for (int done = 0; done < n;) {
        const int px = x + done, lo = px & 63, from = done & 63;
        const int m = std::min(n - done, 64 - lo);
        uint64_t bits = in[done >> 6] >> from;
        if (from && from + m > 64)
            bits |= in[(done >> 6) + 1] << (64 - from);
        const uint64_t mask = (m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1) << lo;
        uint64_t &word = row[px >> 6];
        word = (word & ~mask) | ((bits << lo) & mask);
        done += m;
    }
}

// How pixels change depth on the way: a monochrome source's white bits become `white`, its
// black bits `black`; a colour source going to a monochrome destination gives white where it
// equals `key`.
struct Colors {
    uint32_t white = 0, black = 0, key = 0;
};

// The eight pixels of each byte of a monochrome row, pixel k from bit k; kept for the last
// colours asked, which a text window's repaints share.
const uint32_t *octet_table(const Colors &colors) {
    static std::vector<uint32_t> table;
    static uint32_t white = 0, black = 0;
    if (table.empty() || white != colors.white || black != colors.black) {
        table.resize(256 * 8);
        white = colors.white, black = colors.black;
        for (int v = 0; v < 256; ++v)
            for (int k = 0; k < 8; ++k)
                table[size_t(8 * v + k)] = (v >> k) & 1 ? white : black;
    }
    return table.data();
}

// Pixels [0, w) of a monochrome row (bit x of bits[x / 64]) as colours into `to`.
void expand_bits(const uint64_t *bits, int w, uint32_t *to, const Colors &colors) {
    // Whole words of one colour (most of a monochrome image) are spans; the others
    // go eight pixels at a time from a table of the 256 bytes.
    const uint32_t *octets = octet_table(colors);
    for (int x = 0; x < w; x += 64) {
        const int n = std::min(64, w - x);
        const uint64_t all = n == 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
        const uint64_t word = bits[x >> 6] & all;
        if (word == all || word == 0) {
            // Through the following words of the same colour, as one span.
            int end = x + n;
            while (end < w) {
                const int m = std::min(64, w - end);
                const uint64_t next_all = m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1;
                if ((bits[end >> 6] & next_all) != (word ? next_all : 0))
                    break;
                end += m;
            }
            fill_run(to + x, static_cast<size_t>(end - x), word ? colors.white : colors.black);
            x = end - 64; // the loop's step lands on `end`
            continue;
        }
        int k = 0;
        if (n == 64) {
            for (; k < 64; k += 8)
                std::memcpy(to + x + k, octets + 8 * ((word >> k) & 255), 8 * sizeof(uint32_t));
            continue;
        }
        for (; k + 8 <= n; k += 8)
            std::memcpy(to + x + k, octets + 8 * ((word >> k) & 255), 8 * sizeof(uint32_t));
        for (; k < n; ++k)
            to[x + k] = (word >> k) & 1 ? colors.white : colors.black;
    }
}

// Copies the source-surface block at (sx, sy) to dst's (dx, dy) area `area` (destination
// coordinates, already inside both clips). Within one surface the rows are walked against
// the move, so every row is read before it is written; a row's own overlap is memmove's or
// taken through a copy of the row. Rows that span both surfaces whole move in one memmove.
void copy_block(Canvas &dst, const Surface &src, Rect64 area, int64_t shift_x, int64_t shift_y,
                const Colors &colors) {
    const int w = static_cast<int>(area.right - area.left), h = static_cast<int>(area.bottom - area.top);
    Surface &d = *dst.surface;
    const bool same = &d == &src;
    const bool bottom_up = same && shift_y > 0;
    const int dbits = d.bits_per_pixel, sbits = src.bits_per_pixel;
    const int top = static_cast<int>(area.top), left = static_cast<int>(area.left);
    const int from_x = static_cast<int>(area.left - shift_x);
    const bool whole_rows = dbits == sbits && shift_x == 0 && left == 0 && w == d.width && w == src.width;
    const int64_t up = -shift_y, height = d.height;
    if (whole_rows && same && dbits == 1 && up != 0 && 2 * std::abs(up) <= height &&
        h == height - std::abs(up)) {
        // A 1-bit surface scrolled whole: turn its ring of rows, then give the rows the move
        // uncovers back what they held (the |up| rows next to them now hold it).
        const int n = static_cast<int>(std::abs(up));
        d.first_row = static_cast<int>((d.first_row + up + height) % height);
        for (int i = 0; i < n; ++i) {
            const int to = up > 0 ? d.height - n + i : i, from = up > 0 ? to - n : to + n;
            std::memcpy(d.bit_row(to), d.bit_row(from), sizeof(uint64_t) * size_t(d.words));
        }
    } else if (whole_rows && dbits == 1) {
        for (int i = 0; i < h; ++i) {
            const int y = top + (bottom_up ? h - 1 - i : i);
            std::memmove(d.bit_row(y), src.bit_row(static_cast<int>(y - shift_y)),
                         sizeof(uint64_t) * size_t(d.words));
        }
    } else if (whole_rows) {
        const int from_y = static_cast<int>(area.top - shift_y);
        std::memmove(d.row(top), src.row(from_y), sizeof(uint32_t) * size_t(w) * size_t(h));
    } else {
        std::vector<uint64_t> bits(static_cast<size_t>(w + 63) / 64 + 1);
        for (int i = 0; i < h; ++i) {
            const int y = top + (bottom_up ? h - 1 - i : i);
            const int from_y = static_cast<int>(y - shift_y);
            if (dbits == 32 && sbits == 32) {
                std::memmove(d.row(y) + left, src.row(from_y) + from_x, sizeof(uint32_t) * size_t(w));
                continue;
            }
            if (sbits == 1) {
                read_bits(src.bit_row(from_y), src.words, from_x, w, bits.data());
            } else {
                std::fill(bits.begin(), bits.end(), 0);
                const uint32_t *from = src.row(from_y) + from_x;
                for (int x = 0; x < w; ++x)
                    bits[x >> 6] |= uint64_t{from[x] == colors.key} << (x & 63);
            }
            if (dbits == 1) {
                write_bits(d.bit_row(y), left, w, bits.data());
                continue;
            }
            expand_bits(bits.data(), w, d.row(y) + left, colors);
        }
    }
    mark_dirty(dst, left, top, static_cast<int>(area.right), static_cast<int>(area.bottom));
}

// A colour copy onto a window's screen from another surface: rows that already hold what
// they would receive are left alone, and each band of changed rows is told to the window as
// the box of what changed in it, so the host is sent only what differs from what it shows.
// A game redraws its whole frame every tick while a few shapes move, so most rows match.
void copy_changes(const Target &dt, const Surface &src, Rect64 area, int64_t shift_x, int64_t shift_y) {
    Surface &d = *dt.canvas.surface;
    const int w = static_cast<int>(area.right - area.left), left = static_cast<int>(area.left);
    const int from_x = static_cast<int>(area.left - shift_x);
    RECT band{0, 0, 0, 0};
    auto report = [&] {
        if (band.bottom > band.top)
            window_screen_changed(dt.hwnd, band);
        band = RECT{0, 0, 0, 0};
    };
    for (int y = static_cast<int>(area.top); y < area.bottom; ++y) {
        uint32_t *to = d.row(y) + left;
        const uint32_t *from = src.row(static_cast<int>(y - shift_y)) + from_x;
        if (std::memcmp(to, from, sizeof(uint32_t) * size_t(w)) == 0) {
            report();
            continue;
        }
        int first = 0, last = w - 1;
        while (to[first] == from[first])
            ++first;
        while (to[last] == from[last])
            --last;
        std::memcpy(to + first, from + first, sizeof(uint32_t) * size_t(last + 1 - first));
        const LONG l = left + first, r = left + last + 1;
        if (band.bottom == band.top)
            band = RECT{l, y, r, y + 1};
        else
            band = RECT{std::min(band.left, l), band.top, std::max(band.right, r), y + 1};
    }
    report();
}

} // namespace

} // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

// ---- GDI32 BitBlt: SRCCOPY of a width x height block from src (sx, sy) to dst (x, y).
// Depth changes follow the real platform: a monochrome source's black bits become dst's text
// colour and its white bits dst's background colour; a colour source going to a monochrome
// destination gives white where it matches src's background colour, black elsewhere.
// Other raster operations are not supported (FALSE).
BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop) {
    Dc *ddc = find_dc(dst);
    Dc *sdc = find_dc(src);
    if (rop != SRCCOPY || !ddc || !sdc)
        return FALSE;
    Target dt, st;
    if (!resolve_target(dst, &dt, true) || !resolve_target(src, &st))
        return TRUE;
    if (width <= 0 || height <= 0)
        return TRUE;
    int64_t dx = x + dt.ox, dy = y + dt.oy, fx = sx + st.ox, fy = sy + st.oy;
    // Destination pixel (px, py) reads source pixel (px - shift_x, py - shift_y).
    int64_t shift_x = dx - fx, shift_y = dy - fy;
    Rect64 area = intersect({dx, dy, dx + width, dy + height}, canvas_rect(dt.canvas));
    Rect64 from = canvas_rect(st.canvas);
    area = intersect(area,
                     {from.left + shift_x, from.top + shift_y, from.right + shift_x, from.bottom + shift_y});
    const Surface &s = *st.canvas.surface;
    RECT dropped{0, 0, 0, 0};
    if (dt.hwnd)
        dropped = cover_window_fill(
            dt.hwnd, RECT{LONG(area.left), LONG(area.top), LONG(area.right), LONG(area.bottom)},
            &s != dt.canvas.surface);
    if (area.empty())
        return TRUE;
    int src_bpp = s.bits_per_pixel, dst_bpp = dt.canvas.surface->bits_per_pixel;
    if (dt.hwnd && src_bpp == 32 && dst_bpp == 32 && &s != dt.canvas.surface) {
        copy_changes(dt, s, area, shift_x, shift_y);
        // The host is sent the rows that match too: what the screen held there may never
        // have been shown (a window's first paint), and the erase would have sent them.
        if (dropped.right > dropped.left && dropped.bottom > dropped.top)
            window_screen_changed(dt.hwnd, dropped);
        return TRUE;
    }
    Colors colors;
    if (src_bpp == 1 && dst_bpp != 1) {
        colors.black = pixel_from_colorref(ddc->text_color);
        colors.white = pixel_from_colorref(ddc->bk_color);
    } else if (src_bpp != 1 && dst_bpp == 1) {
        colors.key = pixel_from_colorref(sdc->bk_color);
    }
    copy_block(dt.canvas, s, area, shift_x, shift_y, colors);
    finish_target(dt);
    return TRUE;
}

// ---- USER32 ScrollDC: moves the pixels of `scroll` (null: the whole DC) by (dx, dy), writing
// only inside `clip` (null: the whole DC). The area the move uncovers keeps its old pixels.
// *update, when given, receives the bounding box of that uncovered area; no update region
// is computed (update_rgn is ignored).
BOOL WINAPI ScrollDC(HDC hdc, int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update_rgn,
                     LPRECT update) {
    (void)update_rgn;
    Target t;
    if (!find_dc(hdc))
        return FALSE;
    if (update)
        *update = RECT{0, 0, 0, 0};
    if (!resolve_target(hdc, &t))
        return TRUE;
    Canvas &c = t.canvas;
    auto to_device = [&](const RECT *r) {
        return r ? intersect({r->left + t.ox, r->top + t.oy, r->right + t.ox, r->bottom + t.oy},
                             canvas_rect(c))
                 : canvas_rect(c);
    };
    Rect64 from = to_device(scroll), limit = to_device(clip);
    Rect64 moved{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
    Rect64 area = intersect(moved, limit);
    if (!area.empty())
        copy_block(c, *c.surface, area, dx, dy, Colors{});
    if (update) {
        // What of the scrolled area inside the clip did not receive moved pixels.
        Rect64 target = intersect(from, limit);
        if (!target.empty() && !(area.left <= target.left && area.top <= target.top &&
                                 area.right >= target.right && area.bottom >= target.bottom)) {
            Rect64 u = target;
            if (!area.empty()) {
                if (area.top <= target.top && area.bottom >= target.bottom) {
                    if (area.left <= target.left)
                        u.left = area.right;
                    else
                        u.right = area.left;
                } else if (area.left <= target.left && area.right >= target.right) {
                    if (area.top <= target.top)
                        u.top = area.bottom;
                    else
                        u.bottom = area.top;
                }
            }
            *update = RECT{static_cast<LONG>(u.left - t.ox), static_cast<LONG>(u.top - t.oy),
                           static_cast<LONG>(u.right - t.ox), static_cast<LONG>(u.bottom - t.oy)};
        }
    }
    finish_target(t);
    return TRUE;
}
