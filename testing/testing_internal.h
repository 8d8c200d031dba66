// What the sources of the testing library share.
#pragma once

#include "kelpa_testing.h"

#include <windows.h>

#include <functional>

namespace kelpa_testing {

HWND graphics_window();
// Drawing reaches the window after the next dispatched message; readers want it now.
void bring_window_up_to_date();
// Whether the graphics window's client area shows anything but picture.
bool screen_differs(const Picture &picture);
// Makes picture what the client area shows, copying only the rows that differ (an empty
// picture when the window has no screen); true if anything changed.
bool update_capture(Picture &picture);

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
