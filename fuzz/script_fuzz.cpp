// A byte-coded session of the Run menu over a "KELPA.SCR" of fuzzed text: commands by menu
// and by Ctrl+letter in either window, clicks, keys, ticks, run modes, the quit, and changes
// to the file itself, so recording and playback interleave and the file is reopened. After
// every action nothing is leaked and KELPA.SCR holds what was recorded (script_recording.h);
// after every step, and at the end, a live click arrives.
//
// Input: the first script text, up to a backslash that is not doubled; the actions come
// from the end of the input, a byte each plus their arguments. No actions: plain playback.
#include "script_recording.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int MAX_EVENTS = 3000; // a huge periodic count would play for ever
constexpr int MAX_STEP_EVENTS = 16;
constexpr size_t MAX_SCRIPT = 4096;
constexpr int IDLE_X = -7, IDLE_Y = 5; // where the user clicks when only the user can go on

enum Action {
    MENU_COMMAND,
    CTRL_COMMAND,
    CLICK,
    KEY,
    CTRL_KEY,
    RUN_MODE,
    ADVANCE_CLOCK,
    NEXT_EVENTS,
    WRITE_SCRIPT,
    SPECIAL_FILE,
    QUIT,
    SET_LOGGING,
    END_STEP,
    FULL_DISK,
    CUT_SCRIPT,
    ACTION_COUNT
};

struct Session {
    explicit Session(FuzzedDataProvider &provider) : in(provider) {}
    FuzzedDataProvider &in;
    std::vector<std::string> scripts; // every text written as KELPA.SCR, the first one first
    int events = 0;                   // calls of kelpa_next_event
    int probes = 0;
    bool quit_asked = false;    // Quit, the close box or RUN_QUIT: KELPA_QUIT must come
    bool quit_may_come = false; // also a Q key while Ctrl may be down
    bool ended = false;         // the quit came and the program shut down
    bool closed = false;        // the close box destroyed the graphics window and its timer
    bool full_disk = false;     // while the library runs, files cannot grow
    fuzz::ExpectedScript expected;
    // Record, Playback and Play One inputs queued since the queue was last seen without
    // input: with two, one call may stop a recording and start another.
    int script_commands_queued = 0;
    win32::LiveCounts start;
    int start_fds = 0;
};

HWND graphics() {
    return library_state.graphics_window;
}

bool script_playing() {
    return library_state.playing_back || library_state.play_one;
}

struct Event {
    int kind, x, y;
};

// Input or a posted message is waiting; a repaint or a tick does not count.
bool input_queued() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, WM_PAINT - 1, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, WM_PAINT + 1, WM_TIMER - 1, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xffffffff, PM_NOREMOVE);
}

// What the recording makes of a call of kelpa_next_event (or of a dispatch outside one,
// kind 0), from the recording flag before it.
void expect_recorded(Session &s, bool was_recording, int kind, int x, int y, char key) {
    const bool recording = library_state.recording != 0;
    fuzz::expect_after_call(s.expected, was_recording, recording, s.script_commands_queued >= 2, kind, x, y,
                            key);
    if (s.full_disk && (was_recording || recording))
        fuzz::expect_unknown(s.expected);
    if (!input_queued())
        s.script_commands_queued = 0;
}

// One event, as the program takes it; the program ends at its quit as the game does.
Event next_event(Session &s) {
    Event e{0, 0, 0};
    char key = 0;
    ++s.events;
    fuzz::expect_what_is_there(s.expected);
    const bool was_recording = library_state.recording != 0;
    {
        const fuzz::FullDisk full(s.full_disk);
        e.kind = kelpa_next_event(e.x, e.y, key);
    }
    expect_recorded(s, was_recording, library_state.pending_kind, e.x, e.y, key);
    if (e.kind < KELPA_MOUSE || e.kind > KELPA_QUIT)
        fuzz::fail("events are clicks, keys, ticks and the quit");
    if (e.kind == KELPA_QUIT) {
        if (!s.quit_asked && !s.quit_may_come)
            fuzz::fail("a quit nobody asked for");
        const bool recording = library_state.recording != 0;
        {
            const fuzz::FullDisk full(s.full_disk); // the last counted line is written here
            kelpa_shutdown();
        }
        if (recording)
            fuzz::expect_run_written(s.expected);
        if (recording && s.full_disk)
            fuzz::expect_unknown(s.expected);
        if (library_state.script_file)
            fuzz::fail("shut-down closes the script file");
        s.ended = true;
    }
    return e;
}

bool checked(UINT id) {
    return (GetMenuState(library_state.run_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// KELPA.SCR as recorded; no object, DC, block or descriptor left behind (the script stream is
// the one descriptor the library may hold), the log ring sound, the check marks showing the
// flags.
void audit(Session &s) {
    fuzz::check_script_file(s.expected);
    fuzz::expect_what_is_there(s.expected);
    if (s.ended)
        return; // shut down: the window's DC is released, as the program ends
    fuzz::check_log_ring();
    win32::LiveCounts now = fuzz::counts_without_log();
    if (s.closed) { // the window, its timer and its DC went with the close box
        now.windows = s.start.windows;
        now.timers = s.start.timers;
        now.dcs = s.start.dcs;
        now.menus = s.start.menus;
    }
    if (now != s.start)
        fuzz::fail("the session left objects, DCs or blocks behind");
    if (fuzz::open_fds() != s.start_fds + (library_state.script_file ? 1 : 0))
        fuzz::fail("only the script stream stays open");
    const LibraryState &st = library_state;
    if (!s.closed &&
        (checked(IDM_RECORD) != (st.recording != 0) || checked(IDM_PLAYBACK) != (st.playing_back != 0) ||
         checked(IDM_LOGGING) != (st.logging != 0)))
        fuzz::fail("the check marks show recording, playback and logging");
}

// Playback runs to its end within the budget, or the user stops it.
void finish_playback(Session &s) {
    while (script_playing() && !s.ended) {
        if (s.events >= MAX_EVENTS && library_state.playing_back)
            run_command(IDM_PLAYBACK);
        else
            next_event(s); // a Play One pending reads its one line here
    }
}

// A live click gets through once the input queued ahead of it is taken and playback, which
// replaces clicks, has finished.
void probe_live_click(Session &s) {
    for (int n = 0; n < 4096 && !s.ended && input_queued(); ++n)
        next_event(s);
    finish_playback(s);
    if (s.ended)
        return;
    const int px = s.probes % 41 - 20, py = s.probes % 23 - 11;
    ++s.probes;
    headless::click(graphics(), library_state.origin_x + px, library_state.origin_y - py);
    const Event e = next_event(s);
    if (!s.ended && (e.kind != KELPA_MOUSE || e.x != px || e.y != py))
        fuzz::fail("a live click arrives");
}

HWND either_window(Session &s) {
    return s.in.ConsumeBool() ? library_state.text_window : graphics();
}

void command_by_ctrl_letter(HWND window, char letter) {
    headless::key_down(window, VK_CONTROL);
    headless::key(window, letter);
    headless::key_up(window, VK_CONTROL);
}

void write_script(Session &s) {
    FuzzedDataProvider &in = s.in;
    std::string text;
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: text = in.ConsumeRandomLengthString(MAX_SCRIPT); break;
    case 1: text = s.scripts[in.ConsumeIntegralInRange<size_t>(0, s.scripts.size() - 1)]; break;
    case 2: { // a prefix of what is there now, a recording cut short among them
        // A regular file only: opening a FIFO of that name would wait for a writer for ever.
        if (const std::optional<fuzz::FileContent> now = fuzz::read_script_file())
            text = now->text.substr(0, MAX_SCRIPT);
        text.resize(in.ConsumeIntegralInRange<size_t>(0, text.size()));
        break;
    }
    }
    fuzz::write_script(text, in.ConsumeBool());
    fuzz::expect_unknown(s.expected);
    s.scripts.push_back(text);
}

void act(Session &s, Action action) {
    FuzzedDataProvider &in = s.in;
    switch (action) {
    case MENU_COMMAND: {
        // The Run menu's items but Quit, and ids no item has.
        static const WPARAM ids[] = {0,          IDM_ANIMATE,  IDM_HALT,     IDM_STEP, IDM_LOGGING,
                                     IDM_RECORD, IDM_PLAYBACK, IDM_PLAY_ONE, IDM_INFO};
        const WPARAM id = ids[in.ConsumeIntegralInRange<size_t>(0, 8)];
        s.script_commands_queued += id == IDM_RECORD || id == IDM_PLAYBACK || id == IDM_PLAY_ONE;
        PostMessageA(graphics(), WM_COMMAND, id, 0);
        break;
    }
    case CTRL_COMMAND: {
        const HWND window = either_window(s);
        const char letter = "AHFLRPO"[in.ConsumeIntegralInRange(0, 6)];
        s.script_commands_queued += letter == 'R' || letter == 'P' || letter == 'O';
        command_by_ctrl_letter(window, letter);
        break;
    }
    case CLICK: { // anywhere in the client area; the menu bar would open its modal loop
        RECT client{};
        GetClientRect(graphics(), &client);
        const int x = in.ConsumeIntegralInRange<int>(0, std::max<int>(client.right - 1, 0)),
                  y = in.ConsumeIntegralInRange<int>(0, std::max<int>(client.bottom - 1, 0));
        headless::click(graphics(), x, y);
        break;
    }
    case KEY: {
        const HWND window = either_window(s);
        const int vk = in.ConsumeIntegral<uint8_t>(), ch = in.ConsumeIntegral<uint8_t>();
        s.quit_may_come |= vk == 'Q' || vk == 'q'; // a command if Ctrl is down
        s.script_commands_queued += std::strchr("RrPpOo", vk) != nullptr && vk != 0;
        headless::key(window, vk, ch);
        break;
    }
    case CTRL_KEY: { // Ctrl alone: pressed and never released, or released
        const HWND window = either_window(s);
        if (in.ConsumeBool())
            headless::key_down(window, VK_CONTROL);
        else
            headless::key_up(window, VK_CONTROL);
        break;
    }
    case RUN_MODE: {
        static const int modes[] = {RUN_HALT, RUN_STEP, RUN_ANIMATE, 3, -1, RUN_QUIT};
        const int mode = modes[in.ConsumeIntegralInRange(0, 5)];
        s.quit_asked |= mode == RUN_QUIT;
        kelpa_set_run_mode(mode);
        break;
    }
    case ADVANCE_CLOCK: headless::advance(in.ConsumeIntegralInRange(0, 200)); break;
    case NEXT_EVENTS:
        for (int n = in.ConsumeIntegralInRange(1, MAX_STEP_EVENTS);
             n > 0 && !s.ended && s.events < MAX_EVENTS; --n)
            next_event(s);
        break;
    case WRITE_SCRIPT: write_script(s); break;
    case SPECIAL_FILE: {
        fuzz::make_special(fuzz::Special(in.ConsumeIntegralInRange(0, int(fuzz::Special::count) - 1)));
        fuzz::expect_unknown(s.expected);
        break;
    }
    case QUIT:
        s.quit_asked = true;
        switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: command_by_ctrl_letter(either_window(s), 'Q'); break;
        case 1: PostMessageA(graphics(), WM_COMMAND, IDM_QUIT, 0); break;
        case 2:
            headless::close(graphics());
            s.closed = true;
            break;
        }
        break;
    case SET_LOGGING: kelpa_set_logging(in.ConsumeBool()); break;
    case END_STEP: probe_live_click(s); break;
    case FULL_DISK: s.full_disk = in.ConsumeBool(); break;
    case CUT_SCRIPT:
        // Another program cuts KELPA.SCR to nothing while the library may be writing it:
        // exactly the lines written since must be there (a writer that kept its own offset in
        // the file would put a run of NUL bytes in front of them).
        if (fuzz::cut_script() && s.expected.file)
            s.expected.file->text.clear();
        break;
    case ACTION_COUNT: break;
    }
}

// The user's click where a wait could only end by the user: no event armed, nothing running.
// Only the press: a release left queued would make every later wait look busy.
void click_when_idle() {
    const LibraryState &st = library_state;
    if (st.pending_kind == -1 && !st.animating && !st.step_pending && !script_playing())
        PostMessageA(st.graphics_window, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(st.origin_x + IDLE_X, st.origin_y - IDLE_Y));
}

// The state a program has after start-up, with the clock on a tick's boundary, nothing
// queued and no tick pending, so an input plays the same wherever it comes in a run.
void return_to_start() {
    LibraryState &st = library_state;
    script_close();
    st.recording = st.playing_back = st.play_one = 0;
    st.periodic_run = 0;
    st.animating = st.step_pending = 0;
    st.ctrl_down = 0;
    st.logging = 1;
    set_menu_check(IDM_RECORD, false);
    set_menu_check(IDM_PLAYBACK, false);
    set_menu_check(IDM_LOGGING, true);
    headless::advance((TICK_PERIOD_MS - headless::now() % TICK_PERIOD_MS) % TICK_PERIOD_MS);
    MSG msg;
    for (int n = 0; n < 100000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n)
        if (msg.message == WM_PAINT)
            DispatchMessageA(&msg); // a paint stays queued until it is done
    st.tick_seen = 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const fuzz::InScratchDir in_scratch_dir;
    // Starting the library costs more than most inputs: it is started again only after an
    // input that ended the program, and otherwise brought back to where a program starts.
    static bool fresh_start_needed = false;
    if (fresh_start_needed)
        fuzz::begin_session();
    fuzz::session();
    return_to_start();
    headless::on_idle(click_when_idle);

    FuzzedDataProvider in(data, size);
    Session s(in);
    s.scripts.push_back(in.ConsumeRandomLengthString(MAX_SCRIPT));
    fuzz::write_script(s.scripts.front(), true);
    fuzz::expect_what_is_there(s.expected);
    s.start = fuzz::counts_without_log();
    s.start_fds = fuzz::open_fds();

    if (in.remaining_bytes() == 0)
        run_command(IDM_PLAYBACK);
    while (in.remaining_bytes() > 0 && !s.ended && s.events < MAX_EVENTS) {
        act(s, Action(in.ConsumeIntegralInRange(0, ACTION_COUNT - 1)));
        audit(s);
    }
    if (s.quit_asked) // the quit must not get lost, whatever is queued ahead of it
        for (int n = 0; n < 4096 && !s.ended; ++n)
            next_event(s);
    if (!s.ended) {
        probe_live_click(s);
        const bool was_recording = library_state.recording != 0;
        fuzz::dispatch_pending();
        expect_recorded(s, was_recording, 0, 0, 0, 0);
    }
    audit(s);
    if (s.quit_asked && !s.ended)
        fuzz::fail("the quit arrives");

    script_close();
    fuzz::remove_script();
    headless::on_idle(nullptr);
    fresh_start_needed = s.ended || s.closed;
    return 0;
}
