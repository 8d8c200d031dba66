// Record and replay: the script file. Ctrl+R (Run > Record Script) writes every event the
// program receives into KELPA.SCR, one line each (a run of periodic events as one counted
// line); Ctrl+R again stops. Ctrl+P (Run > Playback Script) reads the file back: the events
// come from it instead of from you and the timer, so the same drawing happens again.
// Here a turtle walks on every periodic event, j and l turn it left and right, a click drops
// a marker, and c clears and sends the turtle home: press c, Ctrl+R, play, Ctrl+R; then c and
// Ctrl+P to watch the same walk again.
#include "kelpa.h"

namespace {

const int DX[4] = {8, 0, -8, 0}; // east, north, west, south
const int DY[4] = {0, 8, 0, -8};

struct Turtle {
    int x = 0, y = 0, heading = 0;
};

void go_home(Turtle &turtle) {
    turtle = Turtle{};
    kelpa_clear();
    kelpa_circle(COLOR_FOREST_GREEN, 0, 0, 6);
}

} // namespace

int game_main() {
    kelpa_startup();
    kelpa_set_logging(0);
    kelpa_set_run_mode(RUN_ANIMATE);

    Turtle turtle;
    go_home(turtle);
    int x = 0, y = 0;
    char key = 0;
    for (;;) {
        int kind = kelpa_next_event(x, y, key);
        if (kind == KELPA_QUIT)
            break;
        if (kind == KELPA_MOUSE) {
            kelpa_circle(COLOR_ORANGE, x, y, 8);
        } else if (kind == KELPA_KBD) {
            if (key == 'l')
                turtle.heading = (turtle.heading + 3) % 4;
            else if (key == 'j')
                turtle.heading = (turtle.heading + 1) % 4;
            else if (key == 'c')
                go_home(turtle);
        } else if (kind == KELPA_PERIODIC) {
            int nx = turtle.x + DX[turtle.heading], ny = turtle.y + DY[turtle.heading];
            kelpa_line(COLOR_PURPLE, turtle.x, turtle.y, nx, ny, 3);
            turtle.x = nx;
            turtle.y = ny;
        }
    }
    kelpa_shutdown();
    return 0;
}
