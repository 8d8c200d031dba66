// The calls of the conformance figure: every record kind the renderer paints, radii and sizes
// 0 to 40, widths 0 (filled) to 5, all 24 colours, lines of many slopes, and the game scene.
// Records go straight to render_draw_record, so hollow ovals are covered too.
#include "scene_calls.h"

#include "game_scene.h"
#include "kelpa_private.h"

#include <cstdarg>
#include <cstdio>

namespace {

DrawRecord record(uint32_t kind, int color, int width, int x1, int y1, int x2, int y2) {
    DrawRecord r;
    r.kind = kind;
    r.color = color;
    r.width = width;
    r.x1 = x1, r.y1 = y1, r.x2 = x2, r.y2 = y2;
    return r;
}

std::string format(const char *fmt, ...) KELPA_PRINTF(1, 2);
std::string format(const char *fmt, ...) {
    char text[96];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

void add(std::vector<SceneCall> &calls, std::string name, int size, DrawRecord r) {
    calls.push_back({std::move(name), SECTION_SHAPES, size, size, false, [r] { render_draw_record(r); }});
}

void shapes(std::vector<SceneCall> &calls) {
    for (int r = 0; r <= 40; ++r)
        for (int w = 0; w <= 5; ++w) {
            const int size = 2 * r + 16;
            add(calls, format("oval r%d w%d", r, w), size, record(DRAW_OVAL, COLOR_BLUE, w, -r, r, r, -r));
            add(calls, format("rect r%d w%d", r, w), size, record(DRAW_RECT, COLOR_BLUE, w, -r, r, r, -r));
            if (r % 4 == 0)
                add(calls, format("oval oblong r%d w%d", r, w), size,
                    record(DRAW_OVAL, COLOR_BLUE, w, -r, r / 2, r, -r / 2));
        }
}

void triangles(std::vector<SceneCall> &calls) {
    const int tris[][6] = {
        {-15, -15, 15, -15, -15, 15}, {-15, -15, 12, -8, -8, 15}, {12, 18, -18, 0, 8, -15},
        {0, 18, 16, -16, -16, -16},   {-18, 18, 16, 0, -18, -18}, {-8, 16, -7, -12, 14, -13},
        {-16, 16, 16, 15, 2, 13},     {2, -2, 3, -4, 1, -5},      {-14, -12, 12, 14, 14, -14},
        {-18, 0, 0, 18, 16, 0},       {0, 0, 0, 0, 0, 0},         {-10, 5, 10, 5, 0, 5},
    };
    for (size_t i = 0; i < sizeof tris / sizeof tris[0]; ++i)
        for (int w = 0; w <= 5; ++w) {
            DrawRecord r =
                record(DRAW_TRIANGLE, COLOR_BLUE, w, tris[i][0], tris[i][1], tris[i][2], tris[i][3]);
            r.x3 = tris[i][4], r.y3 = tris[i][5];
            add(calls, format("triangle t%d w%d", static_cast<int>(i), w), 48, r);
        }
}

void lines(std::vector<SceneCall> &calls) {
    // End points on the square ring around the centre: every slope between the axes and
    // the diagonals, in all eight octants.
    const int ring = 9;
    for (int dx = -ring; dx <= ring; ++dx)
        for (int dy = -ring; dy <= ring; ++dy) {
            if (dx != -ring && dx != ring && dy != -ring && dy != ring)
                continue;
            for (int w = 0; w <= 5; ++w)
                add(calls, format("line %d,%d w%d", dx, dy, w), 32,
                    record(DRAW_LINE, COLOR_BLUE, w, 0, 0, dx, dy));
        }
    for (int dy : {1, 2, 3, -1, -2, -3}) {
        add(calls, format("line long 30,%d w%d", dy, 1), 40,
            record(DRAW_LINE, COLOR_BLUE, 1, -15, 0, 15, dy));
        add(calls, format("line steep %d,30 w%d", dy, 1), 40,
            record(DRAW_LINE, COLOR_BLUE, 1, 0, -15, dy, 15));
    }
}

void pixels_and_colors(std::vector<SceneCall> &calls) {
    for (int p = 0; p < 5; ++p) {
        const int at[][2] = {{0, 0}, {-8, 8}, {7, -7}, {-9, -9}, {8, 9}};
        add(calls, format("pixel p%d c%d", p, p * 5), 18,
            record(DRAW_PIXEL, p * 5, 0, at[p][0], at[p][1], 0, 0));
    }
    for (int c = 0; c < COLOR_COUNT; ++c) {
        add(calls, format("color c%d oval", c), 30, record(DRAW_OVAL, c, 0, -10, 10, 10, -10));
        add(calls, format("color c%d rect w%d", c, 2), 30, record(DRAW_RECT, c, 2, -10, 10, 10, -10));
    }
}

void texts(std::vector<SceneCall> &calls) {
    const struct {
        int size;
        const char *text;
    } runs[] = {{12, "Change Color"}, {12, " Points    17"}, {48, "GAME OVER"}};
    for (const auto &run : runs) {
        calls.push_back({format("text %dpt", run.size) + " \"" + run.text + "\"", SECTION_TEXT, 320,
                         run.size * 2 + 8, false,
                         [run] { kelpa_text(COLOR_RED, -150, run.size / 2, run.size, run.text); }});
    }
}

} // namespace

void paint_game_scene() {
    GameState state;
    state.player_x = 40, state.player_y = -30;
    state.player_color = COLOR_YELLOW;
    state.chaser_x = 25, state.chaser_y = -12; // overlapping the player, as it does when it catches up
    const int at[][2] = {{-200, 150}, {-120, -160}, {150, 120}, {230, -200}, {-40, 60}};
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        state.pickup_x[i] = at[i][0], state.pickup_y[i] = at[i][1];
        state.pickup_kind[i] = 1 + i % PICKUP_LEVEL;
    }
    // draw_scene without the texts: the same calls in the same order.
    kelpa_clear();
    kelpa_line(COLOR_BLACK, -300, 225, 300, 225, 2);
    for (int x = -295; x < 5; x += 100)
        kelpa_rect(COLOR_BLACK, x, 225, x + 100, 245, 2);
    draw_player_face(state.player_x, state.player_y, state.player_color);
    draw_chaser_face(state.chaser_x, state.chaser_y, state.chaser_color);
    for (int i = 0; i < PICKUP_COUNT; ++i)
        draw_pickup(state.pickup_x[i], state.pickup_y[i], state.pickup_kind[i]);
    draw_pickup(-260, 0, PICKUP_LEVEL);
    draw_pickup(260, 0, PICKUP_REKIND);
}

std::vector<SceneCall> scene_calls() {
    std::vector<SceneCall> calls;
    shapes(calls);
    triangles(calls);
    lines(calls);
    pixels_and_colors(calls);
    texts(calls);
    calls.push_back({"scene", SECTION_SHAPES, FRAME_WIDTH, FRAME_HEIGHT, true, paint_game_scene});
    return calls;
}
