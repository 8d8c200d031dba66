// The shapes demo: draws the shapes scene once, then waits for events until the window is
// closed. Nothing animates; the frame buffer keeps the picture and repaints come from it.
#include "kelpa.h"
#include "shapes_scene.h"

int game_main() {
    kelpa_startup();
    kelpa_set_logging(0); // the scene is a hundred drawings; the log keeps only the note below
    draw_shapes_scene();
    kelpa_log("Shapes demo: close the graphics window to quit.\n");
    int x = 0, y = 0;
    char key = 0;
    while (kelpa_next_event(x, y, key) != KELPA_QUIT) {
    }
    kelpa_shutdown();
    return 0;
}
