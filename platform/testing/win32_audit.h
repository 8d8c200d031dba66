// Resource audit of the Win32 subset, for tests: live object counts, and failures on request.
// Lets a test find a leak or an unchecked allocation failure the way a long session would.
#pragma once

namespace win32 {

struct LiveCounts {
    int windows = 0;
    int timers = 0;
    int menus = 0;
    int gdi_objects = 0; // pens, brushes, fonts, bitmaps created and not deleted
    int dcs = 0;         // memory DCs and window DCs not yet deleted or released
    int memory_blocks = 0;

    bool operator==(const LiveCounts &o) const {
        return windows == o.windows && timers == o.timers && menus == o.menus &&
               gdi_objects == o.gdi_objects && dcs == o.dcs && memory_blocks == o.memory_blocks;
    }
    bool operator!=(const LiveCounts &o) const { return !(*this == o); }
};

LiveCounts live_counts();

// The next GlobalAlloc, GDI object creation or DC creation (counting from now, `skip` of
// them succeeding first) fails as the real call does when memory runs out.
void fail_next_memory_block(int skip = 0);
void fail_next_gdi_object(int skip = 0);
void fail_next_dc(int skip = 0);
// The next window surface that needs new storage (a window created or grown by the host)
// gets none, as when memory runs out: the creation fails, the window keeps its size.
void fail_next_window_surface(int skip = 0);

// Until the next reset no font loads at all, not even the built-in one: GetTextMetricsA,
// GetTextExtentPoint32A and TextOutA fail, as on a platform without any font.
void withhold_fonts();

} // namespace win32
