// The program's working directory in the browser: an IndexedDB-backed folder, so that
// KELPA.SCR survives a reload. It is loaded before the program starts; the page writes it
// back whenever the script file has changed and is no longer open (see kelpaPage.fileCheck).
// A script loaded on the page replaces the file only while no stream has it open.
#include "web_display.h"

#include <emscripten.h>

namespace win32::web {

namespace {

// The library's Run menu: the class of its graphics window and the commands that start and
// stop a recording and a playback, the ids Ctrl+R and Ctrl+P run.
const char graphics_class[] = "DrawWndClass";
constexpr UINT record_command = 5;
constexpr UINT playback_command = 6;

// clang-format off
EM_ASYNC_JS(void, js_mount_files, (), {
    FS.mkdir("/kelpa");
    FS.mount(IDBFS, {}, "/kelpa");
    FS.chdir("/kelpa");
    await new Promise(resolve => FS.syncfs(true, err => {
        if (err)
            console.warn("could not load the saved files", err);
        resolve();
    }));
    kelpaPage.filesReady(FS, "/kelpa/KELPA.SCR");
});
EM_JS(int, js_script_in_use, (), { return kelpaPage.scriptInUse() ? 1 : 0; });
EM_JS(void, js_finish_load, (int ended), { kelpaPage.finishLoad(ended); });
// clang-format on

bool checked(HMENU menu, UINT command) {
    const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

} // namespace

void mount_files() {
    js_mount_files();
}

void load_script_file() {
    int ended = 0;
    HWND graphics = FindWindowA(graphics_class, nullptr);
    HMENU menu = graphics ? GetMenu(graphics) : nullptr;
    // Sent, not posted: each stop has run (its counted ticks written, the file closed, the
    // check mark removed) before the page writes the file.
    if (menu && checked(menu, record_command)) {
        SendMessageA(graphics, WM_COMMAND, record_command, 0);
        ended = 1;
    }
    if (menu && checked(menu, playback_command)) {
        SendMessageA(graphics, WM_COMMAND, playback_command, 0);
        ended = 2;
    }
    // Play One, and a playback stopped at a line it could not read, leave the file open for
    // reading with no check mark. Starting a recording closes that stream; stopping it
    // straight away writes nothing, since no event came in between.
    if (menu && js_script_in_use()) {
        SendMessageA(graphics, WM_COMMAND, record_command, 0);
        SendMessageA(graphics, WM_COMMAND, record_command, 0);
    }
    js_finish_load(ended);
}

} // namespace win32::web
