// The resource audit: live object counts gathered from the modules, and failures armed by
// tests. Each armed failure is taken exactly once, after its `skip` successes.
#include "win32_audit.h"

#include "win32_internal.h"

namespace win32 {

namespace {

struct Armed {
    bool armed = false;
    int skip = 0;
};

Armed armed[4];
bool no_fonts = false;

Armed &slot(Allocation what) {
    return armed[static_cast<int>(what)];
}

void arm(Allocation what, int skip) {
    slot(what).armed = true;
    slot(what).skip = skip > 0 ? skip : 0;
}

} // namespace

bool take_injected_failure(Allocation what) {
    Armed &a = slot(what);
    if (!a.armed)
        return false;
    if (a.skip > 0) {
        --a.skip;
        return false;
    }
    a.armed = false;
    return true;
}

void reset_audit() {
    for (Armed &a : armed)
        a = Armed{};
    no_fonts = false;
}

bool fonts_withheld() {
    return no_fonts;
}

LiveCounts live_counts() {
    LiveCounts c;
    c.windows = live_windows();
    c.timers = live_timers();
    c.menus = live_menus();
    c.gdi_objects = live_gdi_objects();
    c.dcs = live_dcs();
    c.memory_blocks = live_memory_blocks();
    return c;
}

void fail_next_memory_block(int skip) {
    arm(Allocation::memory_block, skip);
}
void fail_next_gdi_object(int skip) {
    arm(Allocation::gdi_object, skip);
}
void fail_next_dc(int skip) {
    arm(Allocation::dc, skip);
}
void fail_next_window_surface(int skip) {
    arm(Allocation::window_surface, skip);
}
void withhold_fonts() {
    no_fonts = true;
}

} // namespace win32
