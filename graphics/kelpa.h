// KELPA: a graphics window with a centred, y-up coordinate system, a text window with a
// scrolling log, and a stream of events (click, key, periodic tick, quit).
// The program supplies game_main(); the library's process entry calls it.
#pragma once

// Event kinds returned by kelpa_next_event; also the directives of the script file.
enum {
    KELPA_MOUSE = 1,
    KELPA_KBD = 2,
    KELPA_PERIODIC = 3,
    KELPA_QUIT = 4,
};

// Run modes, the argument of kelpa_set_run_mode.
enum {
    RUN_HALT = 0,
    RUN_STEP = 1,
    RUN_ANIMATE = 2,
    RUN_QUIT = 5,
};

// Indices of the colour table.
enum {
    COLOR_BLACK = 0,
    COLOR_WHITE = 1,
    COLOR_RED = 2,
    COLOR_GREEN = 3,
    COLOR_BLUE = 4,
    COLOR_YELLOW = 5,
    COLOR_MAGENTA = 6,
    COLOR_CYAN = 7,
    COLOR_PURPLE = 8,
    COLOR_NAVY_BLUE = 9,
    COLOR_DUSTY_PLUM = 10,
    COLOR_ICE_BLUE = 11,
    COLOR_TURQUOISE = 12,
    COLOR_ORANGE = 13,
    COLOR_BROWN = 14,
    COLOR_PINK = 15,
    COLOR_CHALK = 16,
    COLOR_GOLD = 17,
    COLOR_PEACH = 18,
    COLOR_FOREST_GREEN = 19,
    COLOR_SEA_GREEN = 20,
    COLOR_OLIVE = 21,
    COLOR_GRAY_50 = 22,
    COLOR_GRAY_20 = 23,
    COLOR_COUNT = 24,
};

#if defined(__GNUC__)
#define KELPA_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KELPA_PRINTF(fmt, args)
#endif

// Supplied by the program: its main function. Its result is the process exit code.
int game_main();

// ---- start-up and windows ----
int kelpa_startup();
int kelpa_shutdown();
int kelpa_show_log_window(int show);

// ---- events and run control ----
// Blocks until an event is complete; fills x, y (centred coordinates) and key.
int kelpa_next_event(int &x, int &y, char &key);
int kelpa_set_run_mode(int mode);
int kelpa_set_logging(int on);

// ---- message log ----
// kelpa_log and kelpa_text_printf take a printf format: a text that is not the program's own
// (a name, a file's contents) goes through kelpa_text or a "%s" format, never as the format.
int kelpa_log(const char *format, ...) KELPA_PRINTF(1, 2);

// ---- colours ----
int kelpa_check_color(int index);

// ---- drawing, in centred coordinates ----
int kelpa_circle(int color, int x, int y, int radius);
int kelpa_rect(int color, int x1, int y1, int x2, int y2, int width);
int kelpa_line(int color, int x1, int y1, int x2, int y2, int width);
int kelpa_text(int color, int x, int y, int point_size, const char *text);
int kelpa_text_printf(int color, int x, int y, int point_size, const char *format, ...) KELPA_PRINTF(5, 6);
int kelpa_clear();
