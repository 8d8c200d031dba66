// The library's shared state and the seams between its sources.
// LibraryState and MessageLog are the two global records; each source owns the fields its
// concern names and reads the others'. Default member values are the values at load, so a
// test returns the library to a fresh process with `library_state = LibraryState{};`.
#pragma once

#include "kelpa.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

// ---- constants ----
constexpr int FRAME_WIDTH = 601;  // frame buffer width; outer width of both windows
constexpr int FRAME_HEIGHT = 540; // frame buffer height; outer height of the graphics window
constexpr UINT_PTR TICK_TIMER_ID = 2;
constexpr UINT TICK_PERIOD_MS = 50;
constexpr int LOG_SLOTS = 25;
constexpr int LOG_LINE_BYTES = 1024; // formatting buffers: at most 1023 characters a line

// Command ids of the Run menu.
enum {
    IDM_ANIMATE = 1,
    IDM_HALT = 2,
    IDM_STEP = 3,
    IDM_LOGGING = 4,
    IDM_RECORD = 5,
    IDM_PLAYBACK = 6,
    IDM_PLAY_ONE = 7,
    IDM_QUIT = 8,
    IDM_INFO = 9,
};

// Kinds of DrawRecord.
enum : uint32_t {
    DRAW_TRIANGLE = 0,
    DRAW_RECT = 1,
    DRAW_OVAL = 2,
    DRAW_LINE = 3,
    DRAW_PIXEL = 4,
    DRAW_TEXT = 5,
};

struct LibraryState {
    // start-up, windows and frame buffer
    HINSTANCE instance = nullptr;
    HINSTANCE prev_instance = nullptr;
    int32_t show_mode = 0;
    HWND graphics_window = nullptr; // null: the library is not started
    HWND text_window = nullptr;
    HDC window_dc = nullptr;
    HBITMAP frame_bitmap = nullptr;
    HDC frame_dc = nullptr;
    int32_t frame_dirty = 1;
    int32_t origin_x = 0;
    int32_t origin_y = 0;
    HMENU run_menu = nullptr;

    // events and run control
    int32_t pending_kind = 0; // -1 while no event is being assembled
    int32_t event_x = 0;
    int32_t event_y = 0;
    char event_key = 0;
    uint8_t animating = 0;
    uint8_t step_pending = 0;
    int32_t tick_seen = 0;
    uint8_t quit_requested = 0;
    uint8_t logging = 1;
    int32_t ctrl_down = 0;
    uint32_t periodic_delivered = 0; // periodic events returned so far (a replay counts them)

    // script recording and playback
    FILE *script_file = nullptr;
    uint8_t recording = 0;
    uint8_t playing_back = 0;
    uint8_t play_one = 0;
    int32_t periodic_run = 0;
    uint8_t script_write_failed = 0; // the open write stream has failed; reported once
    uint8_t script_begun = 0;        // this recording tried its first open; later ones append
};

struct MessageLog {
    HGLOBAL log_lines[LOG_SLOTS] = {};
    int32_t log_first = -1; // slot of the oldest line; -1 while the log is empty
    int32_t log_next = 0;   // slot the next line fills
    // Whether the text window could draw text at its last paint (its font loaded); -1 before
    // the first paint. While it cannot, lines go to standard error as well.
    int32_t text_shown = -1;
};

// One drawing command, from a drawing operation to the renderer. In a DRAW_TEXT record
// x2 holds point_size and y2 text_block; the handle gets a member of its own size, as it
// does not fit 32 bits on a 64-bit build.
struct DrawRecord {
    uint32_t kind = 0;
    int32_t color = 0;
    int32_t width = 0;
    int32_t x1 = 0;
    int32_t y1 = 0;
    union {
        int32_t x2 = 0;
        int32_t point_size;
    };
    union {
        int32_t y2 = 0;
        HGLOBAL text_block;
    };
    int32_t x3 = 0;
    int32_t y3 = 0;
};

extern LibraryState library_state;
extern MessageLog message_log;

// ---- start-up and windows (startup.cpp) ----
void present_frame();
LRESULT CALLBACK graphics_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK text_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// ---- events (events.cpp) ----
void pump_message();

// ---- Run menu and Ctrl-key commands (commands.cpp) ----
void build_run_menu(HWND graphics_window);                       // WM_CREATE of the graphics window
void track_key_down(WPARAM key);                                 // WM_KEYDOWN: Ctrl tracking and Ctrl+letter
void track_key_up(WPARAM key);                                   // WM_KEYUP: Ctrl release
void run_command(WPARAM id);                                     // WM_COMMAND
void set_menu_check(UINT id, bool checked);                      // no effect while run_menu is null
void forward_key_message(UINT msg, WPARAM key, LPARAM key_data); // text window keys, posted on

// ---- script file (script.cpp) ----
void script_write_event(int kind, int x, int y, char key);
int script_read_event();
void stop_playback();
void script_close();
// While recording: writes the periodic events counted so far as one line.
void script_write_pending_run();
// kelpa_next_event, after each pumped message: true when a scripted event completed it.
bool script_playback_step();
void script_record_step(); // kelpa_next_event, before delivering: writes or counts the event

// ---- message log (message_log.cpp) ----
void paint_text_window(HWND window);

// ---- colour table (colors.cpp) ----
extern const COLORREF color_values[COLOR_COUNT];
extern const char *const color_names[COLOR_COUNT];

// ---- renderer (renderer.cpp) ----
void render_draw_record(const DrawRecord &record);
void fill_background();
