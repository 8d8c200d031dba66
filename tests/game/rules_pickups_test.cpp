// Pick-up collection within one pass: reach, effects acting on the slots after them, and
// the refill when the pass leaves nothing lying, counted in values of the random source.
#include "random_values.h"
#include "rules_test_fixture.h"

TEST_F(RulesTest, PickupReachIsThirtyTwo) {
    lay(0, PICKUP_POINT, 22, 23); // 31.8: taken
    lay(1, PICKUP_POINT, 0, 32);  // 32: stays
    collect_pickups(state);
    EXPECT_EQ(state.pickup_kind[0], PICKUP_NONE);
    EXPECT_EQ(state.pickup_kind[1], PICKUP_POINT);
    EXPECT_EQ(state.points, 1);
}

TEST_F(RulesTest, EffectsAndTheirPoints) {
    EXPECT_EQ(apply_pickup(state, PICKUP_POINT), 1);
    EXPECT_EQ(apply_pickup(state, PICKUP_DOUBLE), 2);
    EXPECT_EQ(apply_pickup(state, PICKUP_HEALTH), 1);
    EXPECT_EQ(state.health, 52);
    EXPECT_EQ(apply_pickup(state, PICKUP_LEVEL), 1);
    EXPECT_EQ(state.chaser_color, 8);
    EXPECT_EQ(state.chaser_speed, 12);
    // Only the effects that place something take values from the random source.
    EXPECT_EQ(values_taken(SEED, [&] { apply_pickup(state, PICKUP_POINT); }), 0);
    EXPECT_EQ(values_taken(SEED, [&] { apply_pickup(state, PICKUP_TELEPORT); }), 2);
    EXPECT_EQ(values_taken(SEED, [&] { apply_pickup(state, PICKUP_RESHUFFLE); }), 15);
}

TEST_F(RulesTest, TeleportVelocityUnchangedAndLaterSlotsMeasuredFromTheNewPlace) {
    uint32_t seed = 0;
    ASSERT_TRUE(seed_giving(16384 + 8000, 16384 - 6000, seed));
    game_srand(seed);
    int32_t to_x = 0, to_y = 0;
    random_position(to_x, to_y);
    ASSERT_GT(distance(0, 0, to_x, to_y), 64);

    game_srand(seed);
    state.player_vx = 5;
    lay(0, PICKUP_TELEPORT, 10, 0);
    lay(3, PICKUP_DOUBLE, to_x + 20, to_y - 20);
    collect_pickups(state);
    EXPECT_EQ(state.player_x, to_x);
    EXPECT_EQ(state.player_y, to_y);
    EXPECT_EQ(state.player_vx, 5);
    EXPECT_EQ(state.pickup_kind[0], PICKUP_NONE);
    EXPECT_EQ(state.pickup_kind[3], PICKUP_NONE);
    EXPECT_EQ(state.points, 3);
    EXPECT_EQ(state.pickup_kind[4], PICKUP_POINT);
}

TEST_F(RulesTest, RekindGivesNewKindsAndLaterSlotsAreTestedWithThem) {
    // Slot 1 rekinds slots 0, 2, 3, 4 with the next four values; slot 2, under the player,
    // is then taken with its new kind.
    uint32_t seed = 0;
    ASSERT_TRUE(seed_giving(100, 15000, seed)); // slot 0 -> LEVEL, slot 2 -> DOUBLE
    game_srand(seed);
    game_rand();
    game_rand();
    int kind3 = random_kind();
    int kind4 = random_kind();

    game_srand(seed);
    lay(1, PICKUP_REKIND, 5, 5);
    lay(2, PICKUP_POINT, -5, 5);
    collect_pickups(state);
    EXPECT_EQ(state.pickup_kind[0], PICKUP_LEVEL);
    EXPECT_EQ(state.pickup_kind[1], PICKUP_NONE);
    EXPECT_EQ(state.pickup_kind[2], PICKUP_NONE);
    EXPECT_EQ(state.points, 1 + 2);
    EXPECT_EQ(state.pickup_kind[3], kind3);
    EXPECT_EQ(state.pickup_kind[4], kind4);
    EXPECT_EQ(state.pickup_x[0], 280); // positions stay
    EXPECT_EQ(state.pickup_y[0], -230);
}

TEST_F(RulesTest, RekindLeavesEmptySlotsEmpty) {
    lay(0, PICKUP_REKIND, 0, 0);
    state.pickup_kind[2] = PICKUP_NONE;
    EXPECT_EQ(values_taken(SEED, [&] { collect_pickups(state); }), 3);
    EXPECT_EQ(state.pickup_kind[0], PICKUP_NONE);
    EXPECT_EQ(state.pickup_kind[2], PICKUP_NONE);
    EXPECT_NE(state.pickup_kind[1], PICKUP_NONE);
}

TEST_F(RulesTest, TakingTheLastPickupPlacesAFreshSetInTheSameTick) {
    empty_all();
    lay(2, PICKUP_POINT, 10, 10);
    EXPECT_EQ(values_taken(SEED, [&] { collect_pickups(state); }), 15);
    for (int i = 0; i < PICKUP_COUNT; ++i)
        EXPECT_NE(state.pickup_kind[i], PICKUP_NONE) << "slot " << i;
    EXPECT_EQ(state.points, 1);
}

TEST_F(RulesTest, ReshuffleInTheLastSlotAsTheOnlyOneLeftPlacesTwoSets) {
    empty_all();
    lay(4, PICKUP_RESHUFFLE, 0, 0);
    EXPECT_EQ(values_taken(SEED, [&] { collect_pickups(state); }), 30);

    // What lies now is the second set: the one placed after 15 values.
    GameState expected;
    game_srand(SEED);
    place_pickups(expected);
    place_pickups(expected);
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        EXPECT_EQ(state.pickup_kind[i], expected.pickup_kind[i]) << "slot " << i;
        EXPECT_EQ(state.pickup_x[i], expected.pickup_x[i]) << "slot " << i;
        EXPECT_EQ(state.pickup_y[i], expected.pickup_y[i]) << "slot " << i;
    }
    EXPECT_EQ(state.points, 1);
}

TEST_F(RulesTest, ReshuffleInAMiddleSlotTestsOnlyTheLaterNewSlots) {
    empty_all();
    lay(2, PICKUP_RESHUFFLE, 0, 0);
    GameState placed;
    game_srand(SEED);
    place_pickups(placed);
    // With this seed the new slots 3 and 4 lie out of reach, so one set is all.
    ASSERT_GE(distance(0, 0, placed.pickup_x[3], placed.pickup_y[3]), 32);
    ASSERT_GE(distance(0, 0, placed.pickup_x[4], placed.pickup_y[4]), 32);
    EXPECT_EQ(values_taken(SEED, [&] { collect_pickups(state); }), 15);
    for (int i = 0; i < PICKUP_COUNT; ++i)
        EXPECT_EQ(state.pickup_kind[i], placed.pickup_kind[i]) << "slot " << i;
}

TEST_F(RulesTest, ReshuffleTestsTheLaterNewSlotsAtOnce) {
    // Find a seed whose new slot 4 lies under the player at the origin.
    uint32_t seed = 0;
    GameState placed;
    for (seed = 1; seed < 200000; ++seed) {
        game_srand(seed);
        place_pickups(placed);
        if (distance(0, 0, placed.pickup_x[4], placed.pickup_y[4]) < 32 &&
            placed.pickup_kind[4] == PICKUP_POINT)
            break;
    }
    ASSERT_LT(seed, 200000u);
    game_srand(seed);
    lay(3, PICKUP_RESHUFFLE, 0, 0);
    collect_pickups(state);
    EXPECT_EQ(state.pickup_kind[4], PICKUP_NONE);
    EXPECT_EQ(state.pickup_kind[3], placed.pickup_kind[3]); // waits for the next tick
    EXPECT_EQ(state.points, 2);
}

TEST_F(RulesTest, ReshuffleInAMiddleSlotRefillsWhenTheLaterNewSlotsAreTakenToo) {
    // A seed whose new slots 3 and 4 both lie under the player, with kinds that place nothing.
    auto plain = [](int kind) {
        return kind == PICKUP_POINT || kind == PICKUP_DOUBLE || kind == PICKUP_HEALTH;
    };
    uint32_t seed = 0;
    GameState placed;
    for (seed = 1; seed < 2000000; ++seed) {
        game_srand(seed);
        place_pickups(placed);
        bool near3 = distance(0, 0, placed.pickup_x[3], placed.pickup_y[3]) < 32;
        bool near4 = distance(0, 0, placed.pickup_x[4], placed.pickup_y[4]) < 32;
        if (near3 && near4 && plain(placed.pickup_kind[3]) && plain(placed.pickup_kind[4]))
            break;
    }
    ASSERT_LT(seed, 2000000u);
    empty_all();
    lay(2, PICKUP_RESHUFFLE, 0, 0);
    EXPECT_EQ(values_taken(seed, [&] { collect_pickups(state); }), 30);
    for (int i = 0; i < PICKUP_COUNT; ++i)
        EXPECT_NE(state.pickup_kind[i], PICKUP_NONE) << "slot " << i;
}
