// The renderer's pixel conformance figure. "paint FILE" paints the fixed list of calls on the
// GDI32 this build links (our subset, or the real one under Wine) and times the full scene;
// "compare OURS THEIRS [--all]" prints the share of agreeing pixels per call and per kind;
// "time SECONDS" only times the scene.
#include "scene_calls.h"
#include "scene_canvas.h"

#include "kelpa_private.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A colour outside the table, so shapes of any of the 24 colours show against it.
const COLORREF off_table = RGB(1, 2, 3);

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

Canvas open_canvas(int width, int height) {
    Canvas c;
    c.dc = CreateCompatibleDC(nullptr);
    c.bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    c.previous = SelectObject(c.dc, c.bitmap);
    library_state = LibraryState{};
    library_state.logging = 0;
    library_state.frame_dc = c.dc;
    library_state.origin_x = width / 2;
    library_state.origin_y = height / 2;
    return c;
}

void close_canvas(Canvas &c) {
    SelectObject(c.dc, c.previous);
    DeleteObject(c.bitmap);
    DeleteDC(c.dc);
    library_state.frame_dc = nullptr;
}

PaintedCall paint(const SceneCall &call) {
    PaintedCall out;
    out.name = call.name;
    out.section = call.section;
    out.width = call.width, out.height = call.height;
    Canvas c = open_canvas(call.width, call.height);
    out.background = call.white_background ? RGB(255, 255, 255) : off_table;
    HBRUSH b = CreateSolidBrush(out.background);
    RECT all = {0, 0, call.width, call.height};
    FillRect(c.dc, &all, b);
    DeleteObject(b);
    call.paint();
    out.pixels.reserve(static_cast<size_t>(call.width) * call.height);
    for (int y = 0; y < call.height; ++y)
        for (int x = 0; x < call.width; ++x)
            out.pixels.push_back(GetPixel(c.dc, x, y));
    close_canvas(c);
    return out;
}

// Time of one full scene into a frame-sized buffer, after one unmeasured warm-up: the lower
// decile of the scenes painted one by one for `seconds`. A frame outgrows the L2, and while
// another process streams through the cache the two cores share, a scene takes up to half as
// long again, in spells of up to a few seconds that can cover a whole short measurement; the
// decile is the scene with the cache to itself. The count painted goes to *reps.
double time_scene(double seconds, int *reps) {
    Canvas c = open_canvas(FRAME_WIDTH, FRAME_HEIGHT);
    paint_game_scene();
    std::vector<double> times;
    using Clock = std::chrono::steady_clock;
    for (const auto begin = Clock::now();
         std::chrono::duration<double>(Clock::now() - begin).count() < seconds;) {
        const auto start = Clock::now();
        paint_game_scene();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    close_canvas(c);
    *reps = static_cast<int>(times.size());
    std::nth_element(times.begin(), times.begin() + times.size() / 10, times.end());
    return times[times.size() / 10];
}

int usage() {
    std::fprintf(stderr,
                 "usage: scene_conformance paint FILE\n       scene_conformance compare OURS THEIRS [--all]\n"
                 "       scene_conformance time SECONDS\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "paint") == 0) {
        PaintedRun run;
        for (const SceneCall &call : scene_calls())
            run.calls.push_back(paint(call));
        run.scene_us = time_scene(2, &run.scene_reps);
        if (!write_run(argv[2], run)) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "time") == 0) {
        const double seconds = std::atof(argv[2]);
        if (seconds <= 0)
            return usage();
        int reps = 0;
        const double us = time_scene(seconds, &reps);
        std::printf("full scene: %.1f us (lower decile of %d)\n", us, reps);
        return 0;
    }
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "compare") == 0) {
        PaintedRun ours, theirs;
        if (!read_run(argv[2], ours) || !read_run(argv[3], theirs)) {
            std::fprintf(stderr, "cannot read %s or %s\n", argv[2], argv[3]);
            return 2;
        }
        return compare_runs(ours, theirs, argc == 5 && std::strcmp(argv[4], "--all") == 0);
    }
    return usage();
}
