// The whole game on the headless display: run_game (and game_main) with input injected
// while the program waits for messages, in virtual time. Each session ends by closing the
// graphics window; the checks read what the window shows and the state the loop owns.
#include "game_controls.h"
#include "game_random.h"
#include "library_fixture.h"

#include <functional>
#include <vector>

class ProgramTest : public FreshLibrary {
  protected:
    void SetUp() override {
        FreshLibrary::SetUp();
        enter_process();
        game_srand(4242);
        reset_game(state);
        // All pick-ups in the bottom-left corner, away from where the sessions play.
        for (int i = 0; i < PICKUP_COUNT; ++i) {
            state.pickup_kind[i] = PICKUP_POINT;
            state.pickup_x[i] = -280;
            state.pickup_y[i] = -230;
        }
    }

    // Runs the game; `step` is called with a count each time the program waits for input,
    // and returns false to close the graphics window. A runaway session is closed anyway.
    int run(std::function<bool(int)> step, bool whole_program = false) {
        int idle = 0;
        bool closing = false;
        headless::on_idle([&] {
            if (closing)
                return;
            ++idle;
            if (!step(idle) || idle > 2000) {
                closing = true;
                headless::close(library_state.graphics_window);
            }
        });
        int result = whole_program ? game_main() : run_game(state);
        headless::on_idle(nullptr);
        return result;
    }

    HWND window() const { return library_state.graphics_window; }

    // The window shows the frame buffer: what was drawn has been presented, which happens
    // only after the next message dispatched after the drawing.
    bool window_current() const { return library_state.frame_dirty == 0; }

    // What the graphics window shows at a centred point.
    COLORREF shown(int x, int y) const {
        return headless::pixel(window(), library_state.origin_x + x, library_state.origin_y - y);
    }

    int shown_count(int color, int x1, int y1, int x2, int y2) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                n += shown(x, y) == color_values[color];
        return n;
    }

    void click(int x, int y) {
        headless::click(window(), library_state.origin_x + x, library_state.origin_y - y);
    }

    GameState state;
};

TEST_F(ProgramTest, ThreeRightKeysMoveThePlayerFifteenPixelsATick) {
    std::vector<int> xs;
    std::vector<COLORREF> face;
    int result = run([&](int idle) {
        if (idle == 1)
            headless::type(window(), "lll");
        if (window_current() && (xs.empty() ? state.player_x != 0 : state.player_x != xs.back())) {
            xs.push_back(state.player_x);
            face.push_back(shown(state.player_x - 15, state.player_y));
        }
        return xs.empty() || xs.back() < 280;
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(xs.size(), 19u);
    for (size_t i = 0; i + 1 < xs.size(); ++i)
        EXPECT_EQ(xs[i], 15 * static_cast<int>(i + 1));
    EXPECT_EQ(xs.back(), 280);
    EXPECT_EQ(state.player_vx, 15);
    for (COLORREF c : face)
        EXPECT_EQ(c, color_values[COLOR_YELLOW]);
}

TEST_F(ProgramTest, PauseStopsTheTicksAndShowsPaused) {
    int paused_at = -1;
    int paused_x = 0;
    int red_shown = 0;
    int result = run([&](int idle) {
        if (idle == 1)
            headless::type(window(), "l");
        if (paused_at < 0 && state.player_x >= 20) {
            headless::type(window(), "p");
            paused_at = idle;
            return true;
        }
        if (paused_at > 0 && idle == paused_at + 1) {
            paused_x = state.player_x;
            red_shown = shown_count(COLOR_RED, 10, 227, 60, 242);
        }
        return paused_at < 0 || idle < paused_at + 30;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(state.paused, 1);
    EXPECT_EQ(state.player_x, paused_x);
    EXPECT_GT(red_shown, 0);
}

TEST_F(ProgramTest, ChangeColorShowsAtOnceWhilePaused) {
    int clicked_at = -1;
    COLORREF before = 0, after = 0;
    int result = run([&](int idle) {
        if (idle == 1)
            headless::type(window(), "p");
        if (idle == 3) {
            before = shown(-15, 0);
            click(-250, 235);
            clicked_at = idle;
        }
        if (idle == clicked_at + 1)
            after = shown(-15, 0);
        return clicked_at < 0 || idle < clicked_at + 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(state.paused, 1);
    EXPECT_EQ(state.player_color, 7);
    EXPECT_EQ(before, color_values[COLOR_WHITE]); // paused before the first scene was drawn
    EXPECT_EQ(after, color_values[7]);
}

TEST_F(ProgramTest, RestartClearsGameOver) {
    state.health = 1;
    state.chaser_x = 0;
    state.chaser_y = 30;
    int over_at = -1;
    int red_when_over = 0;
    int red_after = -1;
    int vx_when_over = -1;
    int result = run([&](int idle) {
        if (over_at < 0 && state.game_over && window_current()) {
            over_at = idle;
            red_when_over = shown_count(COLOR_RED, -150, 0, 150, 50);
            headless::type(window(), "lp"); // keys are ignored while over
            return true;
        }
        if (over_at > 0 && idle == over_at + 1) {
            vx_when_over = state.player_vx;
            click(-150, 235);
        }
        // The first tick after the restart moves the chaser down from (-100, 100).
        if (over_at > 0 && !state.game_over && state.chaser_y == 92 && window_current()) {
            for (int i = 0; i < PICKUP_COUNT; ++i)
                EXPECT_FALSE(state.pickup_kind[i] == PICKUP_RESHUFFLE && state.pickup_y[i] > -15 &&
                             state.pickup_y[i] < 65)
                    << "a red pick-up in the area tested";
            red_after = shown_count(COLOR_RED, -150, 0, 150, 50);
            return false;
        }
        return true;
    });
    EXPECT_EQ(result, 0);
    EXPECT_GT(red_when_over, 50);
    EXPECT_EQ(vx_when_over, 0);
    EXPECT_EQ(state.game_over, 0);
    EXPECT_EQ(state.paused, 0);
    EXPECT_EQ(state.health, 50);
    EXPECT_EQ(red_after, 0);
}

TEST_F(ProgramTest, ClosingTheGraphicsWindowEndsGameMainWithZero) {
    int result = run([](int idle) { return idle < 10; }, true);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(library_state.window_dc, nullptr); // shut down
}
