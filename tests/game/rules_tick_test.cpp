// The movement, chase and damage rules of a tick, set-up and the chaser levels.
#include "random_values.h"
#include "rules_test_fixture.h"

TEST_F(RulesTest, ResetGivesTheInitialFieldsAndTakesFifteenValues) {
    state.player_x = 7;
    state.health = 3;
    state.points = 99;
    state.chaser_color = 15;
    state.chaser_speed = 5;
    state.paused = 1;
    state.game_over = 1;
    EXPECT_EQ(values_taken(SEED, [&] { reset_game(state); }), 15);
    EXPECT_EQ(state.player_x, 0);
    EXPECT_EQ(state.player_y, 0);
    EXPECT_EQ(state.player_color, 5);
    EXPECT_EQ(state.health, 50);
    EXPECT_EQ(state.points, 0);
    EXPECT_EQ(state.chaser_x, -100);
    EXPECT_EQ(state.chaser_y, 100);
    EXPECT_EQ(state.chaser_speed, 8);
    EXPECT_EQ(state.chaser_color, 2);
    EXPECT_EQ(state.paused, 0);
    EXPECT_EQ(state.game_over, 0);

    // Slot by slot, x, y and kind, in the order the generator gives them.
    game_srand(SEED);
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        int32_t x = 0, y = 0;
        random_position(x, y);
        EXPECT_EQ(state.pickup_x[i], x);
        EXPECT_EQ(state.pickup_y[i], y);
        EXPECT_EQ(state.pickup_kind[i], random_kind());
    }
}

TEST_F(RulesTest, ChaserLevelsCycleThroughThree) {
    advance_chaser_level(state);
    EXPECT_EQ(state.chaser_color, 8);
    EXPECT_EQ(state.chaser_speed, 12);
    advance_chaser_level(state);
    EXPECT_EQ(state.chaser_color, 15);
    EXPECT_EQ(state.chaser_speed, 5);
    advance_chaser_level(state);
    EXPECT_EQ(state.chaser_color, 2);
    EXPECT_EQ(state.chaser_speed, 8);
}

TEST_F(RulesTest, PlayerClampedAtTheEdgeKeepsItsVelocity) {
    state.player_x = 270;
    state.player_vx = 15;
    move_player(state);
    EXPECT_EQ(state.player_x, 280);
    EXPECT_EQ(state.player_vx, 15);
    move_player(state);
    EXPECT_EQ(state.player_x, 280);
    state.player_vx = -20;
    move_player(state);
    EXPECT_EQ(state.player_x, 260);

    state.player_y = 0;
    state.player_vy = 1000;
    move_player(state);
    EXPECT_EQ(state.player_y, 205);
    state.player_vy = -2147483647 - 1; // the extreme of an unbounded velocity
    move_player(state);
    EXPECT_EQ(state.player_y, -230);
}

TEST_F(RulesTest, ChaseTakesTheLongerAxisAndTiesGoAlongY) {
    // dx = dy = 100: along y first, then dx 100 > dy 92 along x.
    move_chaser(state);
    EXPECT_EQ(state.chaser_x, -100);
    EXPECT_EQ(state.chaser_y, 92);
    move_chaser(state);
    EXPECT_EQ(state.chaser_x, -92);
    EXPECT_EQ(state.chaser_y, 92);

    state.chaser_x = 150;
    state.chaser_y = 10;
    move_chaser(state);
    EXPECT_EQ(state.chaser_x, 142);
    EXPECT_EQ(state.chaser_y, 10);
}

TEST_F(RulesTest, ChaserOvershootsAndSwings) {
    state.player_x = 40;
    state.player_y = 50;
    state.chaser_x = 40;
    state.chaser_y = 47; // 3 below
    move_chaser(state);
    EXPECT_EQ(state.chaser_x, 40);
    EXPECT_EQ(state.chaser_y, 55); // 5 above
    move_chaser(state);
    EXPECT_EQ(state.chaser_y, 47);
}

TEST_F(RulesTest, ChaserOnThePlayerMovesUpAndStaysInTheField) {
    state.chaser_x = 0;
    state.chaser_y = 0;
    move_chaser(state);
    EXPECT_EQ(state.chaser_x, 0);
    EXPECT_EQ(state.chaser_y, 8);

    state.player_x = state.chaser_x = 100;
    state.player_y = state.chaser_y = 205;
    state.chaser_speed = 12;
    move_chaser(state);
    EXPECT_EQ(state.chaser_y, 205);
}

TEST_F(RulesTest, ChaseFollowsThePlayersNewPosition) {
    // Player moves first: from (0,0) to (0,-50), so dy 150 > dx 100.
    state.player_vy = -50;
    game_tick(state);
    EXPECT_EQ(state.chaser_x, -100);
    EXPECT_EQ(state.chaser_y, 92);
    state.player_vy = 0;
    state.player_vx = 100; // now at (100,-50): dx 200 > dy 142
    game_tick(state);
    EXPECT_EQ(state.chaser_x, -92);
    EXPECT_EQ(state.chaser_y, 92);
}

TEST_F(RulesTest, ContactCostsHealthOnlyNearerThanForty) {
    state.chaser_x = 0;
    state.chaser_y = 39;
    apply_damage(state);
    EXPECT_EQ(state.health, 49);
    state.chaser_y = 40;
    apply_damage(state);
    EXPECT_EQ(state.health, 49);
    state.chaser_x = 24;
    state.chaser_y = 32; // 40 exactly
    apply_damage(state);
    EXPECT_EQ(state.health, 49);
    state.chaser_x = 23; // 39.4
    apply_damage(state);
    EXPECT_EQ(state.health, 48);
    EXPECT_EQ(state.game_over, 0);
    EXPECT_EQ(state.paused, 0);
}

TEST_F(RulesTest, LastHealthEndsTheGameInTheSameTick) {
    state.health = 1;
    state.chaser_x = 0;
    state.chaser_y = 30; // moves down to 22, still in contact
    game_tick(state);
    EXPECT_EQ(state.chaser_y, 22);
    EXPECT_EQ(state.health, 0);
    EXPECT_EQ(state.game_over, 1);
    EXPECT_EQ(state.paused, 1);
}

TEST_F(RulesTest, DamageUsesThePositionAfterATeleport) {
    // The player starts in contact, then a teleport under it carries it away.
    uint32_t seed = 0;
    ASSERT_TRUE(seed_giving(32767, 32767, seed)); // teleport destination (280, 205)
    game_srand(seed);
    lay(0, PICKUP_TELEPORT, 0, 0);
    state.chaser_x = 0;
    state.chaser_y = 30;
    game_tick(state);
    EXPECT_EQ(state.player_x, 280);
    EXPECT_EQ(state.player_y, 205);
    EXPECT_EQ(state.health, 50);
}
