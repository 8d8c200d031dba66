// Keyboard mover: key events, and the Run menu's halt and single step. The keys i, j, k and l
// turn a square up, left, down and right; every periodic event moves it one step and leaves a
// trail. Halt the animation with Ctrl+H (Run > Halt animation): keys still arrive, but nothing
// moves until Ctrl+F (Advance one frame) moves exactly one step. Ctrl+A animates again.
#include "kelpa.h"

namespace {

const int STEP = 12; // pixels per periodic event; also the square's size
const int HALF_WIDTH = 288, HALF_HEIGHT = 252;

void draw_square(int color, int x, int y) {
    kelpa_rect(color, x - STEP / 2, y + STEP / 2, x + STEP / 2 - 1, y - STEP / 2 + 1, 0);
}

} // namespace

int game_main() {
    kelpa_startup();
    kelpa_set_logging(0);
    kelpa_set_run_mode(RUN_ANIMATE);
    kelpa_clear();

    int x = 0, y = 0, dx = STEP, dy = 0;
    draw_square(COLOR_BLUE, x, y);
    int ex = 0, ey = 0;
    char key = 0;
    for (;;) {
        int kind = kelpa_next_event(ex, ey, key);
        if (kind == KELPA_QUIT)
            break;
        if (kind == KELPA_KBD) {
            if (key == 'i')
                dx = 0, dy = STEP;
            else if (key == 'k')
                dx = 0, dy = -STEP;
            else if (key == 'j')
                dx = -STEP, dy = 0;
            else if (key == 'l')
                dx = STEP, dy = 0;
        } else if (kind == KELPA_PERIODIC) {
            draw_square(COLOR_ICE_BLUE, x, y); // the trail
            x += dx;
            y += dy;
            // Off one edge, on at the opposite one.
            if (x > HALF_WIDTH)
                x = -HALF_WIDTH;
            if (x < -HALF_WIDTH)
                x = HALF_WIDTH;
            if (y > HALF_HEIGHT)
                y = -HALF_HEIGHT;
            if (y < -HALF_HEIGHT)
                y = HALF_HEIGHT;
            draw_square(COLOR_BLUE, x, y);
        }
    }
    kelpa_shutdown();
    return 0;
}
