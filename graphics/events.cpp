// The event stream: one message pumped at a time until a click, key, periodic tick, scripted
// event or quit is complete. Invariant: pending_kind is -1 exactly while a call has no event
// yet; a periodic event counts only a tick that arrives after it was armed.
#include "kelpa_private.h"

void pump_message() {
    MSG msg;
    // 0 is the quit message; -1 (an invalid argument) cannot happen with no window filter,
    // but would otherwise spin forever, so it ends the stream as well.
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        library_state.pending_kind = KELPA_QUIT;
        return;
    }
    TranslateMessage(&msg); // key presses also produce WM_CHAR
    DispatchMessageA(&msg);
    if (library_state.frame_dirty)
        present_frame();
}

int kelpa_next_event(int &x, int &y, char &key) {
    LibraryState &s = library_state;
    s.pending_kind = -1;
    s.event_key = 0;
    s.event_y = 0;
    s.event_x = 0;
    while (s.pending_kind == -1 || (s.pending_kind == KELPA_PERIODIC && s.tick_seen == 0)) {
        pump_message();
        // The platform reports the quit only once: it ends the wait before a script line
        // could overwrite it.
        if (s.pending_kind == KELPA_QUIT)
            break;
        if (script_playback_step())
            break;
        if ((s.step_pending || s.animating) && s.pending_kind == -1) {
            s.tick_seen = 0; // a tick seen before arming does not count
            s.pending_kind = KELPA_PERIODIC;
            s.step_pending = 0;
            s.play_one = 0;
        }
    }
    script_record_step();
    if (s.pending_kind == KELPA_PERIODIC)
        ++s.periodic_delivered;
    x = s.event_x;
    y = s.event_y;
    key = s.event_key;
    return s.quit_requested ? KELPA_QUIT : s.pending_kind;
}

int kelpa_set_run_mode(int mode) {
    LibraryState &s = library_state;
    if (!s.graphics_window)
        return 0;
    switch (mode) {
    case RUN_HALT:
        s.step_pending = 0;
        s.animating = 0;
        break;
    case RUN_STEP: s.step_pending = 1; break;
    case RUN_ANIMATE: s.animating = 1; break;
    case RUN_QUIT: s.quit_requested = 1; break;
    default: break;
    }
    return 1;
}

int kelpa_set_logging(int on) {
    LibraryState &s = library_state;
    if (!s.graphics_window)
        return 0;
    s.logging = on != 0;
    set_menu_check(IDM_LOGGING, s.logging == 1);
    // Switching the log off leaves the text window as it is.
    if (s.logging)
        kelpa_show_log_window(1);
    return 1;
}
