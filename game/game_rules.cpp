// The rules of the game: set-up, the four steps of a tick, pick-up effects and placement.
// Every position produced here goes through clamp_to_field, and values are taken from the
// random source in one fixed order, so a seed and a sequence of events replay identically.
#include "game_random.h"
#include "game_state.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

// Keeps a sum in 32 bits. Velocities have no bound, so repeated keys could otherwise
// wrap a velocity round to the opposite direction.
int32_t saturating_add(int32_t a, int32_t b) {
    int64_t sum = int64_t{a} + b;
    if (sum > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}

} // namespace

void reset_game(GameState &state) {
    state.player_x = 0;
    state.player_y = 0;
    state.player_vx = 0;
    state.player_vy = 0;
    state.player_color = 5;
    state.health = 50;
    state.points = 0;
    state.chaser_x = -100;
    state.chaser_y = 100;
    state.chaser_speed = 8;
    state.chaser_color = 2;
    place_pickups(state);
    state.paused = 0;
    state.game_over = 0;
}

void advance_chaser_level(GameState &state) {
    if (state.chaser_color == 2) {
        state.chaser_color = 8;
        state.chaser_speed = 12;
    } else if (state.chaser_color == 8) {
        state.chaser_color = 15;
        state.chaser_speed = 5;
    } else {
        state.chaser_color = 2;
        state.chaser_speed = 8;
    }
}

void game_tick(GameState &state) {
    move_player(state);
    move_chaser(state);
    collect_pickups(state);
    apply_damage(state);
}

void move_player(GameState &state) {
    // The position is clamped right after, so a saturated sum lands on the same edge.
    state.player_x = saturating_add(state.player_x, state.player_vx);
    state.player_y = saturating_add(state.player_y, state.player_vy);
    clamp_to_field(state.player_x, state.player_y);
}

void move_chaser(GameState &state) {
    int32_t dx = std::abs(state.chaser_x - state.player_x);
    int32_t dy = std::abs(state.chaser_y - state.player_y);
    // The full speed along one axis, overshoot included; a tie (and so a chaser on the
    // player) moves along y, upward when level.
    if (dx > dy) {
        if (state.chaser_x > state.player_x)
            state.chaser_x -= state.chaser_speed;
        else
            state.chaser_x += state.chaser_speed;
    } else {
        if (state.chaser_y > state.player_y)
            state.chaser_y -= state.chaser_speed;
        else
            state.chaser_y += state.chaser_speed;
    }
    clamp_to_field(state.chaser_x, state.chaser_y);
}

void collect_pickups(GameState &state) {
    bool some_left = false;
    // Slots are read afresh at every step: an effect taken early in the pass (a teleport,
    // a rekind, a reshuffle) acts on the slots after it within this same pass.
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        if (state.pickup_kind[i] == PICKUP_NONE)
            continue;
        int32_t d = distance(state.player_x, state.player_y, state.pickup_x[i], state.pickup_y[i]);
        if (d >= PICKUP_REACH) {
            some_left = true;
            continue;
        }
        int kind = state.pickup_kind[i];
        state.pickup_kind[i] = PICKUP_NONE;
        state.points = saturating_add(state.points, apply_pickup(state, kind));
    }
    if (!some_left)
        place_pickups(state);
}

void apply_damage(GameState &state) {
    if (distance(state.player_x, state.player_y, state.chaser_x, state.chaser_y) < CHASER_REACH)
        state.health -= 1;
    if (state.health <= 0) {
        state.game_over = 1;
        state.paused = 1;
    }
}

int apply_pickup(GameState &state, int kind) {
    switch (kind) {
    case PICKUP_TELEPORT: random_position(state.player_x, state.player_y); return 1;
    case PICKUP_DOUBLE: return 2;
    case PICKUP_RESHUFFLE: place_pickups(state); return 1;
    case PICKUP_HEALTH: state.health = saturating_add(state.health, 2); return 1;
    case PICKUP_REKIND:
        for (int j = 0; j < PICKUP_COUNT; ++j) {
            if (state.pickup_kind[j] != PICKUP_NONE)
                state.pickup_kind[j] = random_kind();
        }
        return 1;
    case PICKUP_LEVEL: advance_chaser_level(state); return 1;
    default: return 1;
    }
}

void place_pickups(GameState &state) {
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        int32_t x = 0;
        int32_t y = 0;
        random_position(x, y);
        int kind = random_kind();
        state.pickup_x[i] = x;
        state.pickup_y[i] = y;
        state.pickup_kind[i] = kind;
    }
}

void random_position(int32_t &x, int32_t &y) {
    // Exact integer products, rounded down: r * 600 < 2^25 cannot overflow.
    x = game_rand() * 600 / 32768 - 300;
    y = game_rand() * 500 / 32768 - 250;
    clamp_to_field(x, y);
}

int random_kind() {
    double u = game_rand() / 32768.0;
    if (u < 0.05)
        return PICKUP_LEVEL;
    if (u < 0.4)
        return PICKUP_POINT;
    if (u < 0.55)
        return PICKUP_DOUBLE;
    if (u < 0.7)
        return PICKUP_TELEPORT;
    if (u < 0.85)
        return PICKUP_RESHUFFLE;
    if (u < 0.95)
        return PICKUP_HEALTH;
    return PICKUP_REKIND;
}

void clamp_to_field(int32_t &x, int32_t &y) {
    if (x < FIELD_LEFT)
        x = FIELD_LEFT;
    if (x > FIELD_RIGHT)
        x = FIELD_RIGHT;
    if (y > FIELD_TOP)
        y = FIELD_TOP;
    if (y < FIELD_BOTTOM)
        y = FIELD_BOTTOM;
}

int32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    // Within the field the sum of squares is a small integer that a double holds exactly,
    // so this equals the root of the 32-bit sum; far outside it, the 32-bit sum would
    // overflow, and this still gives the true distance (capped to the result's range).
    double dx = std::fabs(static_cast<double>(x1) - x2);
    double dy = std::fabs(static_cast<double>(y1) - y2);
    double root = std::sqrt(dx * dx + dy * dy);
    if (root >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(root);
}
