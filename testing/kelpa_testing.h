// Testing a program written on KELPA: its game_main (or any part of it) runs on the headless
// display, where time is virtual and input is injected, and what its windows show and what it
// logged are read back. Every run starts from a fresh process: no windows, clock at 0, empty log.
// All positions are the library's centred coordinates (origin in the middle, y upward).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelpa_testing {

// ---- starting ----

// Back to a freshly started process: no windows, the virtual clock at 0, the log empty, the
// library not started, the headless display in use.
void reset();
// reset(), then kelpa_startup() and the windows' first paints: for tests that call drawing
// operations directly instead of running a game_main. The frame is not cleared: call
// kelpa_clear() first, as a game_main does.
void start();

// ---- running a program ----

class Script;
int run(const std::function<int()> &program, const Script &script);

// A point in the library's centred coordinates.
struct Point {
    int x = 0, y = 0;
};

// What the user does while the program runs. Each step happens when the program waits for
// input (inside kelpa_next_event), one step at a time: an input step is carried out and the
// program handles it before the next step begins.
// The steps are all added before run(): adding one while the script runs (from a then(), say)
// ends the test process with a message. A step that needs something found during the run
// takes a function called when the step comes, as click(where) does.
class Script {
  public:
    // Lets ms of virtual time pass: the 50 ms timer ticks and the animation runs.
    Script &wait(int ms);
    // A left click at a point of the graphics window.
    Script &click(int x, int y);
    // A left click at the point where() returns when the step comes: a point found by an
    // earlier then(), or read from the window at that moment.
    Script &click(std::function<Point()> where);
    // A character typed into the graphics window ('a', 'A', ' ', '7', ...).
    Script &key(char ch);
    // Ctrl+letter, a command of the Run menu: 'A' animate, 'H' halt, 'F' one frame,
    // 'L' logging, 'R' record, 'P' playback, 'O' play one, 'Q' quit.
    Script &command(char letter);
    // Any code at this point of the run: checks, a capture(), a save_png().
    Script &then(std::function<void()> action);
    // The graphics window's close box: the program's next event is KELPA_QUIT.
    Script &close();

    // ---- replaying a recording ----
    // Plays a script file back from its first line, as Playback Script plays KELPA.SCR: the
    // same reader, the same log messages, the same events (the file stands in for KELPA.SCR,
    // which is not touched). A recording or playback of the program's own is stopped first.
    // The steps after it run while it plays; a file that cannot be opened plays nothing and is
    // reported on standard error.
    Script &play(const std::string &path);
    // Waits until the playback has ended (the end of the file, a line that is no event). With a
    // count: until the playback has delivered that many periodic events in all, or ended.
    Script &wait_playback(int periodic_events = -1);
    // What the C library's time() returns when the run starts (seconds since 1970); it goes on
    // with the virtual clock. A program that seeds its random numbers from time() then replays
    // a recording exactly. Without it, time() is the real clock.
    Script &start_time(int64_t seconds);

  private:
    friend int run_watched(const std::function<int()> &program, const Script &script,
                           const std::function<bool()> &watch);
    struct Step {
        int wait_ms; // >= 0: a pause of that many ms; -1: an action
        bool input;  // the action gives the program input, which it handles first
        std::function<void()> action;
        std::function<bool()> until; // set: a pause until it returns true, asked at each wait
    };
    Script &add(Step step);
    std::vector<Step> steps_;
    int64_t start_time_ = -1;
    mutable bool running_ = false; // run() is carrying it out
};

// reset(), then runs program (game_main, or a function of the program's own) to its return,
// carrying out the script. After the last step the graphics window is closed. A program that
// would wait after its window is gone ends the test process with a message instead of hanging.
// Returns the program's result.
int run(const std::function<int()> &program, const Script &script);

// Milliseconds of virtual time since reset().
uint32_t now_ms();

// ---- reading back ----

struct Rgb {
    int red = -1, green = -1, blue = -1; // -1: no pixel there
    bool operator==(const Rgb &o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const Rgb &o) const { return !(*this == o); }
};

// The colour the graphics window shows at a point. Drawing not yet copied to the window is
// copied first, so the result is what the window shows once the program waits again.
Rgb pixel(int x, int y);
// The index (0..23) of the colour-table colour shown at a point; -1 for any other colour.
int color_at(int x, int y);

// The message log, oldest line first, each line without the newline that ends it.
std::vector<std::string> log_lines();
// Every line the log received since reset(), in order: the log itself keeps only the last 25.
// With logging on, a trace of every drawing operation.
std::vector<std::string> all_log_lines();

// What a window shows, with its menu bar, saved as a PNG file. False when it cannot be saved
// (the window no longer exists, the file cannot be written).
bool save_png(const std::string &path);
bool save_log_png(const std::string &path);

// ---- pictures ----

// The pixels of the graphics window's client area: what the program draws on.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb; // 0xRRGGBB, rows from the top, pixels from the left
    bool operator==(const Picture &o) const { return width == o.width && height == o.height && rgb == o.rgb; }
    bool operator!=(const Picture &o) const { return !(*this == o); }
};

// The graphics window's client area now (drawing not yet copied to the window copied first).
Picture capture();
bool save_picture(const Picture &picture, const std::string &path);
// An empty picture when the file cannot be read.
Picture load_picture(const std::string &path);

// Compares actual with the PNG file reference. On any difference, writes NAME.actual.png and
// NAME.expected.png into the working directory (NAME: the reference's file name without .png),
// describes the difference in *why and returns false. With update set the reference is
// written from actual instead, and the result is true.
bool same_picture(const Picture &actual, const std::string &reference, std::string *why = nullptr,
                  bool update = false);

// ---- a recording replayed into pictures ----

struct ReplayOptions {
    // time() at the start, as Script::start_time; -1: the real clock's time now, which the
    // result reports so that the replay can be repeated.
    int64_t start_time = -1;
    // The drawing log is switched on (as Ctrl+L does) before playback starts, if it is off.
    bool logging = false;
    // The replay stops after this much virtual time; 0: no limit.
    uint32_t limit_ms = 0;
    // Each picture the graphics window showed from the program's first wait on, once it has
    // left the screen (or the playback ended), with the virtual times (ms since the start) it
    // came and went; a picture like the one before it is no new picture.
    std::function<void(const Picture &picture, uint32_t from_ms, uint32_t to_ms)> frame;
};

struct Replayed {
    enum End {
        END_OF_FILE,   // the playback read the whole file
        BAD_LINE,      // it stopped at a line that is no event (see line)
        PROGRAM_ENDED, // the program returned while it played
        TIME_LIMIT,    // ReplayOptions::limit_ms ran out
        NOT_OPENED,    // the script file could not be opened: nothing ran
    };
    End end = NOT_OPENED;
    long line = 0;          // BAD_LINE: the line of the file that stopped it, from 1
    uint32_t end_ms = 0;    // virtual time when the playback ended
    int64_t start_time = 0; // what time() returned at the start
    int result = 0;         // the program's result
};

// Runs program as run() does and plays the script file back from its first wait on, as
// Script::play does; when the playback ends the graphics window is closed.
Replayed replay(const std::function<int()> &program, const std::string &path,
                const ReplayOptions &options = {});

} // namespace kelpa_testing
