// The library's event stream on whatever USER32 the build links: virtual time on the headless
// display (GetTickCount and Sleep are its clock), real time on Windows or Wine. Only the
// library's headers and Win32 calls, so timings hold exactly on the first and within a
// tolerance on the second; every test starts the library afresh and destroys both windows.
#include "kelpa_private.h"
#include "library_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

#ifdef _WIN32
constexpr bool virtual_time = false;
#else
constexpr bool virtual_time = true;
#endif

struct Event {
    int kind = 0;
    int x = 0;
    int y = 0;
    char key = 0;
    DWORD at = 0;
};

Event next_event() {
    Event e;
    e.kind = kelpa_next_event(e.x, e.y, e.key);
    e.at = GetTickCount();
    return e;
}

// A message posted to the graphics window from a timer callback once `after` callbacks have
// run, so the library sits in its wait (and sees its own ticks) before the message arrives.
// The callback's WM_TIMER goes to the callback, never to the window procedure.
struct DelayedPost {
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    int after = 0;
    int calls = 0;
};
constexpr UINT_PTR POST_TIMER_ID = 77;
constexpr UINT POST_PERIOD_MS = 30;
DelayedPost *active_post = nullptr; // the running test's, set by the fixture

void CALLBACK post_when_due(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    DelayedPost &p = *active_post;
    if (++p.calls < p.after)
        return;
    KillTimer(hwnd, id);
    PostMessageA(library_state.graphics_window, p.message, p.wparam, p.lparam);
}

DWORD median(std::vector<DWORD> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

class LibraryEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        start_library_process();
        active_post = &post_;
        ASSERT_EQ(kelpa_startup(), 1);
        drain(); // the paints of start-up
    }

    void TearDown() override {
        LibraryState &s = library_state;
        KillTimer(s.graphics_window, POST_TIMER_ID);
        kelpa_shutdown();
        DeleteDC(s.frame_dc);
        DeleteObject(s.frame_bitmap);
        DestroyWindow(s.text_window);
        DestroyWindow(s.graphics_window); // posts the quit message
        drain();
        for (HGLOBAL &line : message_log.log_lines)
            if (line)
                line = GlobalFree(line);
        active_post = nullptr;
    }

    void post_later(UINT message, WPARAM wparam, LPARAM lparam, int after) {
        post_ = DelayedPost{message, wparam, lparam, after, 0};
        SetTimer(library_state.graphics_window, POST_TIMER_ID, POST_PERIOD_MS, post_when_due);
    }

    // Gaps between `count` consecutive periodic events in animation; `each` runs before every call.
    template <typename Each> std::vector<DWORD> periodic_gaps(int count, Each each) {
        kelpa_set_run_mode(RUN_ANIMATE);
        Event previous = next_event();
        EXPECT_EQ(previous.kind, KELPA_PERIODIC);
        std::vector<DWORD> gaps;
        for (int i = 0; i < count; ++i) {
            each(i);
            const Event e = next_event();
            EXPECT_EQ(e.kind, KELPA_PERIODIC) << "event " << i;
            gaps.push_back(e.at - previous.at);
            previous = e;
        }
        return gaps;
    }

    DelayedPost post_;
};

// A periodic event needs a tick after the call armed it; with nothing else queued the arming
// itself takes a tick, so the events come every second 50 ms tick.
TEST_F(LibraryEvents, AnimationOnAnEmptyQueueGivesAnEventEvery100ms) {
    const std::vector<DWORD> gaps = periodic_gaps(10, [](int) {});
    if (virtual_time) {
        for (DWORD g : gaps)
            EXPECT_EQ(g, 100u);
    } else {
        EXPECT_GE(median(gaps), 80u);
        EXPECT_LE(median(gaps), 130u);
        // Two events for one tick would show as a gap of (almost) nothing.
        EXPECT_GT(*std::min_element(gaps.begin(), gaps.end()), 20u);
    }
}

// The repaint of the text window after each log line is the message that arms the next call,
// so every tick completes an event.
TEST_F(LibraryEvents, ALogLinePerEventGivesAnEventEveryTick) {
    kelpa_set_logging(1);
    drain();
    const std::vector<DWORD> gaps = periodic_gaps(10, [](int i) { kelpa_log("frame %d\n", i); });
    if (virtual_time) {
        for (DWORD g : gaps)
            EXPECT_EQ(g, 50u);
    } else {
        EXPECT_GE(median(gaps), 35u);
        EXPECT_LE(median(gaps), 70u);
        EXPECT_GT(*std::min_element(gaps.begin(), gaps.end()), 10u);
    }
}

TEST_F(LibraryEvents, HaltedDeliversPostedKeysAndClicksAndNoTicks) {
    kelpa_set_run_mode(RUN_ANIMATE);
    EXPECT_EQ(next_event().kind, KELPA_PERIODIC);
    kelpa_set_run_mode(RUN_HALT);

    DWORD start = GetTickCount();
    post_later(WM_CHAR, 'h', 0, 10);
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_KBD);
    EXPECT_EQ(e.key, 'h');
    EXPECT_EQ(post_.calls, 10); // the wait outlasted several of the library's ticks
    EXPECT_GE(e.at - start, virtual_time ? 300u : 200u);

    const LPARAM at = MAKELPARAM(library_state.origin_x + 12, library_state.origin_y - 34);
    post_later(WM_LBUTTONDOWN, MK_LBUTTON, at, 6);
    e = next_event();
    EXPECT_EQ(e.kind, KELPA_MOUSE);
    EXPECT_EQ(e.x, 12);
    EXPECT_EQ(e.y, 34);
    EXPECT_EQ(post_.calls, 6);
}

TEST_F(LibraryEvents, StepGivesExactlyOnePeriodicEvent) {
    kelpa_set_run_mode(RUN_HALT);
    kelpa_set_run_mode(RUN_STEP);
    const DWORD start = GetTickCount();
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_PERIODIC);
    if (virtual_time) {
        EXPECT_GT(e.at, start);
    }

    post_later(WM_CHAR, 's', 0, 10);
    e = next_event();
    EXPECT_EQ(e.kind, KELPA_KBD);
    EXPECT_EQ(e.key, 's');
    EXPECT_EQ(post_.calls, 10);
}

TEST_F(LibraryEvents, QuitModeAnswersEveryEventWithQuit) {
    kelpa_set_run_mode(RUN_QUIT);
    post_later(WM_CHAR, 'q', 0, 2);
    Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_QUIT);
    EXPECT_EQ(e.key, 'q');
    kelpa_set_run_mode(RUN_ANIMATE);
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
}

TEST_F(LibraryEvents, PostQuitMessageEndsTheStream) {
    kelpa_set_run_mode(RUN_ANIMATE);
    EXPECT_EQ(next_event().kind, KELPA_PERIODIC);
    PostQuitMessage(0);
    const Event e = next_event();
    EXPECT_EQ(e.kind, KELPA_QUIT);
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.key, 0);
}
