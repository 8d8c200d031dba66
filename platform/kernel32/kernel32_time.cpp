// KERNEL32 time: both calls go to the display's clock, so on the headless display a test's
// Sleep costs no real time and timers fall due exactly.
#include "display.h"
#include "headless_clock.h"

#include <windows.h>

using namespace win32;

// KERNEL32 GetTickCount: milliseconds on the display's clock.
DWORD WINAPI GetTickCount(void) {
    return display().now_ms();
}

// KERNEL32 Sleep: returns once ms milliseconds have passed on the display's clock. Input
// that arrives meanwhile stays queued, as it does on the real platform.
void WINAPI Sleep(DWORD ms) {
    if (&display() == &headless_display) {
        headless_advance_clock(ms);
        return;
    }
    if (!display().wait || !display().now_ms)
        return; // a display without a clock has no time to let pass
    uint32_t deadline = display().now_ms() + ms;
    while (static_cast<int32_t>(display().now_ms() - deadline) < 0)
        display().wait(deadline, true);
}
