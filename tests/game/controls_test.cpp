// The controls: keys, the button bar's hit test and the button actions, with the drawing
// that two of them do at once over the current frame.
#include "game_controls.h"
#include "random_values.h"
#include "scene_fixture.h"

TEST_F(SceneTest, HitTestBands) {
    EXPECT_EQ(hit_button(-250, 224), BUTTON_NONE);
    EXPECT_EQ(hit_button(0, -500), BUTTON_NONE);
    struct Case {
        int x, button;
    };
    const Case cases[] = {
        {-300, BUTTON_CHANGE_COLOR}, {-196, BUTTON_CHANGE_COLOR}, {-195, BUTTON_RESTART},
        {-96, BUTTON_RESTART},       {-95, BUTTON_CHANGE_LEVEL},  {4, BUTTON_CHANGE_LEVEL},
        {250, BUTTON_CHANGE_LEVEL},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(hit_button(c.x, 225), c.button) << "x " << c.x;
        EXPECT_EQ(hit_button(c.x, 100000), c.button) << "x " << c.x; // no upper bound
    }
}

TEST_F(SceneTest, KeysChangeVelocityNotPosition) {
    for (char k : {'l', 'l', 'l', 'i', 'k', 'k', 'j'})
        game_key(k, state);
    EXPECT_EQ(state.player_vx, 10);
    EXPECT_EQ(state.player_vy, -5);
    EXPECT_EQ(state.player_x, 0);
    EXPECT_EQ(state.player_y, 0);
}

TEST_F(SceneTest, UpperCaseAndOtherKeysDoNothing) {
    GameState before = state;
    for (char k : {'I', 'J', 'K', 'L', 'P', 'x', ' ', '\r', '\0'})
        game_key(k, state);
    EXPECT_EQ(state.player_vx, before.player_vx);
    EXPECT_EQ(state.player_vy, before.player_vy);
    EXPECT_EQ(state.paused, 0);
    EXPECT_EQ(count(COLOR_RED, 10, 227, 60, 242), 0);
}

TEST_F(SceneTest, PauseKeyTogglesAndDrawsPausedEitherWay) {
    game_key('p', state);
    EXPECT_EQ(state.paused, 1);
    EXPECT_GT(count(COLOR_RED, 10, 227, 60, 242), 0);
    kelpa_clear();
    game_key('p', state);
    EXPECT_EQ(state.paused, 0);
    EXPECT_GT(count(COLOR_RED, 10, 227, 60, 242), 0);
}

TEST_F(SceneTest, ChangeColorStepsThroughOddIndicesAndDrawsAtOnce) {
    draw_scene(state);
    press_button(BUTTON_CHANGE_COLOR, state);
    EXPECT_EQ(state.player_color, 7);
    EXPECT_EQ(at(-15, 0), color_values[7]);
    // The rest of the frame stays: the bar is still there.
    EXPECT_GT(count(COLOR_BLUE, -290, 227, -200, 244), 0);

    const int expected[] = {9, 11, 13, 15, 17, 19, 21, 23, 1, 3, 5, 7};
    for (int color : expected) {
        press_button(BUTTON_CHANGE_COLOR, state);
        EXPECT_EQ(state.player_color, color);
    }
    state.player_color = 23;
    press_button(BUTTON_CHANGE_COLOR, state);
    EXPECT_EQ(state.player_color, 1);
    EXPECT_EQ(at(-15, 0), color_values[COLOR_WHITE]);
}

TEST_F(SceneTest, ChangeLevelCyclesAndDrawsTheChaserAtOnce) {
    press_button(BUTTON_CHANGE_LEVEL, state);
    EXPECT_EQ(state.chaser_color, COLOR_PURPLE);
    EXPECT_EQ(state.chaser_speed, 12);
    EXPECT_EQ(at(-115, 100), color_values[COLOR_PURPLE]);
    press_button(BUTTON_CHANGE_LEVEL, state);
    EXPECT_EQ(state.chaser_color, COLOR_PINK);
    EXPECT_EQ(state.chaser_speed, 5);
    press_button(BUTTON_CHANGE_LEVEL, state);
    EXPECT_EQ(state.chaser_color, COLOR_RED);
    EXPECT_EQ(state.chaser_speed, 8);
    EXPECT_EQ(at(-115, 100), color_values[COLOR_RED]);
}

TEST_F(SceneTest, RestartResetsEverythingAndDrawsNothing) {
    state.health = 0;
    state.game_over = 1;
    state.paused = 1;
    state.points = 40;
    state.player_x = 100;
    state.player_vx = 35;
    state.player_color = 13;
    state.chaser_color = 15;
    state.chaser_speed = 5;
    kelpa_clear();
    EXPECT_EQ(values_taken(777, [&] { press_button(BUTTON_RESTART, state); }), 15);
    EXPECT_EQ(state.game_over, 0);
    EXPECT_EQ(state.paused, 0);
    EXPECT_EQ(state.health, 50);
    EXPECT_EQ(state.points, 0);
    EXPECT_EQ(state.player_x, 0);
    EXPECT_EQ(state.player_vx, 0);
    EXPECT_EQ(state.player_color, 5);
    EXPECT_EQ(state.chaser_color, 2);
    EXPECT_EQ(state.chaser_speed, 8);
    EXPECT_EQ(count(COLOR_WHITE, -30, -30, 30, 30), 61 * 61);
}
