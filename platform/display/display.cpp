// The display in use. The headless display serves until a program selects another.
#include "display.h"

namespace win32 {

namespace {
const Display *current = &headless_display;
}

const Display &display() {
    return *current;
}

void select_display(const Display *d) {
    current = d ? d : &headless_display;
}

#ifndef WIN32_HAVE_SDL2
const Display *open_sdl2_display() {
    return nullptr;
}
#endif

#ifndef WIN32_HAVE_WEB
const Display *open_web_display() {
    return nullptr;
}
void display_program_ended(int) {}
#endif

} // namespace win32
