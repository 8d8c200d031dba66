// Page input to the subset's input API. The page turns DOM events into records (kind, window,
// three values) and queues them; they are taken here, in arrival order, whenever the program
// pumps or wakes. Key codes and the Windows-1252 character a key types are worked out on the
// page, where the DOM's key names are known.
#include "web_display.h"

#include "input.h"

#include <emscripten.h>

#include <cstdint>

namespace win32::web {

namespace {

// Record kinds; the page uses the same numbers.
enum Kind { kind_button = 1, kind_move = 2, kind_key = 3, kind_char = 4, kind_close = 5, kind_load = 6 };

// clang-format off
// Fills out[0..4] with the oldest queued record; 0 when the queue is empty.
EM_JS(int, js_next_event, (int32_t *out), { return kelpaPage.nextEvent(HEAP32, out >> 2); });
// clang-format on

} // namespace

void pump_events() {
    int32_t e[5];
    while (js_next_event(e)) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(e[1]));
        switch (e[0]) {
        case kind_button: input_mouse_button(hwnd, static_cast<UINT>(e[2]), e[3], e[4]); break;
        case kind_move: input_mouse_move(hwnd, e[2], e[3]); break;
        case kind_key: input_key(hwnd, e[2], e[3] != 0, e[4]); break;
        case kind_char: input_char(hwnd, e[2]); break;
        case kind_close: input_close(hwnd); break;
        case kind_load: load_script_file(); break;
        default: break;
        }
    }
}

} // namespace win32::web
