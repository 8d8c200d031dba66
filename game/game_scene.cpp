// The scene: button bar, player face, chaser face, pick-ups, points and health, and
// "GAME OVER" last of all. Later shapes cover earlier ones, so the drawing order below is
// what decides which face lies on top (the chaser) and that pick-ups lie over both.
#include "game_scene.h"

#include "kelpa.h"

void draw_scene(const GameState &state) {
    kelpa_clear();
    draw_button_bar();
    draw_player_face(state.player_x, state.player_y, state.player_color);
    draw_chaser_face(state.chaser_x, state.chaser_y, state.chaser_color);
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        if (state.pickup_kind[i] != PICKUP_NONE)
            draw_pickup(state.pickup_x[i], state.pickup_y[i], state.pickup_kind[i]);
    }
    kelpa_text_printf(COLOR_FOREST_GREEN, 216, 227, 12, " Points %5d", state.points);
    kelpa_text_printf(COLOR_ORANGE, 60, 227, 12, " Health %d", state.health);
    if (state.game_over)
        kelpa_text_printf(COLOR_RED, -150, 0, 48, "GAME OVER");
}

void draw_button_bar() {
    kelpa_line(COLOR_BLACK, -300, 225, 300, 225, 2);
    // Three frames of 100 pixels side by side; neighbours share their edge.
    for (int x = -295; x < 5; x += 100)
        kelpa_rect(COLOR_BLACK, x, 225, x + 100, 245, 2);
    kelpa_text_printf(COLOR_BLUE, -285, 227, 12, "Change Color");
    kelpa_text_printf(COLOR_BLUE, -165, 227, 12, "Restart");
    kelpa_text_printf(COLOR_BLUE, -82, 227, 12, "Change Level");
}

void draw_player_face(int x, int y, int color) {
    kelpa_circle(color, x, y, 20);
    kelpa_circle(COLOR_BLACK, x - 6, y + 6, 5);
    kelpa_circle(COLOR_BLACK, x + 6, y + 6, 5);
    kelpa_line(COLOR_BLACK, x - 10, y - 8, x + 10, y - 8, 3);
}

void draw_chaser_face(int x, int y, int color) {
    kelpa_circle(color, x, y, 20);
    kelpa_circle(COLOR_WHITE, x, y + 8, 5);
    kelpa_circle(COLOR_BLACK, x, y + 7, 2); // the pupil sits one pixel low in the eye
    kelpa_line(COLOR_BLACK, x - 10, y - 8, x + 10, y - 8, 3);
}

void draw_pickup(int x, int y, int kind) {
    int inner = 0;
    int outer = 0;
    pickup_colors(kind, inner, outer);
    if (kind == PICKUP_LEVEL) {
        kelpa_rect(outer, x - 12, y - 12, x + 12, y + 12, 0);
        kelpa_rect(inner, x - 6, y - 6, x + 6, y + 6, 0);
    } else {
        kelpa_circle(outer, x, y, 12);
        kelpa_circle(inner, x, y, 7);
    }
}

void pickup_colors(int kind, int &inner, int &outer) {
    struct Colors {
        int outer;
        int inner;
    };
    static constexpr Colors table[] = {
        {COLOR_WHITE, COLOR_WHITE},     // PICKUP_NONE: never drawn
        {COLOR_SEA_GREEN, COLOR_PEACH}, // PICKUP_POINT
        {COLOR_BLACK, COLOR_GRAY_20},   // PICKUP_TELEPORT
        {COLOR_MAGENTA, COLOR_ORANGE},  // PICKUP_DOUBLE
        {COLOR_RED, COLOR_WHITE},       // PICKUP_RESHUFFLE
        {COLOR_GRAY_50, COLOR_OLIVE},   // PICKUP_HEALTH
        {COLOR_NAVY_BLUE, COLOR_BROWN}, // PICKUP_REKIND
        {COLOR_BROWN, COLOR_ICE_BLUE},  // PICKUP_LEVEL
    };
    const Colors &c = (kind >= 0 && kind <= PICKUP_LEVEL) ? table[kind] : table[PICKUP_NONE];
    outer = c.outer;
    inner = c.inner;
}
