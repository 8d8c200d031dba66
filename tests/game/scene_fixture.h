// The library started on the headless display for scene and control tests, with helpers
// that read the frame buffer in the game's centred coordinates. The generator is seeded
// with a fixed value and the state holds a known scene: no pick-up lies by chance.
#pragma once

#include "game_random.h"
#include "game_scene.h"
#include "library_fixture.h"

class SceneTest : public StartedLibrary {
  protected:
    void SetUp() override {
        StartedLibrary::SetUp();
        kelpa_set_logging(0);
        game_srand(777);
        state = GameState{};
    }

    // What the frame buffer holds at a centred point.
    COLORREF at(int x, int y) const {
        return GetPixel(library_state.frame_dc, library_state.origin_x + x, library_state.origin_y - y);
    }

    // Pixels of colour index `color` in the centred box x1..x2, y1..y2 (inclusive).
    int count(int color, int x1, int y1, int x2, int y2) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                n += at(x, y) == color_values[color];
        return n;
    }

    GameState state;
};
