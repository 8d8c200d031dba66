// The event loop on virtual time: the rate of periodic events, halting and single steps, the
// quit mode, clicks in centred coordinates, and the run-control entry points.
#include "library_fixture.h"

namespace {

struct Event {
    int kind;
    int x;
    int y;
    char key;
    uint32_t at; // virtual time of delivery
};

Event next_event() {
    Event e = {};
    e.kind = kelpa_next_event(e.x, e.y, e.key);
    e.at = headless::now();
    return e;
}

// Client pixel of the centred point (x, y).
int client_x(int x) {
    return library_state.origin_x + x;
}
int client_y(int y) {
    return library_state.origin_y - y;
}

} // namespace

class EventLoopTest : public StartedLibrary {
  protected:
    void SetUp() override {
        StartedLibrary::SetUp();
        ASSERT_TRUE(dispatch_pending()); // the paints of start-up
    }
};

TEST_F(EventLoopTest, AnimationOnAnEmptyQueueDeliversEverySecondTick) {
    kelpa_set_run_mode(RUN_ANIMATE);
    Event previous = next_event();
    ASSERT_EQ(previous.kind, KELPA_PERIODIC);
    for (int i = 0; i < 6; ++i) {
        const Event e = next_event();
        ASSERT_EQ(e.kind, KELPA_PERIODIC);
        EXPECT_EQ(e.at - previous.at, 100u) << "event " << i;
        EXPECT_EQ(e.x, 0);
        EXPECT_EQ(e.y, 0);
        EXPECT_EQ(e.key, 0);
        previous = e;
    }
}

TEST_F(EventLoopTest, AnotherMessageFirstLetsEveryTickCount) {
    kelpa_set_run_mode(RUN_ANIMATE);
    // Once per moment of virtual time, the mouse moves over the window before the next tick.
    uint32_t moved_at = UINT32_MAX;
    int moves = 0;
    headless::on_idle([&] {
        if (headless::now() != moved_at) {
            moved_at = headless::now();
            headless::mouse_move(library_state.graphics_window, 5 + (++moves % 2), 5);
        }
    });
    Event previous = next_event();
    for (int i = 0; i < 6; ++i) {
        const Event e = next_event();
        ASSERT_EQ(e.kind, KELPA_PERIODIC);
        EXPECT_EQ(e.at - previous.at, 50u) << "event " << i; // one a tick, never two
        previous = e;
    }
}

TEST_F(EventLoopTest, LogLinesRepaintingTheTextWindowLetEveryTickCount) {
    kelpa_set_run_mode(RUN_ANIMATE);
    Event previous = next_event();
    for (int i = 0; i < 4; ++i) {
        kelpa_log("frame %d\n", i); // its repaint is the message that starts the next call
        const Event e = next_event();
        ASSERT_EQ(e.kind, KELPA_PERIODIC);
        EXPECT_EQ(e.at - previous.at, 50u) << "event " << i;
        previous = e;
    }
}

TEST_F(EventLoopTest, HaltedWaitsForAClickAndIgnoresTicks) {
    kelpa_set_run_mode(RUN_ANIMATE);
    next_event();
    kelpa_set_run_mode(RUN_HALT);
    const uint32_t halted_at = headless::now();
    headless::on_idle([&] {
        if (headless::now() >= halted_at + 500)
            headless::click(library_state.graphics_window, client_x(10), client_y(20));
    });
    const Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_MOUSE);
    EXPECT_EQ(e.x, 10);
    EXPECT_EQ(e.y, 20);
    EXPECT_EQ(e.key, 0);
    EXPECT_GE(e.at, halted_at + 500);
}

TEST_F(EventLoopTest, ClicksArriveInCentredCoordinates) {
    headless::click(library_state.graphics_window, client_x(10), client_y(20));
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_MOUSE);
    EXPECT_EQ(e.x, 10);
    EXPECT_EQ(e.y, 20);
    // Left of and above the origin: x negative, y positive.
    headless::click(library_state.graphics_window, 0, 0);
    e = next_event();
    EXPECT_EQ(e.x, -library_state.origin_x);
    EXPECT_EQ(e.y, library_state.origin_y);
}

TEST_F(EventLoopTest, KeysArriveAsCharacters) {
    headless::key(library_state.graphics_window, 'I');
    const Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_KBD);
    EXPECT_EQ(e.key, 'i');
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.y, 0);
}

TEST_F(EventLoopTest, StepWhileHaltedGivesExactlyOnePeriodicEventAtALaterTick) {
    kelpa_set_run_mode(RUN_STEP);
    const uint32_t start = headless::now();
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_PERIODIC);
    EXPECT_GT(e.at, start);
    EXPECT_EQ(library_state.step_pending, 0);

    headless::on_idle([&] {
        if (headless::now() >= e.at + 300)
            headless::click(library_state.graphics_window, 1, 1);
    });
    EXPECT_EQ(next_event().kind, KELPA_MOUSE);
}

TEST_F(EventLoopTest, AClickBeforeTheStepsTickUsesTheStepUp) {
    kelpa_set_run_mode(RUN_STEP);
    // The first pass dispatches a message that is no event and arms the step; the click
    // then comes before the tick.
    PostMessageA(library_state.graphics_window, WM_NULL, 0, 0);
    headless::click(library_state.graphics_window, 1, 1);
    EXPECT_EQ(next_event().kind, KELPA_MOUSE);
    EXPECT_EQ(library_state.step_pending, 0);
    headless::on_idle([] {
        if (headless::now() >= 1000)
            headless::key(library_state.graphics_window, 'K');
    });
    EXPECT_EQ(next_event().kind, KELPA_KBD);
}

TEST_F(EventLoopTest, StepWhileAnimatingChangesNothing) {
    kelpa_set_run_mode(RUN_ANIMATE);
    Event previous = next_event();
    previous = next_event();
    kelpa_set_run_mode(RUN_STEP);
    for (int i = 0; i < 3; ++i) {
        const Event e = next_event();
        EXPECT_EQ(e.kind, KELPA_PERIODIC);
        EXPECT_EQ(e.at - previous.at, 100u);
        previous = e;
    }
}

TEST_F(EventLoopTest, QuitModeStillWaitsForAnEventAndReturnsQuitForEveryCall) {
    EXPECT_EQ(kelpa_set_run_mode(RUN_QUIT), 1);
    headless::click(library_state.graphics_window, client_x(-7), client_y(3));
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_QUIT);
    EXPECT_EQ(e.x, -7);
    EXPECT_EQ(e.y, 3);

    kelpa_set_run_mode(RUN_ANIMATE);
    const uint32_t before = headless::now();
    e = next_event();
    EXPECT_EQ(e.kind, KELPA_QUIT);
    EXPECT_GT(e.at, before); // it waited for a tick
    EXPECT_EQ(library_state.quit_requested, 1);
}

TEST_F(EventLoopTest, OtherModesChangeNothing) {
    library_state.animating = 1;
    library_state.step_pending = 0;
    for (int mode : {3, 4, 6, -1, 1000}) {
        EXPECT_EQ(kelpa_set_run_mode(mode), 1) << mode;
        EXPECT_EQ(library_state.animating, 1) << mode;
        EXPECT_EQ(library_state.step_pending, 0) << mode;
        EXPECT_EQ(library_state.quit_requested, 0) << mode;
    }
    kelpa_set_run_mode(RUN_STEP);
    kelpa_set_run_mode(RUN_HALT);
    EXPECT_EQ(library_state.animating, 0);
    EXPECT_EQ(library_state.step_pending, 0);
}

TEST_F(EventLoopTest, LoggingSwitchShowsTheTextWindowOnlyWhenTurnedOn) {
    kelpa_show_log_window(0);
    EXPECT_EQ(kelpa_set_logging(0), 1);
    EXPECT_FALSE(IsWindowVisible(library_state.text_window));
    EXPECT_EQ(library_state.logging, 0);
    EXPECT_EQ(kelpa_set_logging(7), 1);
    EXPECT_EQ(library_state.logging, 1);
    EXPECT_TRUE(IsWindowVisible(library_state.text_window));
    EXPECT_EQ(kelpa_set_logging(0), 1);
    EXPECT_TRUE(IsWindowVisible(library_state.text_window));
}

using NotStartedTest = FreshLibrary;

TEST_F(NotStartedTest, RunModeAndLoggingDoNothingBeforeStartUp) {
    EXPECT_EQ(kelpa_set_run_mode(RUN_ANIMATE), 0);
    EXPECT_EQ(kelpa_set_run_mode(RUN_QUIT), 0);
    EXPECT_EQ(kelpa_set_logging(0), 0);
    EXPECT_EQ(library_state.animating, 0);
    EXPECT_EQ(library_state.quit_requested, 0);
    EXPECT_EQ(library_state.logging, 1);
}
