// What every fuzz target needs: one library started on the headless display for the whole
// run (starting one per input would cost more than the input), an empty log for each input,
// and a check that the input left no GDI object, DC or memory block behind.
#pragma once

#include "kelpa_private.h"
#include "win32_audit.h"
#include "win32_headless.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void fail(const char *what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The library's globals as at load, on a reset subset. The log ring's blocks went with the
// reset, so the ring starts empty as well.
inline void reset_library() {
    headless::reset();
    library_state = LibraryState{};
    message_log = MessageLog{};
}

// A started library with its first messages dispatched, as a program sees it after start-up.
inline void begin_session() {
    reset_library();
    static int instance_tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&instance_tag);
    library_state.show_mode = SW_SHOWDEFAULT;
    if (kelpa_startup() != 1)
        fail("start-up");
}

// Frees the ring's blocks and empties it, as a fresh process has it.
inline void clear_log() {
    for (HGLOBAL &block : message_log.log_lines) {
        if (block)
            GlobalFree(block);
        block = nullptr;
    }
    message_log = MessageLog{};
}

// The library as a program finds it after start-up; started on the first call only. Each
// call leaves no event pending, the log empty and logging on.
inline void session() {
    static bool started = false;
    if (!started) {
        begin_session();
        started = true;
    }
    library_state.logging = 1;
    clear_log();
}

// Dispatches what is queued (paints included) without waiting.
inline void dispatch_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline int log_blocks() {
    int n = 0;
    for (HGLOBAL block : message_log.log_lines)
        n += block != nullptr;
    return n;
}

// The ring's invariant: log_first is -1 exactly when no slot holds a block, and otherwise
// the occupied slots run from log_first up to log_next.
inline void check_log_ring() {
    const MessageLog &log = message_log;
    if (log.log_next < 0 || log.log_next >= LOG_SLOTS || log.log_first < -1 || log.log_first >= LOG_SLOTS)
        fail("log indices in range");
    if (log.log_first == -1) {
        if (log_blocks() != 0)
            fail("an empty log holds no block");
        return;
    }
    const int held = log.log_first < log.log_next    ? log.log_next - log.log_first
                     : log.log_first == log.log_next ? LOG_SLOTS
                                                     : LOG_SLOTS - log.log_first + log.log_next;
    if (held != log_blocks())
        fail("the occupied slots are the ones from log_first to log_next");
}

// Live counts apart from the log ring's blocks, which are the log's to keep.
inline win32::LiveCounts counts_without_log() {
    win32::LiveCounts c = win32::live_counts();
    c.memory_blocks -= log_blocks();
    return c;
}

} // namespace fuzz
