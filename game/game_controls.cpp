// Keys and buttons. A key changes only the state (and "p" draws "Paused"); the two face
// buttons redraw their face at once over the current frame, so a change shows even while
// the game is paused or over, when no periodic redraw comes.
#include "game_controls.h"

#include "game_scene.h"
#include "kelpa.h"

#include <cstdint>
#include <limits>

namespace {

// Velocities have no bound; held at the ends of the range rather than wrapping round.
void add_velocity(int32_t &v, int32_t delta) {
    int64_t sum = int64_t{v} + delta;
    if (sum > std::numeric_limits<int32_t>::max())
        sum = std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min())
        sum = std::numeric_limits<int32_t>::min();
    v = static_cast<int32_t>(sum);
}

} // namespace

void game_key(char key, GameState &state) {
    switch (key) {
    case 'i': add_velocity(state.player_vy, 5); break;
    case 'j': add_velocity(state.player_vx, -5); break;
    case 'k': add_velocity(state.player_vy, -5); break;
    case 'l': add_velocity(state.player_vx, 5); break;
    case 'p':
        state.paused = state.paused ? 0 : 1;
        // Drawn either way: on resume the next tick's redraw removes it.
        kelpa_text_printf(COLOR_RED, 10, 227, 12, "Paused");
        break;
    default: break;
    }
}

int hit_button(int32_t x, int32_t y) {
    // The whole band above the bar's line counts, with no outer bound on x: clicks beside
    // the frames go to the nearest end button.
    if (y < 225)
        return BUTTON_NONE;
    if (x < -195)
        return BUTTON_CHANGE_COLOR;
    if (x < -95)
        return BUTTON_RESTART;
    return BUTTON_CHANGE_LEVEL;
}

void press_button(int button, GameState &state) {
    switch (button) {
    case BUTTON_CHANGE_COLOR:
        // Steps by two through the odd indices, so the face is never black.
        state.player_color = (state.player_color + 1) % 24 + 1;
        draw_player_face(state.player_x, state.player_y, state.player_color);
        break;
    case BUTTON_CHANGE_LEVEL:
        advance_chaser_level(state);
        draw_chaser_face(state.chaser_x, state.chaser_y, state.chaser_color);
        break;
    case BUTTON_RESTART: reset_game(state); break; // the next periodic event draws it
    default: break;
    }
}
