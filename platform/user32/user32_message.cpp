// USER32 message retrieval, posting, sending and dispatch.
// Retrieval order, as the real platform keeps it: posted messages, then input, then WM_QUIT
// once neither is left, then WM_PAINT of a visible window with an invalid area, then
// WM_TIMER of a timer that is due. The last three are flags, not queued entries.
#include "user32_queue.h"
#include "user32_window.h"

#include "display.h"
#include "input.h"
#include "host_signals.h"
#include "win32_internal.h"

#include <algorithm>

namespace win32 {

namespace {

MessageQueue the_queue;

bool in_range(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool for_filter(HWND hwnd, HWND filter) {
    return !filter || hwnd == filter;
}

bool due(const Timer &t, uint32_t now) {
    return static_cast<int32_t>(now - t.due) >= 0;
}

bool take_posted(MSG *out, HWND filter, UINT min, UINT max, bool remove) {
    auto &posted = the_queue.posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (for_filter(it->hwnd, filter) && in_range(it->message, min, max)) {
            *out = *it;
            if (remove)
                posted.erase(it);
            return true;
        }
    }
    return false;
}

bool take_input(MSG *out, HWND filter, UINT min, UINT max, bool remove) {
    auto &input = the_queue.input;
    for (size_t i = 0; i < input.size();) {
        if (input[i].kind == InputKind::resize || input[i].kind == InputKind::destroyed) {
            InputEvent e = input[i];
            input.erase(input.begin() + static_cast<long>(i));
            // Both send messages, which may queue more input.
            if (e.kind == InputKind::resize)
                host_resize(e.msg.hwnd, e.width, e.height);
            else
                DestroyWindow(e.msg.hwnd);
            continue;
        }
        const InputEvent &e = input[i];
        if (!find_window(e.msg.hwnd)) {
            input.erase(input.begin() + static_cast<long>(i));
            continue;
        }
        if (for_filter(e.msg.hwnd, filter) && in_range(e.msg.message, min, max)) {
            *out = e.msg;
            if (remove) {
                InputEvent taken = e;
                input.erase(input.begin() + static_cast<long>(i));
                if (taken.msg.message == WM_KEYDOWN || taken.msg.message == WM_KEYUP)
                    retrieve_key(taken);
            }
            return true;
        }
        ++i;
    }
    return false;
}

bool take_paint(MSG *out, HWND filter, UINT min, UINT max) {
    if (!in_range(WM_PAINT, min, max) || !the_queue.paint_may_be_due)
        return false;
    Window *w = oldest_window_where([filter](const Window &w) {
        return w.visible && w.invalid && !w.destroying && for_filter(w.hwnd, filter);
    });
    if (!w) {
        if (!filter)
            the_queue.paint_may_be_due = false;
        return false;
    }
    *out = MSG{};
    out->hwnd = w->hwnd;
    out->message = WM_PAINT;
    return true;
}

bool take_timer(MSG *out, HWND filter, UINT min, UINT max, bool remove) {
    if (!in_range(WM_TIMER, min, max))
        return false;
    uint32_t now = display().now_ms();
    Timer *best = nullptr;
    for (Timer &t : the_queue.timers)
        if (for_filter(t.hwnd, filter) && due(t, now) &&
            (!best || static_cast<int32_t>(t.due - best->due) < 0))
            best = &t;
    if (!best)
        return false;
    *out = MSG{};
    out->hwnd = best->hwnd;
    out->message = WM_TIMER;
    out->wParam = best->id;
    out->lParam = reinterpret_cast<LPARAM>(best->proc);
    if (remove) {
        // However long the program was busy, one WM_TIMER stands for all the periods that
        // passed; the next is due on the timer's own phase, after now.
        while (due(*best, now))
            best->due += best->period;
    }
    return true;
}

bool next_message(MSG *out, HWND filter, UINT min, UINT max, bool remove) {
    // Posted and input messages keep the time they were queued at; the rest are made now.
    if (take_posted(out, filter, min, max, remove) || take_input(out, filter, min, max, remove))
        return true;
    bool found = false;
    if (the_queue.quit) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(the_queue.exit_code);
        if (remove)
            the_queue.quit = false;
        found = true;
    }
    found = found || take_paint(out, filter, min, max) || take_timer(out, filter, min, max, remove);
    if (found) {
        out->time = display().now_ms();
        out->pt = the_queue.cursor;
    }
    return found;
}

// Host input and requests to terminate, which end the program as closing its windows does.
// Whether anything came that may have made a message ready.
bool pump_host() {
    const uint64_t before = the_queue.activity;
    if (display().pump_input)
        display().pump_input();
    if (take_termination_request())
        for (Window *w : all_windows())
            input_close(w->hwnd);
    return the_queue.activity != before;
}

// The earliest due time of a timer that the filter lets through.
bool next_deadline(HWND filter, UINT min, UINT max, uint32_t *deadline) {
    if (!in_range(WM_TIMER, min, max))
        return false;
    bool any = false;
    for (const Timer &t : the_queue.timers) {
        if (!for_filter(t.hwnd, filter))
            continue;
        if (!any || static_cast<int32_t>(t.due - *deadline) < 0)
            *deadline = t.due;
        any = true;
    }
    return any;
}

} // namespace

MessageQueue &queue() {
    return the_queue;
}

MSG stamped_msg(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = display().now_ms();
    return m;
}

void forget_window_messages(HWND hwnd) {
    auto &posted = the_queue.posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG &m) { return m.hwnd == hwnd; }),
                 posted.end());
    auto &input = the_queue.input;
    input.erase(
        std::remove_if(input.begin(), input.end(), [&](const InputEvent &e) { return e.msg.hwnd == hwnd; }),
        input.end());
}

void reset_messages() {
    the_queue = MessageQueue{};
}

} // namespace win32

using namespace win32;

// USER32 GetMessageA: waits for the next message (order above). Returns 0 for WM_QUIT, with
// the exit code in wParam; -1 when the window filter names no window. msg.time is the
// display clock in milliseconds.
BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max) {
    if (!msg)
        return -1;
    for (;;) {
        if (hwnd && !find_window(hwnd))
            return -1;
        if (next_message(msg, hwnd, min, max, true))
            return msg->message != WM_QUIT;
        if (pump_host() && next_message(msg, hwnd, min, max, true))
            return msg->message != WM_QUIT;
        uint32_t deadline = 0;
        bool has_deadline = next_deadline(hwnd, min, max, &deadline);
        if (display().wait)
            display().wait(deadline, has_deadline);
    }
}

// USER32 PeekMessageA: like GetMessageA without waiting; PM_REMOVE takes the message off the
// queue, PM_NOREMOVE leaves it. FALSE when nothing is ready.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    if (!msg || (hwnd && !find_window(hwnd)))
        return FALSE;
    bool take = (remove & PM_REMOVE) != 0;
    if (next_message(msg, hwnd, min, max, take))
        return TRUE;
    return pump_host() && next_message(msg, hwnd, min, max, take);
}

// USER32 TranslateMessage: a WM_KEYDOWN, retrieved or posted, posts the WM_CHAR of what the
// key types to the window it was addressed to. Returns TRUE for key messages.
BOOL WINAPI TranslateMessage(const MSG *msg) {
    if (!msg)
        return FALSE;
    if (msg->message == WM_KEYUP)
        return TRUE;
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    int ch = translated_char(static_cast<int>(msg->wParam & 0xFF));
    if (ch > 0)
        PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE;
}

// USER32 DispatchMessageA: calls the window procedure of msg->hwnd and returns its result;
// a WM_TIMER carrying a TIMERPROC calls that instead.
LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, display().now_ms());
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// USER32 PostMessageA: queues the message; a null hwnd posts a thread message. FALSE for a
// window that does not exist (never created or destroyed).
BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hwnd && !find_window(hwnd))
        return FALSE;
    queue().posted.push_back(stamped_msg(hwnd, message, wparam, lparam));
    ++queue().activity;
    return TRUE;
}

// USER32 SendMessageA: calls the window procedure now and returns its result; 0 for a
// window that does not exist.
LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = find_window(hwnd);
    if (!w || !w->cls.proc)
        return 0;
    return w->cls.proc(hwnd, message, wparam, lparam);
}

// USER32 PostQuitMessage: WM_QUIT comes once posted messages and input are used up, before
// any WM_PAINT or WM_TIMER.
void WINAPI PostQuitMessage(int exit_code) {
    queue().quit = true;
    queue().exit_code = exit_code;
    ++queue().activity;
}

// USER32 GetKeyState: negative while the key is held, low bit the toggle state, as of the
// key messages retrieved so far.
short WINAPI GetKeyState(int vk) {
    if (vk < 0 || vk > 255)
        return 0;
    BYTE s = queue().key_state[vk];
    return static_cast<short>((s & 0x80 ? 0xFF80 : 0) | (s & 0x01));
}
