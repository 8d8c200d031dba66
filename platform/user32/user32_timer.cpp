// USER32 timers. A timer is a due time and a period; its WM_TIMER is synthesised by message
// retrieval (user32_message.cpp), so a busy program never finds a backlog of them.
#include "user32_queue.h"
#include "user32_window.h"

#include "display.h"
#include "win32_internal.h"

#include <algorithm>

namespace win32 {

namespace {
// The real platform raises shorter periods to this minimum (USER_TIMER_MINIMUM).
constexpr UINT minimum_period = 10;
} // namespace

void forget_window_timers(HWND hwnd) {
    auto &timers = queue().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer &t) { return t.hwnd == hwnd; }),
                 timers.end());
}

int live_timers() {
    return static_cast<int>(queue().timers.size());
}

} // namespace win32

using namespace win32;

// USER32 SetTimer: the first WM_TIMER is due one period from now. Setting an id that the
// window already has replaces that timer and starts its period again. Returns the id
// (a new one for a null hwnd), or 0 for a window that does not exist.
UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc) {
    if (hwnd && !find_window(hwnd))
        return 0;
    MessageQueue &q = queue();
    Timer *existing = nullptr;
    if (hwnd || id)
        for (Timer &t : q.timers)
            if (t.hwnd == hwnd && t.id == id)
                existing = &t;
    if (!existing) {
        if (!hwnd)
            id = q.next_thread_timer++;
        q.timers.push_back(Timer{});
        existing = &q.timers.back();
        existing->hwnd = hwnd;
        existing->id = id;
    }
    existing->period = std::max(elapse_ms, minimum_period);
    existing->due = display().now_ms() + existing->period;
    existing->proc = proc;
    ++q.activity;
    return id ? id : 1;
}

// USER32 KillTimer: TRUE when the window had a timer of that id; a WM_TIMER that was due
// from it is not retrieved any more.
BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    auto &timers = queue().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer &t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    return TRUE;
}
