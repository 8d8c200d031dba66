// Cost of one frame of the game and of each drawing primitive at the sizes the game uses,
// on the subset's frame buffer (headless display), each shown beside the memory-bandwidth
// floor: one std::fill of the 601 x 540 frame buffer, measured in the same run.
#include "game_controls.h"
#include "game_random.h"
#include "game_scene.h"
#include "kelpa_private.h"
#include "win32_headless.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds of one fill of a frame-sized buffer: the best of many, so a busy machine's
// stalls do not inflate the floor. The frame (1.3 MB) stays in cache, so this is the speed of
// std::fill's store loop more than of memory: the subset's own span writer, four vector
// stores a step, clears the frame in less (BM_Clear below one fill is expected).
double fill_floor_ns() {
    static const double floor = [] {
        std::vector<uint32_t> frame(size_t(FRAME_WIDTH) * FRAME_HEIGHT);
        double best = 1e30;
        for (int round = 0; round < 200; ++round) {
            const auto t0 = Clock::now();
            std::fill(frame.begin(), frame.end(), 0x00ffffffu + uint32_t(round));
            benchmark::DoNotOptimize(frame.data());
            benchmark::ClobberMemory();
            best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count());
        }
        return best;
    }();
    return floor;
}

// A started library with logging off, as the game runs it; started once for the program.
void start_library() {
    static bool started = false;
    if (started)
        return;
    headless::reset();
    library_state = LibraryState{};
    static int instance_tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&instance_tag);
    library_state.show_mode = SW_SHOWDEFAULT;
    kelpa_startup();
    kelpa_set_logging(0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    started = true;
}

// Runs `body` as the benchmark's loop and reports its time per call in fills of the frame.
template <typename Body> void timed(benchmark::State &state, Body body) {
    start_library();
    const double floor = fill_floor_ns();
    const auto t0 = Clock::now();
    for (auto _ : state)
        body();
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
    state.counters["fills"] = ns / double(state.iterations()) / floor;
    state.counters["fill_ns"] = floor;
}

void BM_FillFrameBuffer(benchmark::State &state) {
    std::vector<uint32_t> frame(size_t(FRAME_WIDTH) * FRAME_HEIGHT);
    const double floor = fill_floor_ns();
    const auto t0 = Clock::now();
    for (auto _ : state) {
        std::fill(frame.begin(), frame.end(), 0x00ffffffu);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
    state.counters["fills"] = ns / double(state.iterations()) / floor;
}
BENCHMARK(BM_FillFrameBuffer);

void BM_DrawScene(benchmark::State &state) {
    GameState game;
    game_srand(1234);
    reset_game(game);
    timed(state, [&] { draw_scene(game); });
}
BENCHMARK(BM_DrawScene);

void BM_DrawSceneGameOver(benchmark::State &state) {
    GameState game;
    game_srand(1234);
    reset_game(game);
    game.game_over = game.paused = 1;
    timed(state, [&] { draw_scene(game); });
}
BENCHMARK(BM_DrawSceneGameOver);

void BM_Disc(benchmark::State &state) {
    const int radius = static_cast<int>(state.range(0));
    timed(state, [&] { kelpa_circle(COLOR_YELLOW, 10, -20, radius); });
}
BENCHMARK(BM_Disc)->Arg(20)->Arg(12)->Arg(7)->Arg(5)->Arg(2);

void BM_RectOutlineWidth2(benchmark::State &state) {
    timed(state, [&] { kelpa_rect(COLOR_BLACK, -300, 225, -200, 245, 2); });
}
BENCHMARK(BM_RectOutlineWidth2);

void BM_FilledRect25(benchmark::State &state) {
    timed(state, [&] { kelpa_rect(COLOR_GOLD, -12, -12, 12, 12, 0); });
}
BENCHMARK(BM_FilledRect25);

void BM_Line600(benchmark::State &state) {
    const int width = static_cast<int>(state.range(0));
    timed(state, [&] { kelpa_line(COLOR_BLACK, -300, 225, 300, 225, width); });
}
BENCHMARK(BM_Line600)->Arg(3)->Arg(2);

void BM_Text12ChangeColor(benchmark::State &state) {
    timed(state, [&] { kelpa_text(COLOR_BLUE, -285, 227, 12, "Change Color"); });
}
BENCHMARK(BM_Text12ChangeColor);

void BM_Text48GameOver(benchmark::State &state) {
    timed(state, [&] { kelpa_text(COLOR_RED, -150, 0, 48, "GAME OVER"); });
}
BENCHMARK(BM_Text48GameOver);

void BM_Clear(benchmark::State &state) {
    timed(state, [&] { kelpa_clear(); });
}
BENCHMARK(BM_Clear);

// The copy of a drawn frame to the graphics window, which follows every frame.
void BM_PresentFrame(benchmark::State &state) {
    timed(state, [&] { present_frame(); });
}
BENCHMARK(BM_PresentFrame);

// The text window's paint with a full ring of 25 lines, as every appended line asks for.
void BM_TextWindowRepaint25(benchmark::State &state) {
    start_library();
    kelpa_show_log_window(1);
    for (int i = 0; i < LOG_SLOTS; ++i)
        kelpa_log("Red circle at (%d,%d), radius %d\n", i, -i, 20);
    HWND text = library_state.text_window;
    timed(state, [&] {
        InvalidateRect(text, nullptr, TRUE);
        UpdateWindow(text);
    });
}
BENCHMARK(BM_TextWindowRepaint25);

// One kelpa_next_event while animating: the wait, the tick's message and the event. The
// headless clock jumps to the tick, so this is the library's own cost.
void BM_NextEventTick(benchmark::State &state) {
    start_library();
    kelpa_set_run_mode(RUN_ANIMATE);
    int x = 0, y = 0;
    char key = 0;
    timed(state, [&] { benchmark::DoNotOptimize(kelpa_next_event(x, y, key)); });
    kelpa_set_run_mode(RUN_HALT);
}
BENCHMARK(BM_NextEventTick);

} // namespace

BENCHMARK_MAIN();
