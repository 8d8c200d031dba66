// The game's controls and main loop: keys steer and pause, the button bar above the field
// changes colour and level or restarts, periodic events run the tick rules and redraw.
// game_main owns the one GameState; run_game is its loop, on a state set up by the caller.
#pragma once

#include "game_state.h"

// Button codes, the result of hit_button.
enum {
    BUTTON_NONE = 0,
    BUTTON_CHANGE_COLOR = 1,
    BUTTON_CHANGE_LEVEL = 2,
    BUTTON_RESTART = 3,
};

void game_key(char key, GameState &state);
int hit_button(int32_t x, int32_t y);
void press_button(int button, GameState &state);

// Starts the library, clears the window, starts the animation with the drawing log off,
// and handles events until KELPA_QUIT; then shuts the library down and returns 0.
int run_game(GameState &state);
