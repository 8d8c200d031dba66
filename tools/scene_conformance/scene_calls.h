// The fixed list of renderer calls the conformance figure paints, each on a canvas of its
// own. A call paints through the library's renderer only, so the list means the same GDI
// calls on every host.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Sections of the figure: shapes must agree pixel for pixel, text is shown apart (fonts
// differ by host).
enum Section { SECTION_SHAPES = 0, SECTION_TEXT = 1 };

struct SceneCall {
    std::string name; // first word: the kind the summary groups by
    int section = SECTION_SHAPES;
    int width = 0, height = 0;
    bool white_background = false; // the scene clears as the game does; others use an off-table colour
    std::function<void()> paint;   // draws into library_state.frame_dc, origin at the centre
};

std::vector<SceneCall> scene_calls();
void paint_game_scene(); // the full scene without its texts
