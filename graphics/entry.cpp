// The process entry: keeps what the system hands the program and runs game_main.
#include "kelpa_private.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev_instance, LPSTR cmd_line, int show) {
    (void)cmd_line; // the program takes no arguments
    library_state.instance = instance;
    library_state.prev_instance = prev_instance;
    library_state.show_mode = show;
    return game_main();
}
