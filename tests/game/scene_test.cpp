// The scene as it lands in the frame buffer: faces, pick-ups, the button bar, the score
// line and "GAME OVER", and which shape covers which.
#include "scene_fixture.h"

TEST_F(SceneTest, FacesShowTheirColoursAndFeatures) {
    state.player_color = COLOR_CYAN;
    state.chaser_x = -100;
    state.chaser_y = 100;
    draw_scene(state);
    // Player at the origin: face, both eyes, the mouth.
    EXPECT_EQ(at(-15, 0), color_values[COLOR_CYAN]);
    EXPECT_EQ(at(15, 0), color_values[COLOR_CYAN]);
    EXPECT_EQ(at(-6, 6), color_values[COLOR_BLACK]);
    EXPECT_EQ(at(6, 6), color_values[COLOR_BLACK]);
    EXPECT_EQ(at(0, 6), color_values[COLOR_CYAN]); // between the eyes
    EXPECT_EQ(at(0, -8), color_values[COLOR_BLACK]);
    EXPECT_EQ(at(0, 24), color_values[COLOR_WHITE]); // outside the face
    // Chaser: red face, white eye with a black pupil one pixel below its centre.
    EXPECT_EQ(at(-115, 100), color_values[COLOR_RED]);
    EXPECT_EQ(at(-100, 112), color_values[COLOR_WHITE]);
    EXPECT_EQ(at(-100, 107), color_values[COLOR_BLACK]);
    EXPECT_EQ(at(-100, 104), color_values[COLOR_WHITE]);
    EXPECT_EQ(at(-100, 92), color_values[COLOR_BLACK]);
}

TEST_F(SceneTest, ChaserCoversThePlayerAndPickupsCoverBoth) {
    state.chaser_x = 10;
    state.chaser_y = 0;
    state.pickup_kind[2] = PICKUP_POINT;
    state.pickup_x[2] = 0;
    state.pickup_y[2] = -15;
    draw_scene(state);
    EXPECT_EQ(at(-5, -3), color_values[COLOR_RED]);    // inside both faces
    EXPECT_EQ(at(-15, 0), color_values[COLOR_YELLOW]); // the player's, outside the chaser
    EXPECT_EQ(at(0, -15), color_values[COLOR_PEACH]);  // pick-up centre
    EXPECT_EQ(at(10, -15), color_values[COLOR_SEA_GREEN]);
}

TEST_F(SceneTest, PickupsShowTheirOuterAndInnerColours) {
    const int kinds[PICKUP_COUNT] = {PICKUP_TELEPORT, PICKUP_DOUBLE, PICKUP_HEALTH, PICKUP_REKIND,
                                     PICKUP_LEVEL};
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        state.pickup_kind[i] = kinds[i];
        state.pickup_x[i] = -200 + 100 * i;
        state.pickup_y[i] = -150;
    }
    draw_scene(state);
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        int inner = 0, outer = 0;
        pickup_colors(kinds[i], inner, outer);
        int x = -200 + 100 * i;
        EXPECT_EQ(at(x, -150), color_values[inner]) << "kind " << kinds[i];
        EXPECT_EQ(at(x + 5, -150), color_values[inner]) << "kind " << kinds[i];
        EXPECT_EQ(at(x + 10, -150), color_values[outer]) << "kind " << kinds[i];
        EXPECT_EQ(at(x + 14, -150), color_values[COLOR_WHITE]) << "kind " << kinds[i];
    }
    // The level pick-up is square: its corners are filled, a disc's would not be.
    EXPECT_EQ(at(200 + 11, -150 + 11), color_values[COLOR_BROWN]);
    EXPECT_EQ(at(200 + 6, -150 - 6), color_values[COLOR_ICE_BLUE]);
    EXPECT_EQ(at(-200 + 11, -150 + 11), color_values[COLOR_WHITE]);
}

TEST_F(SceneTest, EmptySlotsAreNotDrawn) {
    state.pickup_kind[0] = PICKUP_POINT;
    state.pickup_x[0] = -150;
    state.pickup_y[0] = -100;
    state.pickup_kind[1] = PICKUP_NONE;
    state.pickup_x[1] = 150;
    state.pickup_y[1] = -100;
    draw_scene(state);
    EXPECT_EQ(at(-150, -100), color_values[COLOR_PEACH]);
    EXPECT_EQ(count(COLOR_WHITE, 135, -115, 165, -85), 31 * 31);
}

TEST_F(SceneTest, ButtonBarFramesLineAndLabels) {
    draw_scene(state);
    // The bar's line runs the whole width, beyond the frames too.
    EXPECT_GT(count(COLOR_BLACK, 100, 224, 100, 226), 0);
    EXPECT_GT(count(COLOR_BLACK, -250, 224, -250, 226), 0);
    // Frame edges at x -295, -195, -95 and 5, top edge at 245; nothing of them beyond.
    for (int x : {-295, -195, -95, 5})
        EXPECT_GT(count(COLOR_BLACK, x - 1, 235, x + 1, 235), 0) << "edge at x " << x;
    EXPECT_GT(count(COLOR_BLACK, -150, 244, -150, 246), 0);
    EXPECT_EQ(count(COLOR_BLACK, 8, 228, 50, 250), 0);
    EXPECT_EQ(count(COLOR_BLACK, -291, 228, -289, 242), 0); // inside the first frame
    // The labels are blue text inside each frame.
    EXPECT_GT(count(COLOR_BLUE, -290, 227, -200, 244), 0);
    EXPECT_GT(count(COLOR_BLUE, -190, 227, -100, 244), 0);
    EXPECT_GT(count(COLOR_BLUE, -90, 227, 0, 244), 0);
}

TEST_F(SceneTest, PointsAndHealthLine) {
    draw_scene(state);
    EXPECT_GT(count(COLOR_FOREST_GREEN, 216, 227, 300, 244), 0);
    EXPECT_GT(count(COLOR_ORANGE, 60, 227, 200, 244), 0);
}

TEST_F(SceneTest, GameOverShownOnlyWhenOver) {
    state.player_x = -120; // under the "G"
    state.player_y = 15;
    draw_scene(state);
    EXPECT_EQ(count(COLOR_RED, -150, 0, 150, 50), 0);
    state.game_over = 1;
    state.paused = 1;
    draw_scene(state);
    EXPECT_GT(count(COLOR_RED, -150, 0, 150, 50), 50);
    // Drawn last: over the player's face.
    EXPECT_GT(count(COLOR_RED, -135, 5, -105, 25), 0);
}

TEST_F(SceneTest, SceneStartsFromAClearedWindow) {
    state.pickup_kind[0] = PICKUP_POINT;
    state.pickup_x[0] = 100;
    state.pickup_y[0] = 100;
    draw_scene(state);
    state.pickup_kind[0] = PICKUP_NONE;
    state.player_x = -200;
    draw_scene(state);
    EXPECT_EQ(at(100, 100), color_values[COLOR_WHITE]);
    EXPECT_EQ(at(0, -15), color_values[COLOR_WHITE]);
    EXPECT_EQ(at(-215, 0), color_values[COLOR_YELLOW]);
}

// With the drawing log on, each drawing operation describes itself: the scene's calls and
// their order, and the texts exactly as formatted.
TEST_F(SceneTest, DrawingLogShowsTheSceneInOrder) {
    state.points = 7;
    state.health = 52;
    kelpa_set_logging(1);
    draw_scene(state);
    const std::vector<std::string> expected = {
        "Clearing the graphics window\n",
        "black line from (-300,225) to (300,225), width 2\n",
        "black rectangle with bounding box (-295,245) to (-195,225) with line width 2\n",
        "black rectangle with bounding box (-195,245) to (-95,225) with line width 2\n",
        "black rectangle with bounding box (-95,245) to (5,225) with line width 2\n",
        "blue text at (-285,227), \"Change Color\"\n",
        "blue text at (-165,227), \"Restart\"\n",
        "blue text at (-82,227), \"Change Level\"\n",
        "yellow circle at (0,0), radius 20\n",
        "black circle at (-6,6), radius 5\n",
        "black circle at (6,6), radius 5\n",
        "black line from (-10,-8) to (10,-8), width 3\n",
        "red circle at (-100,100), radius 20\n",
        "white circle at (-100,108), radius 5\n",
        "black circle at (-100,107), radius 2\n",
        "black line from (-110,92) to (-90,92), width 3\n",
        "forest green text at (216,227), \" Points     7\"\n",
        "orange text at (60,227), \" Health 52\"\n",
    };
    EXPECT_EQ(log_lines(), expected);
}

TEST_F(SceneTest, PointsKeepFivePlacesAndWiderNumbersTakeMore) {
    state.points = 123456;
    state.health = 5;
    state.game_over = 1;
    state.paused = 1;
    kelpa_set_logging(1);
    draw_scene(state);
    std::vector<std::string> lines = log_lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "forest green text at (216,227), \" Points 123456\"\n");
    EXPECT_EQ(lines[lines.size() - 2], "orange text at (60,227), \" Health 5\"\n");
    EXPECT_EQ(lines.back(), "red text at (-150,0), \"GAME OVER\"\n");
    // All six digits inside the window: the same text drawn where it has room ends where the
    // score ends, left of the border column (x 300). Nothing else lies in those rows after a
    // clear; the glyphs' edges are blends, so ink is any column not wholly white.
    auto rightmost_ink = [&](int from) {
        int rightmost = from;
        for (int x = from; x < 300; ++x)
            if (count(COLOR_WHITE, x, 228, x, 244) < 17)
                rightmost = x;
        return rightmost;
    };
    const int in_scene = rightmost_ink(216);
    kelpa_clear();
    kelpa_text_printf(COLOR_FOREST_GREEN, -250, 227, 12, " Points %5d", 123456);
    EXPECT_EQ(rightmost_ink(-250) + 466, in_scene);
    EXPECT_LT(in_scene, 299);
}
