// GDI32 device contexts: memory DCs over a selected bitmap, window DCs over a window's client
// area, their selections and drawing attributes, and where their pixels are.
// A window DC finds its window's screen on every drawing, so a destroyed window simply
// makes its DC draw nothing.
#include "gdi32_state.h"
#include "win32_internal.h"

#include <algorithm>

namespace win32::gdi {

namespace {

Dc fresh_dc(DcType type, HWND hwnd) {
    Dc dc;
    dc.type = type;
    dc.hwnd = hwnd;
    dc.pen = GetStockObject(BLACK_PEN);
    dc.brush = GetStockObject(WHITE_BRUSH);
    dc.font = GetStockObject(SYSTEM_FONT);
    dc.bitmap = type == DcType::memory ? stock_bitmap() : nullptr;
    return dc;
}

} // namespace

bool resolve_target(HDC hdc, Target *t, bool keep_fill) {
    *t = Target{};
    Dc *dc = find_dc(hdc);
    if (!dc)
        return false;
    Surface *s = nullptr;
    RECT clip{0, 0, 0, 0};
    if (dc->type == DcType::memory) {
        Object *bitmap = find_object(dc->bitmap);
        s = bitmap ? &bitmap->surface : nullptr;
        if (s)
            clip = RECT{0, 0, s->width, s->height};
    } else {
        RECT client{0, 0, 0, 0};
        s = window_screen(dc->hwnd, &client, keep_fill);
        if (!s)
            return false;
        t->hwnd = dc->hwnd;
        if (dc->type == DcType::window) {
            clip = client;
            t->ox = client.left;
            t->oy = client.top;
        } else {
            clip = RECT{0, 0, s->width, s->height};
        }
    }
    if (!s)
        return false;
    t->canvas.surface = s;
    t->canvas.left = std::max<LONG>(clip.left, 0);
    t->canvas.top = std::max<LONG>(clip.top, 0);
    t->canvas.right = std::min<LONG>(clip.right, s->width);
    t->canvas.bottom = std::min<LONG>(clip.bottom, s->height);
    return true;
}

void finish_target(const Target &t) {
    const Canvas &c = t.canvas;
    if (t.hwnd && c.dirty_right > c.dirty_left && c.dirty_bottom > c.dirty_top)
        window_screen_changed(t.hwnd, RECT{c.dirty_left, c.dirty_top, c.dirty_right, c.dirty_bottom});
}

const Object &dc_pen(const Dc &dc) {
    return *find_object(dc.pen);
}
const Object &dc_brush(const Dc &dc) {
    return *find_object(dc.brush);
}
const Object &dc_font(const Dc &dc) {
    return *find_object(dc.font);
}

} // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

namespace win32 {

HDC create_window_dc(HWND hwnd) {
    return add_dc(fresh_dc(DcType::window, hwnd));
}

BOOL release_window_dc(HWND hwnd, HDC hdc) {
    Dc *dc = find_dc(hdc);
    if (!dc || dc->type == DcType::memory || dc->hwnd != hwnd)
        return FALSE;
    remove_dc(hdc);
    return TRUE;
}

HDC create_screen_dc(HWND hwnd) {
    return add_dc(fresh_dc(DcType::screen, hwnd));
}

} // namespace win32

// ---- GDI32 CreateCompatibleDC: a memory DC (for a null or any DC) holding the stock 1x1
// monochrome bitmap, with the default pen, brush, font and colours of every new DC.
HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !find_dc(hdc))
        return nullptr;
    return add_dc(fresh_dc(DcType::memory, nullptr));
}

// ---- GDI32 DeleteDC: ends a memory DC; its selected objects stay alive. Window DCs are
// released with ReleaseDC or EndPaint instead.
BOOL WINAPI DeleteDC(HDC hdc) {
    Dc *dc = find_dc(hdc);
    if (!dc || dc->type != DcType::memory)
        return FALSE;
    remove_dc(hdc);
    return TRUE;
}

// ---- GDI32 SelectObject: makes a pen, brush, font or (memory DCs only) bitmap current and
// returns the previous one. A bitmap already selected into another DC cannot be selected.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ obj) {
    Dc *dc = find_dc(hdc);
    Object *o = find_object(obj);
    if (!dc || !o || o->delete_pending)
        return nullptr;
    HGDIOBJ *slot = nullptr;
    switch (o->kind) {
    case Kind::pen: slot = &dc->pen; break;
    case Kind::brush: slot = &dc->brush; break;
    case Kind::font: slot = &dc->font; break;
    case Kind::bitmap:
        if (dc->type != DcType::memory || (!o->stock && o->selected_in && o->selected_in != hdc))
            return nullptr;
        slot = &dc->bitmap;
        break;
    }
    HGDIOBJ previous = *slot;
    if (previous == obj)
        return previous;
    *slot = obj;
    ++o->selected;
    if (o->kind == Kind::bitmap && !o->stock)
        o->selected_in = hdc;
    release_selection(previous);
    return previous;
}

// ---- GDI32 GetCurrentObject: the selected object of a kind (OBJ_PEN, OBJ_BRUSH, OBJ_FONT,
// OBJ_BITMAP).
HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap ? dc->bitmap : stock_bitmap();
    default: return nullptr;
    }
}

// ---- GDI32 GetDeviceCaps: BITSPIXEL is the display's depth (32) for every DC, memory DCs
// included, as on the real platform whatever bitmap they hold. Other indices: 0.
int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (!find_dc(hdc))
        return 0;
    return index == BITSPIXEL ? 32 : 0;
}

// ---- GDI32 GetBkColor / SetBkColor: the colour behind opaque text and of white bits in a
// monochrome-to-colour BitBlt. Set returns the previous colour (CLR_INVALID for a bad DC).
COLORREF WINAPI GetBkColor(HDC hdc) {
    Dc *dc = find_dc(hdc);
    return dc ? dc->bk_color : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->bk_color;
    dc->bk_color = color & 0xFFFFFFu;
    return previous;
}

// ---- GDI32 GetBkMode / SetBkMode: OPAQUE or TRANSPARENT; Set returns the previous mode,
// 0 for a bad DC or mode.
int WINAPI GetBkMode(HDC hdc) {
    Dc *dc = find_dc(hdc);
    return dc ? dc->bk_mode : 0;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    Dc *dc = find_dc(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return previous;
}

// ---- GDI32 GetTextColor / SetTextColor: the glyph colour, also that of black bits in a
// monochrome-to-colour BitBlt.
COLORREF WINAPI GetTextColor(HDC hdc) {
    Dc *dc = find_dc(hdc);
    return dc ? dc->text_color : CLR_INVALID;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->text_color;
    dc->text_color = color & 0xFFFFFFu;
    return previous;
}

// ---- GDI32 SetPolyFillMode: ALTERNATE or WINDING for Polygon; returns the previous mode.
int WINAPI SetPolyFillMode(HDC hdc, int mode) {
    Dc *dc = find_dc(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING))
        return 0;
    int previous = dc->fill_mode;
    dc->fill_mode = mode;
    return previous;
}
