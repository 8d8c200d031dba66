// The game's one state record, its constants, and the rules that advance it tick by tick.
// Nothing here draws or knows the library: the rules take and give plain integers, and
// every position they produce is clamped into the field, so the tests run them windowless.
#pragma once

#include <cstdint>

// Pick-up kinds; PICKUP_NONE marks an empty slot.
enum {
    PICKUP_NONE = 0,
    PICKUP_POINT = 1,
    PICKUP_TELEPORT = 2,
    PICKUP_DOUBLE = 3,
    PICKUP_RESHUFFLE = 4,
    PICKUP_HEALTH = 5,
    PICKUP_REKIND = 6,
    PICKUP_LEVEL = 7,
};

constexpr int PICKUP_COUNT = 5;

// The playing field, in centred coordinates; a face of radius 20 on the top edge touches
// the button bar's line at y = 225.
constexpr int FIELD_LEFT = -280;
constexpr int FIELD_RIGHT = 280;
constexpr int FIELD_BOTTOM = -230;
constexpr int FIELD_TOP = 205;

constexpr int PICKUP_REACH = 32; // a pick-up nearer than this is taken
constexpr int CHASER_REACH = 40; // a chaser nearer than this costs health

struct GameState {
    int32_t player_x = 0;
    int32_t player_y = 0;
    int32_t player_vx = 0;
    int32_t player_vy = 0;
    int32_t player_color = 5; // always odd, 1..23
    int32_t health = 50;
    int32_t points = 0;
    int32_t chaser_x = -100;
    int32_t chaser_y = 100;
    int32_t chaser_speed = 8;
    int32_t chaser_color = 2; // with chaser_speed: one of the three chaser levels
    int32_t pickup_x[PICKUP_COUNT] = {};
    int32_t pickup_y[PICKUP_COUNT] = {};
    int32_t pickup_kind[PICKUP_COUNT] = {};
    int32_t paused = 0;
    int32_t game_over = 0; // set implies paused set
};

// ---- set-up and levels ----
void reset_game(GameState &state); // takes 15 values from the random source
void advance_chaser_level(GameState &state);

// ---- one tick: the four steps, in this order ----
void game_tick(GameState &state);
void move_player(GameState &state);
void move_chaser(GameState &state);
void collect_pickups(GameState &state);
void apply_damage(GameState &state);

// Carries out the effect of a pick-up just taken and returns its points (1 or 2).
int apply_pickup(GameState &state, int kind);

// ---- placement and geometry ----
void place_pickups(GameState &state); // slot by slot: x, y, kind
void random_position(int32_t &x, int32_t &y);
int random_kind();
void clamp_to_field(int32_t &x, int32_t &y);
int32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
