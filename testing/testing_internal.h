// What the sources of the testing library share.
#pragma once

#include "kelpa_testing.h"

#include <windows.h>

#include <functional>

namespace kelpa_testing {

HWND graphics_window();
// Drawing reaches the window after the next dispatched message; readers want it now.
void bring_window_up_to_date();
// The graphics window's client area into picture, reusing its storage; false when the window
// has no screen.
bool capture_into(Picture &picture);

// run(), with watch called at every wait before the script's next step; once it returns
// false, the steps end and the graphics window is closed.
int run_watched(const std::function<int()> &program, const Script &script,
                const std::function<bool()> &watch);

// time() as the run sees it: pinned to seconds at the virtual clock's 0 and going on with
// it, or (seconds < 0) the real clock again.
void pin_time(int64_t seconds);

// Every log line since the hook was set up by reset().
void start_log_history();

} // namespace kelpa_testing
