// The headless display at scale 3 against scale 1: a program that plays a session of clicks,
// keys, the Run menu, a host frame and a resize sees the same sizes, events, log and frame
// buffer, while the screen shows each window's pixels as 3 x 3 squares. The user's input is
// given in screen pixels, at the last pixel of each square, so the display's division is tested.
#include "display_scale.h"
#include "library_fixture.h"

#include <tuple>

namespace {

struct Seen {
    std::vector<int> sizes; // screen, outer and client rects of both windows, origin
    std::vector<std::tuple<int, int, int, char, uint32_t>> events;
    std::vector<std::string> log;
    std::vector<COLORREF> frame;
    headless::Shown graphics, text; // what the screen showed at the end
    headless::Shown menu_open;      // the graphics window with the Run menu open
};

void add_rects(std::vector<int> &out, HWND hwnd) {
    RECT outer, client;
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &client);
    out.insert(out.end(), {int(outer.left), int(outer.top), int(outer.right), int(outer.bottom),
                           int(client.right), int(client.bottom)});
}

// The screen pixel a user points at for surface pixel (x, y): the last of its square.
int at(int v, int k) {
    return v * k + k - 1;
}

class DisplayScale : public FreshLibrary {
  protected:
    Seen play(int k) {
        headless::reset();
        library_state = LibraryState{};
        message_log = MessageLog{};
        headless::set_screen_size(1024 * k, 768 * k);
        headless::set_scale(k);
        Seen seen;
        headless::on_debug_output([&](const char *text) { seen.log.emplace_back(text); });
        enter_process();
        EXPECT_EQ(kelpa_startup(), 1);
        kelpa_set_run_mode(RUN_ANIMATE);
        HWND graphics = library_state.graphics_window, text = library_state.text_window;
        auto sizes = [&] {
            seen.sizes.insert(seen.sizes.end(), {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                 int(library_state.origin_x), int(library_state.origin_y)});
            add_rects(seen.sizes, graphics);
            add_rects(seen.sizes, text);
        };
        sizes();
        auto ctrl = [&](int letter) {
            headless::key_down(graphics, VK_CONTROL);
            headless::key(graphics, letter);
            headless::key_up(graphics, VK_CONTROL);
        };
        // One step of the user's each time the program waits; the menu's own loop waits too.
        const std::vector<std::function<void()>> steps = {
            [&] { headless::screen_click(graphics, at(library_state.origin_x + 40, k), at(20 + 100, k)); },
            [&] { headless::type(graphics, "l"); },
            [&] { headless::screen_mouse_move(graphics, at(300, k), at(300, k)); },
            [&] { headless::screen_click(graphics, at(17, k), at(10, k)); }, // "Run"
            [&] { seen.menu_open = headless::shown(graphics); },
            [&] { headless::screen_click(graphics, at(60, k), at(52, k)); }, // "Halt animation"
            [&] { ctrl('L'); },
            [&] { ctrl('F'); },
            [&] { headless::screen_click(graphics, at(5, k), at(500, k)); },
            // A frame of 2, 10, 2, 2 of the program's pixels, and a size of 400 x 200.
            [&] { headless::host_frame(text, k + 1, 9 * k + 1, 2 * k, k + 1); },
            [&] { headless::screen_resize(text, 400 * k + k - 1, 200 * k); },
            [&] { ctrl('A'); },
            [] {},
            [&] {
                sizes();
                seen.graphics = headless::shown(graphics);
                seen.text = headless::shown(text);
                headless::close(graphics);
            },
        };
        size_t next = 0;
        headless::on_idle([&] {
            if (next < steps.size())
                steps[next++]();
        });
        for (;;) {
            int x = 0, y = 0;
            char key = 0;
            const int kind = kelpa_next_event(x, y, key);
            seen.events.emplace_back(kind, x, y, key, headless::now());
            if (kind == KELPA_QUIT)
                break;
            if (kind == KELPA_MOUSE)
                kelpa_circle(COLOR_RED, x, y, 9);
            else if (kind == KELPA_PERIODIC)
                kelpa_circle(COLOR_BLUE, int(headless::now() / 10 % 200) - 100, -50, 14);
            kelpa_log("event %d at (%d,%d)\n", kind, x, y);
        }
        headless::on_idle(nullptr);
        EXPECT_EQ(next, steps.size()) << "the session ended early at scale " << k;
        for (int y = 0; y < FRAME_HEIGHT; ++y)
            for (int x = 0; x < FRAME_WIDTH; ++x)
                seen.frame.push_back(GetPixel(library_state.frame_dc, x, y));
        headless::on_debug_output(nullptr);
        return seen;
    }
};

// Every pixel of `small` as a k x k square.
bool scaled(const headless::Shown &big, const headless::Shown &small, int k) {
    if (big.width != small.width * k || big.height != small.height * k || small.rgb.empty())
        return false;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            if (big.rgb[size_t(y) * big.width + x] != small.rgb[size_t(y / k) * small.width + x / k])
                return false;
    return true;
}

} // namespace

TEST_F(DisplayScale, AtScaleThreeTheProgramSeesWhatItSeesAtOneAndTheScreenShowsSquares) {
    const Seen one = play(1), three = play(3);
    EXPECT_EQ(three.sizes, one.sizes);
    EXPECT_EQ(three.events, one.events);
    EXPECT_EQ(three.log, one.log);
    EXPECT_TRUE(three.frame == one.frame) << "the frame buffers differ";
    // The session did what it meant to: two clicks landed, the menu halted, the text window
    // took the frame and the size.
    int clicks = 0;
    for (const auto &e : one.events)
        clicks += std::get<0>(e) == KELPA_MOUSE;
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(std::make_pair(std::get<0>(one.events[0]), std::get<1>(one.events[0])),
              std::make_pair(+KELPA_MOUSE, 40));
    ASSERT_EQ(one.sizes.size(), 32u);
    // The second look: the text window's outer rect and client size, after frame and resize.
    const std::vector<int> text_after(one.sizes.begin() + 26, one.sizes.end());
    EXPECT_EQ(text_after, (std::vector<int>{0, 550, 404, 550 + 212, 400, 200}));

    EXPECT_TRUE(scaled(three.graphics, one.graphics, 3)) << "the graphics window is not shown at 3x";
    EXPECT_TRUE(scaled(three.text, one.text, 3)) << "the text window is not shown at 3x";
    EXPECT_TRUE(scaled(three.menu_open, one.menu_open, 3)) << "the open menu is not shown at 3x";
    EXPECT_NE(one.menu_open.rgb, one.graphics.rgb) << "the menu did not open";
}

TEST(DisplayScaleFromDpi, RoundsToTheNearestWholeScaleAtLeastOne) {
    const std::pair<double, int> cases[] = {{96, 1},  {0, 1},   {-5, 1},  {120, 1}, {143.9, 1}, {144, 2},
                                            {192, 2}, {239, 2}, {240, 3}, {288, 3}, {1e9, 16}};
    for (const auto &[dpi, scale] : cases)
        EXPECT_EQ(win32::scale_from_dpi(dpi), scale) << dpi;
}
