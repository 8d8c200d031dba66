// The "&Run" menu and its Ctrl+letter twins: animation control, logging, script recording and
// playback, quit. Invariant: recording and playback never hold the script stream together;
// starting either one stops the other and closes the stream it left open.
#include "kelpa_private.h"

namespace {

struct MenuItem {
    UINT flags;
    UINT id;
    const char *text;
};

const MenuItem run_menu_items[] = {
    {MF_STRING, IDM_ANIMATE, "&Animate\tCtrl+A"},
    {MF_STRING, IDM_HALT, "&Halt animation\tCtrl+H"},
    {MF_STRING, IDM_STEP, "Advance one &frame\tCtrl+F"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING | MF_CHECKED, IDM_LOGGING, "&Logging\tCtrl+L"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, IDM_RECORD, "&Record Script\tCtrl+R"},
    {MF_STRING, IDM_PLAYBACK, "&Playback Script\tCtrl+P"},
    {MF_STRING, IDM_PLAY_ONE, "Play &One Script\tCtrl+O"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, IDM_QUIT, "&Quit\tCtrl+Q"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING | MF_GRAYED, IDM_INFO, "KELPA v2.2xx April 2000"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "MAC: mac@example.org"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "WINDOWS: windows@example.org"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "UPDATES: updates@example.org"},
};

// Letter of each command, in command-id order from IDM_ANIMATE.
const char command_letters[] = "AHFLRPOQ";

// Writes the periodic events still counted, then closes the write stream.
void stop_recording() {
    LibraryState &s = library_state;
    s.recording = 0;
    set_menu_check(IDM_RECORD, false);
    script_write_pending_run();
    script_close();
}

void toggle_recording() {
    LibraryState &s = library_state;
    if (s.recording) {
        stop_recording();
        return;
    }
    // Any open stream is one that playback left open for reading; a recording must not
    // write into it, and its leftover repeats are no count of ours.
    if (s.playing_back || s.play_one)
        stop_playback();
    script_close();
    s.periodic_run = 0;
    s.script_begun = 0;
    s.recording = 1;
    set_menu_check(IDM_RECORD, true);
}

// What Playback and Play One do before reading. Playback never reads the file a recording
// is writing: the recording ends first, its pending run written, so playback starts at its
// first line. Either command goes on with an open read stream, the rest of a counted line
// included; a stream opened afresh starts with nothing counted.
void prepare_playback() {
    LibraryState &s = library_state;
    if (s.recording)
        stop_recording();
    if (!s.script_file)
        s.periodic_run = 0;
    s.animating = 0;
    s.step_pending = 0;
}

void toggle_playback() {
    LibraryState &s = library_state;
    if (s.playing_back) {
        s.playing_back = 0;
        set_menu_check(IDM_PLAYBACK, false);
        script_close();
        return;
    }
    prepare_playback();
    s.playing_back = 1;
    set_menu_check(IDM_PLAYBACK, true);
}

void play_one_script() {
    prepare_playback();
    library_state.play_one = 1;
}

void toggle_logging() {
    LibraryState &s = library_state;
    s.logging = s.logging ? 0 : 1;
    set_menu_check(IDM_LOGGING, s.logging == 1);
}

} // namespace

void set_menu_check(UINT id, bool checked) {
    if (library_state.run_menu)
        CheckMenuItem(library_state.run_menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void build_run_menu(HWND graphics_window) {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    library_state.run_menu = popup;
    for (const MenuItem &item : run_menu_items)
        AppendMenuA(popup, item.flags, item.id, item.text);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Run");
    SetMenu(graphics_window, bar);
    DrawMenuBar(graphics_window);
}

void track_key_down(WPARAM key) {
    if (key == VK_CONTROL) {
        library_state.ctrl_down = 1;
        return;
    }
    if (library_state.ctrl_down != 1)
        return;
    for (int i = 0; command_letters[i]; ++i) {
        const WPARAM upper = static_cast<unsigned char>(command_letters[i]);
        if (key == upper || key == upper + ('a' - 'A')) {
            run_command(IDM_ANIMATE + i);
            return;
        }
    }
}

void track_key_up(WPARAM key) {
    if (key == VK_CONTROL)
        library_state.ctrl_down = 0;
}

void run_command(WPARAM id) {
    LibraryState &s = library_state;
    switch (id) {
    case IDM_ANIMATE: s.animating = 1; break;
    case IDM_HALT: s.animating = 0; break;
    case IDM_STEP:
        s.animating = 0;
        s.step_pending = 1;
        break;
    case IDM_LOGGING: toggle_logging(); break;
    case IDM_RECORD: toggle_recording(); break;
    case IDM_PLAYBACK: toggle_playback(); break;
    case IDM_PLAY_ONE: play_one_script(); break;
    // Posted, not acted on: the messages queued ahead are handled first, and the windows and
    // the timer stay until the process ends.
    case IDM_QUIT: PostQuitMessage(0); break;
    default: break; // IDM_INFO among others: the grayed lines do nothing
    }
}

void forward_key_message(UINT msg, WPARAM key, LPARAM key_data) {
    // Posted, so the pump translates the key-down into characters for the program, and the
    // Ctrl tracking and commands work whichever window has the focus.
    PostMessageA(library_state.graphics_window, msg, key, key_data);
}
