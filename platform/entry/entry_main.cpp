// main() for hosts other than Windows: chooses the display, turns requests to terminate into
// closes of the windows, then calls the program's WinMain as the system's GUI start-up would,
// with an instance handle, no previous instance, the command line and SW_SHOWDEFAULT.
#include "display.h"
#include "host_signals.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    // A person needs windows to see: without a display server there is nothing to run on.
    // (The headless display is for tests, which drive it themselves.)
    const win32::Display *d = win32::open_web_display();
    if (!d)
        d = win32::open_sdl2_display();
    if (!d) {
        std::fprintf(stderr, "%s: no display available (no display server, or built without SDL2)\n",
                     argc > 0 ? argv[0] : "program");
        return 1;
    }
    win32::select_display(d);
    // SIGTERM, SIGHUP and Ctrl+C close the windows, so the program ends as when the user
    // closes them.
    win32::catch_termination_signals();

    std::string cmd_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            cmd_line += ' ';
        cmd_line += argv[i];
    }
    static int instance_tag;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(&instance_tag);
    int code = WinMain(instance, nullptr, cmd_line.data(), SW_SHOWDEFAULT);
    win32::display_program_ended(code);
    return code;
}
