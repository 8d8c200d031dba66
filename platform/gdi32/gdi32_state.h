// GDI32's object and device-context tables, shared by the gdi32_*.cpp files.
// Every handle GDI32 hands out is a key in exactly one table; stock objects are made at
// reset and never destroyed; an object selected into a DC is destroyed only once no DC
// holds it (DeleteObject defers, as Wine does).
#pragma once

#include "font_cache.h"
#include "gdi32_primitives.h"
#include "win32_surface.h"

#include <windows.h>

#include <cstdint>

namespace win32::gdi {

enum class Kind { pen, brush, font, bitmap };

struct Object {
    Kind kind = Kind::pen;
    bool stock = false;
    bool delete_pending = false;
    int selected = 0; // how many DCs hold it now
    // pen
    int pen_style = PS_SOLID;
    int pen_width = 0;
    // pen and brush colour, 0x00RRGGBB; a brush with is_null paints nothing
    uint32_t color = 0;
    bool is_null = false;
    // font
    FontRequest font;
    // bitmap
    Surface surface;
    HDC selected_in = nullptr; // the one DC a (non-stock) bitmap may be selected into
};

enum class DcType { memory, window, screen };

struct Dc {
    DcType type = DcType::memory;
    HWND hwnd = nullptr;
    HGDIOBJ pen = nullptr, brush = nullptr, font = nullptr, bitmap = nullptr;
    COLORREF text_color = 0;
    COLORREF bk_color = 0xFFFFFF;
    int bk_mode = OPAQUE;
    int fill_mode = ALTERNATE;
    POINT pos{0, 0};
};

Object *find_object(HGDIOBJ h);
Dc *find_dc(HDC h);
// The stock 1x1 monochrome bitmap every memory DC starts with.
HGDIOBJ stock_bitmap();
// Creates an object record under a new handle; null when an injected failure says so.
HGDIOBJ add_object(Object o);
// A DC let go of h: destroy it if DeleteObject was waiting for that.
void release_selection(HGDIOBJ h);
// Registers a DC holding the given selections; null when an injected failure says so.
HDC add_dc(Dc dc);
// Forgets a DC and lets go of everything selected into it.
void remove_dc(HDC h);
int count_objects();
int count_dcs();
void clear_tables();

// Where a DC's drawing lands: pixels, the offset from logical to surface coordinates and
// the clip, both in surface coordinates. Null surface: nothing to draw into (window gone).
struct Target {
    Canvas canvas;
    int64_t ox = 0, oy = 0;
    HWND hwnd = nullptr; // told about changes when set
};
// keep_fill: a window's deferred erase stays deferred (the caller settles it).
bool resolve_target(HDC hdc, Target *t, bool keep_fill = false);
// Reports what a drawing changed to the window that shows it.
void finish_target(const Target &t);

// The DC's current pen, brush and font records (never null for a valid DC).
const Object &dc_pen(const Dc &dc);
const Object &dc_brush(const Dc &dc);
const Object &dc_font(const Dc &dc);

} // namespace win32::gdi
