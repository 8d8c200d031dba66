// Drawing of the game scene through the library's drawing operations. The scene is always
// drawn whole from a cleared window; only the two face calls are also used on their own,
// over the current frame, to show a colour or level change at once.
#pragma once

#include "game_state.h"

void draw_scene(const GameState &state);
void draw_button_bar();
void draw_player_face(int x, int y, int color);
void draw_chaser_face(int x, int y, int color);
void draw_pickup(int x, int y, int kind);
void pickup_colors(int kind, int &inner, int &outer);
