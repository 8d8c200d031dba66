// The game's event loop: every event the library delivers becomes a change of the state.
// Periodic events are ignored while paused (and so while over): the window keeps the last
// frame, with whatever the keys and buttons drew over it since.
#include "game_controls.h"
#include "game_scene.h"
#include "kelpa.h"

int run_game(GameState &state) {
    kelpa_startup();
    kelpa_clear();
    kelpa_set_run_mode(RUN_ANIMATE);
    kelpa_set_logging(0);
    // Nothing of the scene is drawn yet: the first periodic event draws it.
    for (;;) {
        int x = 0;
        int y = 0;
        char key = 0;
        switch (kelpa_next_event(x, y, key)) {
        case KELPA_MOUSE: press_button(hit_button(x, y), state); break;
        case KELPA_KBD:
            if (!state.game_over)
                game_key(key, state);
            break;
        case KELPA_PERIODIC:
            if (!state.paused) {
                game_tick(state);
                draw_scene(state);
            }
            break;
        case KELPA_QUIT: kelpa_shutdown(); return 0;
        default: break;
        }
    }
}
