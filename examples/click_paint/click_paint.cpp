// Click to paint: mouse events. Every left click in the graphics window arrives as a
// KELPA_MOUSE event with the point in centred coordinates (origin in the middle, y upward),
// and the program paints a disc there. Keys choose the brush: space the next colour, + and -
// its size, c clears. The frame buffer keeps what was painted; nothing is redrawn.
#include "kelpa.h"

namespace {

// The brush in the top-left corner: its colour, and its size as the square's size.
void show_brush(int color, int radius) {
    kelpa_rect(COLOR_WHITE, -290, 250, -230, 190, 0);
    kelpa_rect(COLOR_BLACK, -290, 250, -230, 190, 1);
    kelpa_rect(color, -260 - radius, 220 + radius, -260 + radius, 220 - radius, 0);
}

} // namespace

int game_main() {
    kelpa_startup();
    kelpa_set_logging(0);
    kelpa_clear();

    int color = COLOR_RED, radius = 10;
    show_brush(color, radius);
    int x = 0, y = 0;
    char key = 0;
    for (;;) {
        int kind = kelpa_next_event(x, y, key);
        if (kind == KELPA_QUIT)
            break;
        if (kind == KELPA_MOUSE) {
            kelpa_circle(color, x, y, radius);
        } else if (kind == KELPA_KBD) {
            if (key == ' ')
                color = color == COLOR_COUNT - 1 ? COLOR_BLACK : color + 1;
            else if (key == '+' && radius < 25)
                radius += 5;
            else if (key == '-' && radius > 5)
                radius -= 5;
            else if (key == 'c')
                kelpa_clear();
        }
        show_brush(color, radius);
    }
    kelpa_shutdown();
    return 0;
}
