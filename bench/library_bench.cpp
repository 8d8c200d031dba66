// Cost of one frame of the game and of each drawing primitive at the sizes the game uses,
// on the subset's frame buffer (headless display), each beside the memory-bandwidth floor:
// one std::fill of the 601 x 540 frame buffer. The floor is measured interleaved with the
// body, fill and batch taking turns, and each counter is a median of that same run, so a
// machine that speeds up or slows down moves both alike.
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

double ns_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The floor: one fill of a frame-sized buffer. Timed right after an untimed fill, the buffer
// (1.3 MB) is in cache whatever the body did, so this is the speed of std::fill's store loop
// more than of memory.
void fill_frame(uint32_t value) {
    static std::vector<uint32_t> frame(size_t(FRAME_WIDTH) * FRAME_HEIGHT);
    std::fill(frame.begin(), frame.end(), value);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
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

// Runs `body` with the floor: every iteration is one fill, timed, then a batch of calls of
// the body, timed; the batch is sized to last about one fill, so that a small primitive is
// timed over many calls and a frame over one. The iteration's time is the batch's (manual
// time). Counters, medians over the iterations: body_ns a call, fill_ns, and fills, their
// ratio.
template <typename Body> void timed(benchmark::State &state, Body body) {
    start_library();
    // The batch: as many calls as fit in the fastest of a few fills, counted once.
    double fill_estimate = 1e30;
    for (uint32_t round = 0; round < 5; ++round) {
        const auto t0 = Clock::now();
        fill_frame(round);
        fill_estimate = std::min(fill_estimate, ns_since(t0));
    }
    int batch = 0;
    for (const auto t0 = Clock::now(); batch < 100000 && (batch == 0 || ns_since(t0) < fill_estimate);
         ++batch)
        body();

    std::vector<double> fills, calls;
    uint32_t value = 0;
    for (auto _ : state) {
        fill_frame(++value); // back in cache, whatever the body moved out: the floor is warm
        auto t0 = Clock::now();
        fill_frame(++value);
        fills.push_back(ns_since(t0));
        t0 = Clock::now();
        for (int i = 0; i < batch; ++i)
            body();
        const double batch_ns = ns_since(t0);
        calls.push_back(batch_ns / batch);
        state.SetIterationTime(batch_ns * 1e-9);
    }
    const double fill_ns = median(fills), body_ns = median(calls);
    state.counters["body_ns"] = body_ns;
    state.counters["fill_ns"] = fill_ns;
    state.counters["fills"] = body_ns / fill_ns;
    state.counters["batch"] = batch;
}

// The floor against itself: fills near 1, and its spread the measure of the noise.
void BM_FillFrameBuffer(benchmark::State &state) {
    uint32_t value = 0;
    timed(state, [&] { fill_frame(0x00ffffffu ^ ++value); });
}
BENCHMARK(BM_FillFrameBuffer)->UseManualTime();

void BM_DrawScene(benchmark::State &state) {
    GameState game;
    game_srand(1234);
    reset_game(game);
    timed(state, [&] { draw_scene(game); });
}
BENCHMARK(BM_DrawScene)->UseManualTime();

void BM_DrawSceneGameOver(benchmark::State &state) {
    GameState game;
    game_srand(1234);
    reset_game(game);
    game.game_over = game.paused = 1;
    timed(state, [&] { draw_scene(game); });
}
BENCHMARK(BM_DrawSceneGameOver)->UseManualTime();

void BM_Disc(benchmark::State &state) {
    const int radius = static_cast<int>(state.range(0));
    timed(state, [&] { kelpa_circle(COLOR_YELLOW, 10, -20, radius); });
}
BENCHMARK(BM_Disc)->Arg(20)->Arg(12)->Arg(7)->Arg(5)->Arg(2)->UseManualTime();

void BM_RectOutlineWidth2(benchmark::State &state) {
    timed(state, [&] { kelpa_rect(COLOR_BLACK, -300, 225, -200, 245, 2); });
}
BENCHMARK(BM_RectOutlineWidth2)->UseManualTime();

void BM_FilledRect25(benchmark::State &state) {
    timed(state, [&] { kelpa_rect(COLOR_GOLD, -12, -12, 12, 12, 0); });
}
BENCHMARK(BM_FilledRect25)->UseManualTime();

void BM_Line600(benchmark::State &state) {
    const int width = static_cast<int>(state.range(0));
    timed(state, [&] { kelpa_line(COLOR_BLACK, -300, 225, 300, 225, width); });
}
BENCHMARK(BM_Line600)->Arg(3)->Arg(2)->UseManualTime();

void BM_Text12ChangeColor(benchmark::State &state) {
    timed(state, [&] { kelpa_text(COLOR_BLUE, -285, 227, 12, "Change Color"); });
}
BENCHMARK(BM_Text12ChangeColor)->UseManualTime();

void BM_Text48GameOver(benchmark::State &state) {
    timed(state, [&] { kelpa_text(COLOR_RED, -150, 0, 48, "GAME OVER"); });
}
BENCHMARK(BM_Text48GameOver)->UseManualTime();

void BM_Clear(benchmark::State &state) {
    timed(state, [&] { kelpa_clear(); });
}
BENCHMARK(BM_Clear)->UseManualTime();

// The copy of a drawn frame to the graphics window, which follows every frame.
void BM_PresentFrame(benchmark::State &state) {
    timed(state, [&] { present_frame(); });
}
BENCHMARK(BM_PresentFrame)->UseManualTime();

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
BENCHMARK(BM_TextWindowRepaint25)->UseManualTime();

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
BENCHMARK(BM_NextEventTick)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
