// A game state for rules tests: the generator seeded with a fixed value, and every pick-up
// lying in the bottom-right corner, far from the player and chaser that a test places.
#pragma once

#include "game_random.h"
#include "game_state.h"

#include <gtest/gtest.h>

class RulesTest : public ::testing::Test {
  protected:
    static constexpr uint32_t SEED = 12345;

    void SetUp() override {
        game_srand(SEED);
        state = GameState{};
        for (int i = 0; i < PICKUP_COUNT; ++i)
            lay(i, PICKUP_POINT, 280, -230);
    }

    void lay(int slot, int kind, int x, int y) {
        state.pickup_kind[slot] = kind;
        state.pickup_x[slot] = x;
        state.pickup_y[slot] = y;
    }

    void empty_all() {
        for (int i = 0; i < PICKUP_COUNT; ++i)
            state.pickup_kind[i] = PICKUP_NONE;
    }

    GameState state;
};
