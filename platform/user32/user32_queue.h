// The thread's message queue: posted messages, input from the display, the quit flag,
// timers, and the key state as the program has retrieved it. One queue, one thread.
// Paint and timer messages are never stored: retrieval synthesises them from the windows'
// update regions and the timers' due times, so at most one of each waits per window/timer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <vector>

namespace win32 {

enum class InputKind { message, close, resize, destroyed };

struct InputEvent {
    InputKind kind = InputKind::message;
    MSG msg{};
    int ch = 0;    // key-down: what the key types (> 0 character, 0 derive, -1 nothing)
    int width = 0; // resize: new surface size
    int height = 0;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    uint32_t due = 0;
    TIMERPROC proc = nullptr;
};

struct MessageQueue {
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    bool quit = false;
    int exit_code = 0;
    std::vector<Timer> timers;
    UINT_PTR next_thread_timer = 1;
    BYTE key_state[256] = {}; // 0x80 held, 0x01 toggled: follows retrieved key messages
    bool key_held[256] = {};  // as input arrives, for lParam bit 30
    int key_char[256] = {};   // what each key typed when its last key-down was retrieved
    bool button_held = false; // left button, as input arrives
    POINT cursor{0, 0};       // last mouse position, screen coordinates
    uint64_t activity = 0;    // bumped by everything that may make a message ready
    // Set by every invalidation, cleared by a search of all windows that found none to paint:
    // while it is clear, retrieval skips that search.
    bool paint_may_be_due = false;
};

MessageQueue &queue();

// A message stamped with the display's time, as posting or input queues it.
MSG stamped_msg(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The character a WM_KEYDOWN of vk types, for TranslateMessage: 0 when none.
int translated_char(int vk);
// Applies a retrieved key message to the key state.
void retrieve_key(const InputEvent &e);

} // namespace win32
