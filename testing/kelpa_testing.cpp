// Running a program on the headless display and reading back what it shows. Script steps run
// from the display's idle hook, which is called exactly when the program would block waiting
// for a message; an input step returns at once so the program handles it before the next step.
#include "kelpa_testing.h"

#include "kelpa_private.h"
#include "testing_internal.h"
#include "win32_headless.h"
#include "win32_internal.h"
#include "win32_surface.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelpa_testing {

namespace {

// What the process entry stores before game_main runs.
void enter_process() {
    static int instance_tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&instance_tag);
    library_state.show_mode = SW_SHOWDEFAULT;
}

std::vector<std::string> log_history;

} // namespace

HWND graphics_window() {
    return library_state.graphics_window;
}

void bring_window_up_to_date() {
    if (IsWindow(graphics_window()) && library_state.frame_dirty)
        present_frame();
}

void start_log_history() {
    log_history.clear();
    headless::on_debug_output([](const char *text) {
        std::string line = text;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        log_history.push_back(std::move(line));
    });
}

void reset() {
    script_close(); // a file left open by an earlier run
    headless::reset();
    library_state = LibraryState{};
    message_log = MessageLog{};
    pin_time(-1);
    start_log_history();
}

void start() {
    reset();
    enter_process();
    kelpa_startup();
    // The windows' first paints, as the first call of kelpa_next_event would dispatch them.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Script &Script::add(Step step) {
    if (running_) {
        // It would run after every step already there, not where the code that added it stands.
        std::fprintf(stderr, "kelpa_testing: a step was added to a Script while run() carries it out; add "
                             "every step before run(), and give a point found during the run as a "
                             "function: click([&] { return Point{x, y}; })\n");
        std::abort();
    }
    steps_.push_back(std::move(step));
    return *this;
}

Script &Script::wait(int ms) {
    return add(Step{ms < 0 ? 0 : ms, false, nullptr, nullptr});
}

Script &Script::click(int x, int y) {
    return click([x, y] { return Point{x, y}; });
}

Script &Script::click(std::function<Point()> where) {
    return add(Step{-1, true,
                    [where = std::move(where)] {
                        const Point p = where();
                        headless::click(graphics_window(), library_state.origin_x + p.x,
                                        library_state.origin_y - p.y);
                    },
                    nullptr});
}

Script &Script::key(char ch) {
    return add(Step{-1, true, [ch] { headless::type(graphics_window(), std::string(1, ch)); }, nullptr});
}

Script &Script::command(char letter) {
    int vk = std::toupper(static_cast<unsigned char>(letter));
    return add(Step{-1, true,
                    [vk] {
                        headless::key_down(graphics_window(), VK_CONTROL);
                        headless::key(graphics_window(), vk);
                        headless::key_up(graphics_window(), VK_CONTROL);
                    },
                    nullptr});
}

Script &Script::then(std::function<void()> action) {
    return add(Step{-1, false, std::move(action), nullptr});
}

Script &Script::close() {
    return add(Step{-1, true, [] { headless::close(graphics_window()); }, nullptr});
}

Script &Script::start_time(int64_t seconds) {
    start_time_ = seconds;
    return *this;
}

int run(const std::function<int()> &program, const Script &script) {
    return run_watched(program, script, nullptr);
}

int run_watched(const std::function<int()> &program, const Script &script,
                const std::function<bool()> &watch) {
    reset();
    enter_process();
    if (script.start_time_ >= 0)
        pin_time(script.start_time_);
    size_t next = 0;
    bool waiting = false;
    uint32_t wait_until = 0;
    bool closed = false;
    headless::on_idle([&] {
        if (watch && next < script.steps_.size() && !watch())
            next = script.steps_.size();
        while (next < script.steps_.size()) {
            const Script::Step &step = script.steps_[next];
            if (step.until) {
                if (!step.until())
                    return; // the clock moves on to the next timer's tick
                ++next;
                continue;
            }
            if (step.wait_ms >= 0) {
                if (!waiting) {
                    waiting = true;
                    wait_until = headless::now() + static_cast<uint32_t>(step.wait_ms);
                }
                // Doing nothing lets the clock jump to the next timer's tick.
                if (static_cast<int32_t>(wait_until - headless::now()) > 0)
                    return;
                waiting = false;
                ++next;
                continue;
            }
            ++next;
            step.action();
            if (step.input)
                return;
        }
        if (!closed && IsWindow(graphics_window())) {
            closed = true;
            headless::close(graphics_window());
        }
    });
    script.running_ = true;
    int result = program();
    script.running_ = false;
    headless::on_idle(nullptr);
    return result;
}

uint32_t now_ms() {
    return headless::now();
}

Rgb pixel(int x, int y) {
    bring_window_up_to_date();
    COLORREF c = headless::pixel(graphics_window(), library_state.origin_x + x, library_state.origin_y - y);
    if (c == CLR_INVALID)
        return Rgb{};
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

int color_at(int x, int y) {
    Rgb c = pixel(x, y);
    for (int i = 0; i < COLOR_COUNT; ++i)
        if (c == Rgb{GetRValue(color_values[i]), GetGValue(color_values[i]), GetBValue(color_values[i])})
            return i;
    return -1;
}

std::vector<std::string> all_log_lines() {
    return log_history;
}

std::vector<std::string> log_lines() {
    std::vector<std::string> lines;
    if (message_log.log_first < 0)
        return lines;
    int i = message_log.log_first;
    do {
        const char *text = static_cast<const char *>(GlobalLock(message_log.log_lines[i]));
        std::string line = text ? text : "";
        GlobalUnlock(message_log.log_lines[i]);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(std::move(line));
        i = (i + 1) % LOG_SLOTS;
    } while (i != message_log.log_next);
    return lines;
}

bool save_png(const std::string &path) {
    if (!IsWindow(graphics_window()))
        return false;
    UpdateWindow(graphics_window());
    bring_window_up_to_date();
    return headless::save_png(graphics_window(), path);
}

bool save_log_png(const std::string &path) {
    if (!IsWindow(library_state.text_window))
        return false;
    UpdateWindow(library_state.text_window);
    return headless::save_png(library_state.text_window, path);
}

bool update_capture(Picture &picture) {
    RECT client;
    const win32::Surface *screen = win32::window_screen(graphics_window(), &client);
    if (!screen) {
        const bool changed = !picture.rgb.empty();
        picture = Picture{};
        return changed;
    }
    const int width = client.right - client.left, height = client.bottom - client.top;
    const bool resized = picture.width != width || picture.height != height;
    if (resized) {
        picture.width = width;
        picture.height = height;
        picture.rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    }
    bool changed = resized;
    uint32_t *out = picture.rgb.data();
    for (int y = client.top; y < client.bottom; ++y, out += width) {
        if (!screen->contains(client.left, y) || !screen->contains(client.right - 1, y)) {
            for (int x = client.left; x < client.right; ++x) {
                const uint32_t c = screen->contains(x, y) ? screen->row(y)[x] : 0u;
                changed |= out[x - client.left] != c;
                out[x - client.left] = c;
            }
            continue;
        }
        const uint32_t *row = screen->row(y) + client.left;
        if (std::memcmp(out, row, static_cast<size_t>(width) * sizeof *row) != 0) {
            std::memcpy(out, row, static_cast<size_t>(width) * sizeof *row);
            changed = true;
        }
    }
    return changed;
}

bool screen_differs(const Picture &picture) {
    RECT client;
    const win32::Surface *screen = win32::window_screen(graphics_window(), &client);
    if (!screen)
        return !picture.rgb.empty();
    const int width = client.right - client.left;
    if (picture.width != width || picture.height != client.bottom - client.top)
        return true;
    const uint32_t *in = picture.rgb.data();
    for (int y = client.top; y < client.bottom; ++y, in += width) {
        if (!screen->contains(client.left, y) || !screen->contains(client.right - 1, y)) {
            for (int x = client.left; x < client.right; ++x)
                if (in[x - client.left] != (screen->contains(x, y) ? screen->row(y)[x] : 0u))
                    return true;
        } else if (std::memcmp(in, screen->row(y) + client.left, static_cast<size_t>(width) * sizeof *in) !=
                   0) {
            return true;
        }
    }
    return false;
}

Picture capture() {
    bring_window_up_to_date();
    Picture picture;
    update_capture(picture);
    return picture;
}

} // namespace kelpa_testing
