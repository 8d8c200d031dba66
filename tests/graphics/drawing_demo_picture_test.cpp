// Renders the shapes demo's scene on the headless display and saves what the graphics window
// shows as shapes.png in the test's build directory (docs/shapes.png is a copy of it).
#include "drawing_test_pixels.h"
#include "shapes_scene.h"

using DrawingDemoPictureTest = StartedLibrary;

TEST_F(DrawingDemoPictureTest, SceneReachesTheWindowAndIsSaved) {
    kelpa_set_logging(0);
    draw_shapes_scene();
    dispatch_pending(); // the windows' own first paints, menu bar included
    present_frame();
    EXPECT_EQ(library_state.frame_dirty, 0);
    // Spot checks of the window against the scene: the filled navy square of the rectangle
    // row, and the red swatch (colour 2, the third row of the first column).
    HWND window = library_state.graphics_window;
    auto shows = [&](int x, int y) {
        return headless::pixel(window, library_state.origin_x + x, library_state.origin_y - y);
    };
    EXPECT_EQ(shows(-265, 120), RGB(0, 51, 153));
    EXPECT_EQ(shows(-280, 20 - 2 * 24 + 7), RGB(255, 0, 0));
    EXPECT_TRUE(headless::save_png(window, "shapes.png"));
}
