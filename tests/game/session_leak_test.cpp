// Long sessions of the game on the headless display: after 10 000 ticks with keys, clicks,
// restarts and text-window repaints, every live count of the Win32 subset is where it was
// when the session began, apart from the log ring's own blocks (at most LOG_SLOTS).
#include "game_controls.h"
#include "game_random.h"
#include "game_scene.h"
#include "library_fixture.h"

namespace {

// Under AddressSanitizer a tick costs some twenty times as much; there the run looks for
// memory errors, and the full count of ticks is the native build's.
#if defined(__SANITIZE_ADDRESS__)
constexpr int SESSION_TICKS = 1000;
#else
constexpr int SESSION_TICKS = 10000;
#endif

int log_blocks() {
    int n = 0;
    for (HGLOBAL block : message_log.log_lines)
        n += block != nullptr;
    return n;
}

// The live counts without the log ring's blocks, which a session may fill up to LOG_SLOTS.
win32::LiveCounts counts_without_log() {
    win32::LiveCounts c = win32::live_counts();
    c.memory_blocks -= log_blocks();
    return c;
}

} // namespace

// Printed by the checks; found by argument lookup, so it lives beside the record.
namespace win32 {
std::ostream &operator<<(std::ostream &os, const win32::LiveCounts &c) {
    return os << "{windows " << c.windows << ", timers " << c.timers << ", menus " << c.menus << ", gdi "
              << c.gdi_objects << ", dcs " << c.dcs << ", blocks " << c.memory_blocks << "}";
}
} // namespace win32

class SessionLeakTest : public FreshLibrary {
  protected:
    void SetUp() override {
        FreshLibrary::SetUp();
        enter_process();
        game_srand(9001);
        reset_game(state);
    }

    HWND window() const { return library_state.graphics_window; }

    void click(int x, int y) {
        headless::click(window(), library_state.origin_x + x, library_state.origin_y - y);
    }

    // What a restless player does at tick t: steer, pause and resume, press the buttons,
    // show the text window (so it repaints), and restart once the game is over.
    void play_at(int t) {
        static const char steer[] = "ijkl";
        if (t % 7 == 0)
            headless::type(window(), std::string(1, steer[(t / 7) % 4]));
        if (t % 501 == 0)
            headless::type(window(), "pp"); // pause and resume
        if (t % 333 == 0)
            click(-250, 235); // Change Color
        if (t % 1000 == 0)
            click(100, 235); // Change Level
        if (t % 500 == 0)
            kelpa_show_log_window(t % 1000 == 0);
        if (state.game_over)
            click(-150, 235); // Restart
    }

    GameState state;
};

TEST_F(SessionLeakTest, ALongRunGameSessionLeavesEveryCountWhereItStarted) {
    int ticks_seen = 0;
    int idle = 0;
    bool closing = false;
    win32::LiveCounts at_start, at_end;
    int ring_at_end = 0;
    headless::on_idle([&] {
        if (closing)
            return;
        if (++idle == 1)
            at_start = counts_without_log();
        // A tick is due every 50 ms of virtual time: count them by the clock.
        ticks_seen = static_cast<int>(headless::now() / TICK_PERIOD_MS);
        play_at(idle);
        if (ticks_seen >= SESSION_TICKS) {
            at_end = counts_without_log();
            ring_at_end = log_blocks();
            closing = true;
            headless::close(window());
        }
    });
    EXPECT_EQ(run_game(state), 0);
    headless::on_idle(nullptr);
    EXPECT_GE(ticks_seen, SESSION_TICKS);
    EXPECT_EQ(at_end, at_start);
    EXPECT_LE(ring_at_end, LOG_SLOTS);
}

TEST_F(SessionLeakTest, ALongSceneSessionWithLoggingOnAndOffLeavesEveryCountWhereItStarted) {
    ASSERT_EQ(kelpa_startup(), 1);
    kelpa_clear();
    ASSERT_TRUE(dispatch_pending());
    const win32::LiveCounts at_start = counts_without_log();
    kelpa_set_run_mode(RUN_ANIMATE);
    int ticks = 0;
    int t = 0;
    while (ticks < SESSION_TICKS) {
        // Logging on for the first and third quarter: every drawing writes a line and the
        // text window repaints after each pass.
        kelpa_set_logging((ticks / (SESSION_TICKS / 4)) % 2 == 0);
        int x = 0, y = 0;
        char key = 0;
        switch (kelpa_next_event(x, y, key)) {
        case KELPA_MOUSE: press_button(hit_button(x, y), state); break;
        case KELPA_KBD:
            if (!state.game_over)
                game_key(key, state);
            break;
        case KELPA_PERIODIC:
            ++ticks;
            if (!state.paused) {
                game_tick(state);
                draw_scene(state);
            }
            play_at(++t);
            break;
        default: FAIL() << "the session ended early";
        }
    }
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(counts_without_log(), at_start);
    EXPECT_EQ(log_blocks(), LOG_SLOTS); // logging filled the ring, and it holds no more
    EXPECT_EQ(log_lines().size(), static_cast<size_t>(LOG_SLOTS));
}
