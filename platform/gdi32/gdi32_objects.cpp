// GDI32 objects: pens, brushes, fonts and bitmaps, the stock set, and the tables that map
// handles to records. Stock handles are fixed values below the range new_handle() uses, so
// they survive reset_subset() and are never mistaken for a created object.
#include "gdi32_state.h"
#include "gdi32_text_masks.h"
#include "win32_handles.h"
#include "win32_internal.h"

#include <cstring>
#include <unordered_map>

namespace win32::gdi {

namespace {

constexpr int stock_count = 18; // GetStockObject indices 0..17
constexpr int stock_bitmap_index = stock_count;

struct Tables {
    std::unordered_map<uintptr_t, Object> objects;
    std::unordered_map<uintptr_t, Object> stock;
    std::unordered_map<uintptr_t, Dc> dcs;
};

Tables &tables() {
    static Tables t;
    return t;
}

HGDIOBJ stock_handle(int index) {
    return reinterpret_cast<HGDIOBJ>(uintptr_t{0x1000} + 4u * unsigned(index));
}

Object make_pen(int style, int width, uint32_t rgb) {
    Object o;
    o.kind = Kind::pen;
    o.pen_style = style;
    o.pen_width = width;
    o.color = rgb;
    return o;
}

Object make_brush(uint32_t rgb, bool is_null) {
    Object o;
    o.kind = Kind::brush;
    o.color = rgb;
    o.is_null = is_null;
    return o;
}

Object make_font(int height, bool fixed_pitch, const char *face) {
    Object o;
    o.kind = Kind::font;
    o.font.height = height;
    o.font.fixed_pitch = fixed_pitch;
    o.font.face = face;
    return o;
}

void make_stock(Tables &t) {
    auto put = [&](int index, Object o) {
        o.stock = true;
        t.stock[handle_key(stock_handle(index))] = std::move(o);
    };
    put(WHITE_BRUSH, make_brush(0xFFFFFF, false));
    put(LTGRAY_BRUSH, make_brush(0xC0C0C0, false));
    put(GRAY_BRUSH, make_brush(0x808080, false));
    put(DKGRAY_BRUSH, make_brush(0x404040, false));
    put(BLACK_BRUSH, make_brush(0x000000, false));
    put(NULL_BRUSH, make_brush(0, true));
    put(WHITE_PEN, make_pen(PS_SOLID, 0, 0xFFFFFF));
    put(BLACK_PEN, make_pen(PS_SOLID, 0, 0x000000));
    put(NULL_PEN, make_pen(PS_NULL, 0, 0x000000));
    // The stock fonts' sizes are the cell heights of the Windows bitmap fonts they stand for
    // (ANSI_FIXED_FONT is Courier's 13-pixel size).
    put(OEM_FIXED_FONT, make_font(12, true, "Terminal"));
    put(ANSI_FIXED_FONT, make_font(13, true, "Courier"));
    put(ANSI_VAR_FONT, make_font(12, false, "MS Sans Serif"));
    put(SYSTEM_FONT, make_font(16, false, "System"));
    put(14, make_font(16, false, "System"));  // DEVICE_DEFAULT_FONT
    put(16, make_font(16, true, "Fixedsys")); // SYSTEM_FIXED_FONT
    put(DEFAULT_GUI_FONT, make_font(-11, false, "MS Shell Dlg"));
    Object bitmap;
    bitmap.kind = Kind::bitmap;
    bitmap.stock = true;
    bitmap.surface.bits_per_pixel = 1;
    bitmap.surface.resize(1, 1, 0);
    t.stock[handle_key(stock_handle(stock_bitmap_index))] = std::move(bitmap);
}

Tables &ready_tables() {
    Tables &t = tables();
    if (t.stock.empty())
        make_stock(t);
    return t;
}

// A bitmap of the given depth, black, or null when the size is unusable (negative, or past
// max_surface_pixels) or memory runs out.
HBITMAP new_bitmap(int width, int height, int bits_per_pixel) {
    if (width < 0 || height < 0)
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(stock_bitmap());
    Object o;
    o.kind = Kind::bitmap;
    o.surface.bits_per_pixel = bits_per_pixel == 1 ? 1 : 32;
    if (!o.surface.resize(width, height, 0))
        return nullptr;
    return static_cast<HBITMAP>(add_object(std::move(o)));
}

int width_bytes(const Surface &s) {
    return ((s.width * (s.bits_per_pixel == 1 ? 1 : 32) + 15) / 16) * 2;
}

} // namespace

Object *find_object(HGDIOBJ h) {
    Tables &t = ready_tables();
    auto it = t.objects.find(handle_key(h));
    if (it != t.objects.end())
        return &it->second;
    auto st = t.stock.find(handle_key(h));
    return st != t.stock.end() ? &st->second : nullptr;
}

Dc *find_dc(HDC h) {
    Tables &t = ready_tables();
    auto it = t.dcs.find(handle_key(h));
    return it != t.dcs.end() ? &it->second : nullptr;
}

HGDIOBJ stock_bitmap() {
    return stock_handle(stock_bitmap_index);
}

HGDIOBJ add_object(Object o) {
    if (take_injected_failure(Allocation::gdi_object))
        return nullptr;
    HGDIOBJ h = new_handle<HGDIOBJ>();
    ready_tables().objects[handle_key(h)] = std::move(o);
    return h;
}

void release_selection(HGDIOBJ h) {
    Tables &t = ready_tables();
    auto it = t.objects.find(handle_key(h));
    if (it == t.objects.end())
        return;
    Object &o = it->second;
    if (o.selected > 0)
        --o.selected;
    if (o.selected == 0)
        o.selected_in = nullptr;
    if (o.selected == 0 && o.delete_pending)
        t.objects.erase(it);
}

HDC add_dc(Dc dc) {
    if (take_injected_failure(Allocation::dc))
        return nullptr;
    HDC h = new_handle<HDC>();
    for (HGDIOBJ obj : {dc.pen, dc.brush, dc.font, dc.bitmap})
        if (Object *o = find_object(obj)) {
            ++o->selected;
            if (o->kind == Kind::bitmap && !o->stock)
                o->selected_in = h;
        }
    ready_tables().dcs[handle_key(h)] = dc;
    return h;
}

void remove_dc(HDC h) {
    Tables &t = ready_tables();
    auto it = t.dcs.find(handle_key(h));
    if (it == t.dcs.end())
        return;
    Dc dc = it->second;
    t.dcs.erase(it);
    for (HGDIOBJ obj : {dc.pen, dc.brush, dc.font, dc.bitmap})
        release_selection(obj);
}

int count_objects() {
    return static_cast<int>(ready_tables().objects.size());
}
int count_dcs() {
    return static_cast<int>(ready_tables().dcs.size());
}

void clear_tables() {
    Tables &t = tables();
    t.objects.clear();
    t.dcs.clear();
    t.stock.clear();
}

} // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

// ---- GDI32 GetStockObject: the shared predefined pens, brushes and fonts. Stock objects
// need no DeleteObject, and deleting one does nothing.
HGDIOBJ WINAPI GetStockObject(int index) {
    if (index < 0 || index >= stock_count)
        return nullptr;
    HGDIOBJ h = stock_handle(index);
    return find_object(h) ? h : nullptr;
}

// ---- GDI32 CreatePen: PS_SOLID or PS_NULL; width 0 (or 1) is the cosmetic one-pixel pen,
// wider solid pens are geometric with round caps and joins, as the real platform makes them.
HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL)
        style = PS_SOLID; // styles we do not draw come out solid rather than failing
    return static_cast<HPEN>(add_object(make_pen(style, width < 0 ? 0 : width, pixel_from_colorref(color))));
}

// ---- GDI32 CreateSolidBrush: a brush of one colour.
HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(add_object(make_brush(pixel_from_colorref(color), false)));
}

// ---- GDI32 CreateBitmap: planes x bits-per-pixel must be 1 (monochrome) or a colour depth,
// which we keep as 32-bit RGB. Width or height 0 gives the stock 1x1 monochrome bitmap.
// Initial bits, when given, are rows padded to 16 bits (1 bpp: set bit = white; 32 bpp: BGRX).
HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void *bits) {
    UINT depth = planes * bits_per_pixel;
    if (planes == 0 || depth == 0 || depth > 32)
        return nullptr;
    HBITMAP h = new_bitmap(width, height, depth == 1 ? 1 : 32);
    Object *o = h ? find_object(h) : nullptr;
    if (!o || o->stock || !bits)
        return h;
    Surface &s = o->surface;
    const auto *src = static_cast<const unsigned char *>(bits);
    int stride = width_bytes(s);
    for (int y = 0; y < s.height; ++y) {
        const unsigned char *row = src + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < s.width; ++x) {
            if (s.bits_per_pixel == 1) {
                s.set(x, y, (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFu : 0u);
            } else {
                const unsigned char *p = row + 4 * x;
                s.row(y)[x] = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            }
        }
    }
    return h;
}

// ---- GDI32 CreateCompatibleBitmap: the format of the DC's device. A window DC, or a memory
// DC holding a colour bitmap, gives 32-bit RGB; a fresh memory DC holds the stock 1x1
// monochrome bitmap, so its compatible bitmaps have one bit per pixel. Contents start black.
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return nullptr;
    int depth = 32;
    if (dc->type == DcType::memory) {
        const Object *bitmap = find_object(dc->bitmap);
        depth = bitmap ? bitmap->surface.bits_per_pixel : 1;
    }
    return new_bitmap(width, height, depth);
}

// ---- GDI32 GetObjectA: the BITMAP of a bitmap (bmBits null: its bits are not addressable).
// With a null buffer, the size the description needs. Other kinds are not described (0).
int WINAPI GetObjectA(HGDIOBJ obj, int size, LPVOID out) {
    const Object *o = find_object(obj);
    if (!o || o->kind != Kind::bitmap)
        return 0;
    if (!out)
        return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP bm{};
    bm.bmWidth = o->surface.width;
    bm.bmHeight = o->surface.height;
    bm.bmWidthBytes = width_bytes(o->surface);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(o->surface.bits_per_pixel);
    std::memcpy(out, &bm, sizeof bm);
    return static_cast<int>(sizeof bm);
}

// ---- GDI32 DeleteObject: frees a pen, brush, font or bitmap. A stock object is left alone
// (TRUE). An object still selected into a DC is freed when the last DC lets go of it, as
// Wine does; the real platform is documented to leave such an object undeleted.
BOOL WINAPI DeleteObject(HGDIOBJ obj) {
    Object *o = find_object(obj);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    if (o->selected > 0) {
        o->delete_pending = true;
        return TRUE;
    }
    tables().objects.erase(handle_key(obj));
    return TRUE;
}

namespace win32 {

int live_gdi_objects() {
    return gdi::count_objects();
}
int live_dcs() {
    return gdi::count_dcs();
}

void reset_gdi32() {
    gdi::clear_tables();
    gdi::reset_font_cache();
    gdi::reset_text_masks();
}

} // namespace win32
