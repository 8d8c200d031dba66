// The library as a freshly started process sees it, for the tests that run on the headless
// display and under Wine alike: empty state and log, the instance handle the entry would
// have stored (the module's own on Windows, any non-null tag on the subset), no activation;
// and a drain of the queue that never waits.
#pragma once

#include "kelpa_private.h"

inline void start_library_process() {
    library_state = LibraryState{};
    message_log = MessageLog{};
#ifdef _WIN32
    library_state.instance = GetModuleHandleA(nullptr);
#else
    static int instance_tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&instance_tag);
#endif
    library_state.show_mode = SW_SHOWNOACTIVATE;
}

// Dispatches what is queued, the quit message included, without waiting.
inline void drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
