// One hash over many pictures, for showing that a refactoring changed no pixel: run it before
// and after the change and compare the lines it prints. It draws, on the headless display:
//   - random drawings: from a fixed seed, each a cleared frame and a few random operations,
//     the library's (circle, rect, line, text, text_printf, clear) and GDI calls straight
//     into the frame (polygons, ellipses, rectangles, polylines, pixels, fonts and text,
//     FillRect, BitBlt), with random colours, sizes and positions, some beyond the edges;
//     each picture is the graphics window's client area;
//   - game scenes: draw_scene of random game states, then whole game sessions (run_game)
//     driven by a fixed script of keys, clicks, Run-menu commands (logging, halt, one frame,
//     record and play back) and waits in virtual time, hashing both windows, menu bars
//     included, after every step, and at the end the message log and the script file.
// Usage: picture_hash [--each] [--drawings N]. --each also prints every picture's own hash,
// so that two runs' outputs can be compared to find the first picture that differs.
#include "game_controls.h"
#include "game_random.h"
#include "game_scene.h"
#include "kelpa_private.h" // the frame's DC, which the GDI calls draw into
#include "kelpa_testing.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// splitmix64: the same sequence on every host and compiler, unlike the distributions of
// <random>.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    int in(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<uint64_t>(int64_t{hi} - lo + 1));
    }
    bool one_in(int n) { return next() % static_cast<uint64_t>(n) == 0; }
};

struct Hash {
    uint64_t value = 0xcbf29ce484222325ull;
    void add(uint64_t v) {
        value = (value ^ v) * 0x100000001b3ull;
        value ^= value >> 29;
    }
    void add(const std::string &s) {
        add(s.size());
        for (unsigned char c : s)
            add(c);
    }
    void add(const kelpa_testing::Picture &p) {
        add(static_cast<uint64_t>(p.width) << 32 | static_cast<uint32_t>(p.height));
        for (uint32_t rgb : p.rgb)
            add(rgb);
    }
};

bool each = false;
int pictures = 0;

void add_picture(Hash &total, const kelpa_testing::Picture &picture, const std::string &label) {
    Hash own;
    own.add(picture);
    total.add(own.value);
    ++pictures;
    if (each)
        std::printf("%016" PRIx64 " %s\n", own.value, label.c_str());
}

// ---- random drawings ----

// A coordinate in the library's centred frame (x -300..300, y -269..270), now and then past
// its edges or one of the extremes the library must clip.
int centred(Random &r, int reach) {
    static const int extremes[] = {0, -1, 1, 32767, -32768, 65536, INT32_MAX, INT32_MIN, 1 << 30};
    if (r.one_in(40))
        return extremes[r.in(0, sizeof extremes / sizeof extremes[0] - 1)];
    return r.in(-reach, reach);
}

// A colour index; now and then one outside the table, which the library reports in the log.
int color_index(Random &r) {
    return r.one_in(30) ? r.in(-3, 30) : r.in(0, COLOR_COUNT - 1);
}

std::string random_text(Random &r) {
    std::string s(static_cast<size_t>(r.in(0, 24)), ' ');
    for (char &c : s)
        c = static_cast<char>(r.one_in(20) ? r.in(128, 255) : r.in(32, 126));
    return s;
}

COLORREF gdi_color(Random &r) {
    return r.one_in(2) ? color_values[r.in(0, COLOR_COUNT - 1)]
                       : RGB(r.in(0, 255), r.in(0, 255), r.in(0, 255));
}

// A point of the frame in device coordinates, a little past its edges now and then.
POINT device_point(Random &r) {
    return POINT{r.in(-60, FRAME_WIDTH + 60), r.in(-60, FRAME_HEIGHT + 60)};
}

// Runs draw with a random pen and brush selected into the frame, then puts the old ones back.
template <typename Draw> void with_pen_and_brush(Random &r, Draw draw) {
    HDC dc = library_state.frame_dc;
    HGDIOBJ pen = r.one_in(5) ? GetStockObject(NULL_PEN) : CreatePen(PS_SOLID, r.in(0, 8), gdi_color(r));
    HGDIOBJ brush = r.one_in(3) ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(gdi_color(r));
    HGDIOBJ old_pen = SelectObject(dc, pen), old_brush = SelectObject(dc, brush);
    draw(dc);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen); // stock objects ignore it
    DeleteObject(brush);
}

void gdi_text(Random &r) {
    static const char *const faces[] = {
        "Arial", "Times New Roman", "Courier New", "Verdana", "Tahoma", "No Such Face", ""};
    HDC dc = library_state.frame_dc;
    HFONT font = CreateFontA(r.in(-60, 60), 0, 0, 0, r.one_in(2) ? FW_NORMAL : FW_BOLD, r.one_in(4),
                             r.one_in(6), r.one_in(6), 0, 0, 0, 0, 0, faces[r.in(0, 6)]);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, gdi_color(r));
    SetBkColor(dc, gdi_color(r));
    SetBkMode(dc, r.one_in(2) ? OPAQUE : TRANSPARENT);
    const std::string text = random_text(r);
    const POINT at = device_point(r);
    TextOutA(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    DeleteObject(font);
}

void gdi_operation(Random &r) {
    HDC dc = library_state.frame_dc;
    switch (r.in(0, 7)) {
    case 0: {
        std::vector<POINT> points(static_cast<size_t>(r.in(3, 12)));
        for (POINT &p : points)
            p = device_point(r);
        SetPolyFillMode(dc, r.one_in(2) ? ALTERNATE : WINDING);
        with_pen_and_brush(r, [&](HDC d) { Polygon(d, points.data(), static_cast<int>(points.size())); });
        break;
    }
    case 1:
    case 2: {
        const POINT a = device_point(r), b = device_point(r);
        const bool ellipse = r.one_in(2);
        with_pen_and_brush(r, [&](HDC d) {
            if (ellipse)
                Ellipse(d, a.x, a.y, b.x, b.y);
            else
                Rectangle(d, a.x, a.y, b.x, b.y);
        });
        break;
    }
    case 3:
        with_pen_and_brush(r, [&](HDC d) {
            const POINT start = device_point(r);
            MoveToEx(d, start.x, start.y, nullptr);
            for (int i = r.in(1, 6); i > 0; --i) {
                const POINT p = device_point(r);
                LineTo(d, p.x, p.y);
            }
        });
        break;
    case 4:
        for (int i = r.in(1, 300); i > 0; --i) {
            const POINT p = device_point(r);
            SetPixel(dc, p.x, p.y, gdi_color(r));
        }
        break;
    case 5: gdi_text(r); break;
    case 6: {
        const POINT a = device_point(r), b = device_point(r);
        const RECT box = {a.x, a.y, b.x, b.y};
        HBRUSH brush = CreateSolidBrush(gdi_color(r));
        FillRect(dc, &box, brush);
        DeleteObject(brush);
        break;
    }
    case 7: {
        const POINT to = device_point(r), from = device_point(r);
        BitBlt(dc, to.x, to.y, r.in(0, 300), r.in(0, 300), dc, from.x, from.y, SRCCOPY);
        break;
    }
    }
    library_state.frame_dirty = 1; // drawn behind the library's back: present it
}

void library_operation(Random &r) {
    switch (r.in(0, 5)) {
    case 0:
        kelpa_circle(color_index(r), centred(r, 340), centred(r, 300),
                     r.one_in(4) ? r.in(0, 3) : r.in(0, 160));
        break;
    case 1:
        kelpa_rect(color_index(r), centred(r, 340), centred(r, 300), centred(r, 340), centred(r, 300),
                   r.one_in(3) ? 0 : r.in(-1, 12));
        break;
    case 2:
        kelpa_line(color_index(r), centred(r, 340), centred(r, 300), centred(r, 340), centred(r, 300),
                   r.in(-1, 12));
        break;
    case 3: {
        const std::string text = random_text(r);
        kelpa_text(color_index(r), centred(r, 340), centred(r, 300),
                   r.one_in(10) ? r.in(-5, 300) : r.in(6, 72), text.c_str());
        break;
    }
    case 4:
        kelpa_text_printf(color_index(r), centred(r, 340), centred(r, 300), r.in(6, 48), "%d %s %5.2f",
                          r.in(-100000, 100000), random_text(r).c_str(), r.in(-9999, 9999) / 100.0);
        break;
    case 5:
        if (r.one_in(4))
            kelpa_clear();
        break;
    }
}

void dispatch_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct Counts {
    int drawings = 0, operations = 0;
};

uint64_t random_drawings(int count, Counts &counts) {
    Hash total;
    Random r{20261209};
    kelpa_testing::start();
    for (int i = 0; i < count; ++i) {
        kelpa_set_logging(r.one_in(8));
        kelpa_clear();
        for (int n = r.in(1, 8); n > 0; --n, ++counts.operations) {
            if (r.one_in(3))
                gdi_operation(r);
            else
                library_operation(r);
        }
        dispatch_pending();
        add_picture(total, kelpa_testing::capture(), "drawing " + std::to_string(i));
        ++counts.drawings;
    }
    for (const std::string &line : kelpa_testing::log_lines())
        total.add(line);
    return total.value;
}

// ---- game scenes ----

GameState random_game_state(Random &r) {
    GameState s;
    s.player_x = r.in(FIELD_LEFT, FIELD_RIGHT);
    s.player_y = r.in(FIELD_BOTTOM, FIELD_TOP);
    s.player_color = 2 * r.in(0, 11) + 1;
    s.health = r.in(-5, 120);
    s.points = r.in(0, 100000);
    s.chaser_x = r.in(FIELD_LEFT, FIELD_RIGHT);
    s.chaser_y = r.in(FIELD_BOTTOM, FIELD_TOP);
    for (int level = r.in(0, 2); level > 0; --level)
        advance_chaser_level(s);
    for (int i = 0; i < PICKUP_COUNT; ++i) {
        s.pickup_kind[i] = r.in(PICKUP_NONE, PICKUP_LEVEL);
        s.pickup_x[i] = r.in(FIELD_LEFT, FIELD_RIGHT);
        s.pickup_y[i] = r.in(FIELD_BOTTOM, FIELD_TOP);
    }
    s.paused = r.one_in(4);
    s.game_over = r.one_in(5);
    if (s.game_over)
        s.paused = 1;
    return s;
}

uint64_t drawn_scenes(int count) {
    Hash total;
    Random r{777};
    kelpa_testing::start();
    kelpa_set_logging(0);
    for (int i = 0; i < count; ++i) {
        draw_scene(random_game_state(r));
        dispatch_pending();
        add_picture(total, kelpa_testing::capture(), "scene " + std::to_string(i));
    }
    return total.value;
}

std::string file_text(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Both windows as they show, menu bars included, through a PNG file and back.
void add_windows(Hash &total, const std::string &folder, const std::string &label) {
    const std::string graphics = folder + "/graphics.png", text = folder + "/text.png";
    if (kelpa_testing::save_png(graphics))
        add_picture(total, kelpa_testing::load_picture(graphics), label + " graphics window");
    if (kelpa_testing::save_log_png(text))
        add_picture(total, kelpa_testing::load_picture(text), label + " text window");
}

// A session of the game from seed, driven by steps random steps of its own seed; returns its
// hash. The script file is written in the working directory, a folder of this run's own.
uint64_t session(uint32_t seed, int steps, const std::string &folder, int &steps_done) {
    Hash total;
    Random r{seed};
    kelpa_testing::Script script;
    const std::string name = "session " + std::to_string(seed) + " step ";
    // A pause ('p') and a halt (Ctrl+H) are undone a few steps later, so that most steps
    // show the game moving.
    int resume_at = -1, animate_at = -1;
    for (int i = 0; i < steps; ++i) {
        const int kind = r.in(0, 19);
        if (i == resume_at)
            script.key('p');
        else if (i == animate_at)
            script.command('A');
        else if (kind < 7) {
            const char key = "ijklijklijklpx7 "[r.in(0, 15)];
            if (key == 'p' && resume_at < i)
                resume_at = i + r.in(1, 4);
            script.key(key);
        } else if (kind < 10)
            script.click(r.in(-330, 330), r.one_in(2) ? r.in(226, 270) : r.in(-280, 280));
        else if (kind < 12) {
            const char command = "AFFHLLRRP"[r.in(0, 8)];
            if (command == 'H' && animate_at < i)
                animate_at = i + r.in(1, 4);
            script.command(command);
        } else
            script.wait(r.in(10, 600));
        script.then([&total, &folder, &steps_done, label = name + std::to_string(i)] {
            add_windows(total, folder, label);
            ++steps_done;
        });
    }
    kelpa_testing::run(
        [seed] {
            game_srand(seed);
            GameState state;
            reset_game(state);
            return run_game(state);
        },
        script);
    for (const std::string &line : kelpa_testing::log_lines())
        total.add(line);
    total.add(file_text(folder + "/KELPA.SCR"));
    std::remove((folder + "/KELPA.SCR").c_str());
    return total.value;
}

} // namespace

int main(int argc, char **argv) {
    int drawings = 4000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--each") == 0)
            each = true;
        else if (std::strcmp(argv[i], "--drawings") == 0 && i + 1 < argc)
            drawings = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: picture_hash [--each] [--drawings N]\n");
            return 2;
        }
    }
    char folder_template[] = "/tmp/picture_hash.XXXXXX";
    const char *folder = mkdtemp(folder_template);
    if (!folder || chdir(folder) != 0) {
        std::perror("picture_hash: a working folder");
        return 1;
    }

    Counts counts;
    const uint64_t drawn = random_drawings(drawings, counts);
    const int drawing_pictures = pictures;
    constexpr int scene_count = 500;
    const uint64_t scenes = drawn_scenes(scene_count);
    Hash sessions;
    int steps_done = 0;
    constexpr uint32_t seeds[] = {1, 4242, 777, 31337, 20261209};
    for (uint32_t seed : seeds)
        sessions.add(session(seed, 80, folder, steps_done));
    const int session_pictures = pictures - drawing_pictures - scene_count;

    Hash all;
    all.add(drawn);
    all.add(scenes);
    all.add(sessions.value);
    std::printf("drawings  %016" PRIx64 "  %d drawings, %d operations\n", drawn, counts.drawings,
                counts.operations);
    std::printf("scenes    %016" PRIx64 "  %d game states drawn\n", scenes, scene_count);
    std::printf("sessions  %016" PRIx64 "  %zu sessions, %d steps, %d window pictures\n", sessions.value,
                sizeof seeds / sizeof seeds[0], steps_done, session_pictures);
    std::printf("all       %016" PRIx64 "  %d pictures\n", all.value, pictures);
    rmdir(folder);
    return 0;
}
