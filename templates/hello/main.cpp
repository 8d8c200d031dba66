// Hello, KELPA: the program to copy when you start your own. It opens the graphics window and
// the text window, animates a ball that runs to and fro along a track, moves the track to
// where you click and changes the ball's colour when you press a key. Close the graphics
// window (or press Ctrl+Q) to quit.
#include <kelpa.h>

namespace {

// The whole picture, drawn afresh after every event.
void draw(int track_x, int track_y, int ball_offset, int ball_color) {
    kelpa_clear();
    kelpa_text(COLOR_NAVY_BLUE, -200, 220, 24, "Hello, KELPA");
    kelpa_line(COLOR_BLACK, track_x - 120, track_y, track_x + 120, track_y, 2);
    kelpa_circle(ball_color, track_x + ball_offset, track_y + 16, 15);
}

} // namespace

int game_main() {
    kelpa_startup();                 // both windows, the Run menu and the 50 ms timer
    kelpa_set_logging(0);            // no log line for every drawing
    kelpa_set_run_mode(RUN_ANIMATE); // a KELPA_PERIODIC event for every tick or two
    kelpa_log("Click to move the track; press a key to change the ball's colour.\n");

    int track_x = 0, track_y = 0;
    int ball_offset = 0, ball_speed = 10;
    int ball_color = COLOR_RED;
    draw(track_x, track_y, ball_offset, ball_color);

    int x = 0, y = 0; // where a click was, in centred coordinates (y upward)
    char key = 0;     // which key was typed
    for (;;) {
        int kind = kelpa_next_event(x, y, key);
        if (kind == KELPA_QUIT)
            break;
        if (kind == KELPA_MOUSE) {
            track_x = x;
            track_y = y;
        } else if (kind == KELPA_KBD) {
            ball_color = (ball_color + 1) % COLOR_COUNT;
            if (ball_color == COLOR_WHITE) // white on white would vanish
                ball_color = COLOR_RED;
            kelpa_log("Key '%c': the ball is now colour %d.\n", key, ball_color);
        } else if (kind == KELPA_PERIODIC) {
            ball_offset += ball_speed;
            if (ball_offset == 100 || ball_offset == -100)
                ball_speed = -ball_speed;
        }
        draw(track_x, track_y, ball_offset, ball_color);
    }
    kelpa_shutdown();
    return 0;
}
