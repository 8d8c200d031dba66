// The renderer's pixel conformance figure. "paint FILE" paints the fixed list of calls on the
// GDI32 this build links (our subset, or the real one under Wine) and times the full scene;
// "compare OURS THEIRS [--all]" prints the share of agreeing pixels per call and per kind;
// "time REPS" only times the scene.
#include "scene_calls.h"
#include "scene_canvas.h"

#include "kelpa_private.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Mean time of one full scene into a frame-sized buffer, after one unmeasured warm-up.
double time_scene(int reps) {
    Canvas c = open_canvas(FRAME_WIDTH, FRAME_HEIGHT);
    paint_game_scene();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i)
        paint_game_scene();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    close_canvas(c);
    return spent.count() / reps;
}

int usage() {
    std::fprintf(stderr,
                 "usage: scene_conformance paint FILE\n       scene_conformance compare OURS THEIRS [--all]\n"
                 "       scene_conformance time REPS\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "paint") == 0) {
        PaintedRun run;
        for (const SceneCall &call : scene_calls())
            run.calls.push_back(paint(call));
        run.scene_reps = 300;
        run.scene_us = time_scene(run.scene_reps);
        if (!write_run(argv[2], run)) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "time") == 0) {
        const int reps = std::atoi(argv[2]);
        if (reps <= 0)
            return usage();
        std::printf("full scene: %.1f us (mean of %d)\n", time_scene(reps), reps);
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
