// Bouncing ball: animation with periodic events. kelpa_set_run_mode(RUN_ANIMATE) makes
// kelpa_next_event return a KELPA_PERIODIC event every tick or two of the 50 ms timer; on each
// one the ball moves a step, bounces off the walls and the picture is drawn afresh.
// The Run menu halts (Ctrl+H), single-steps (Ctrl+F) and resumes (Ctrl+A) the animation.
#include "kelpa.h"

namespace {

const int LEFT = -250, RIGHT = 250, BOTTOM = -200, TOP = 200; // the walls
const int RADIUS = 12;
const int TRAIL = 8; // how many earlier positions stay visible

} // namespace

int game_main() {
    kelpa_startup();
    kelpa_set_logging(0);
    kelpa_set_run_mode(RUN_ANIMATE);

    int x = -200, y = 150; // the ball's centre
    int dx = 11, dy = -8;  // its step per periodic event
    int trail_x[TRAIL] = {}, trail_y[TRAIL] = {}, ticks = 0;

    int ex = 0, ey = 0;
    char key = 0;
    while (kelpa_next_event(ex, ey, key) != KELPA_QUIT) {
        // Only periodic events move the ball; clicks and keys are ignored here.
        trail_x[ticks % TRAIL] = x;
        trail_y[ticks % TRAIL] = y;
        ++ticks;
        x += dx;
        y += dy;
        if (x - RADIUS <= LEFT || x + RADIUS >= RIGHT)
            dx = -dx;
        if (y - RADIUS <= BOTTOM || y + RADIUS >= TOP)
            dy = -dy;

        kelpa_clear();
        kelpa_rect(COLOR_NAVY_BLUE, LEFT, TOP, RIGHT, BOTTOM, 3);
        for (int i = 0; i < TRAIL && i < ticks; ++i)
            kelpa_circle(COLOR_GRAY_20, trail_x[i], trail_y[i], 4);
        kelpa_circle(COLOR_ORANGE, x, y, RADIUS);
    }
    kelpa_shutdown();
    return 0;
}
