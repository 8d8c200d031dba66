// Makes the pictures of docs/kelpa.md: each one drawn by the library on the headless display
// and saved through the public testing header, so the reference always shows what the library
// draws. Usage: docs_pictures output-folder (scripts/docs-pictures runs it).
#include "kelpa_private.h" // the colour names, as the log prints them
#include "kelpa_testing.h"

#include <cstdio>
#include <string>

namespace {

std::string folder;
int failures = 0;

void save(const kelpa_testing::Picture &picture, const char *name) {
    std::string path = folder + "/" + name;
    if (!kelpa_testing::save_picture(picture, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
    }
}

// The part of the client area from (x1, y1) to (x2, y2), centred coordinates, corners included.
kelpa_testing::Picture crop(const kelpa_testing::Picture &all, int x1, int y1, int x2, int y2) {
    int ox = all.width / 2, oy = all.height / 2; // the origin: the client area's centre
    kelpa_testing::Picture part;
    part.width = x2 - x1 + 1;
    part.height = y1 - y2 + 1;
    for (int y = y1; y >= y2; --y)
        for (int x = x1; x <= x2; ++x)
            part.rgb.push_back(all.rgb[static_cast<size_t>((oy - y) * all.width + ox + x)]);
    return part;
}

void label(int x, int y, const char *text) {
    kelpa_text(COLOR_BLACK, x, y, 14, text);
}

void coordinates() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_line(COLOR_GRAY_50, -300, 0, 301, 0, 1);
    kelpa_line(COLOR_GRAY_50, 0, -260, 0, 261, 1);
    for (int t = -200; t <= 200; t += 100) {
        kelpa_line(COLOR_GRAY_50, t, -4, t, 5, 1);
        kelpa_line(COLOR_GRAY_50, -4, t, 5, t, 1);
        if (t != 0) {
            kelpa_text_printf(COLOR_GRAY_50, t + 3, -18, 12, "%d", t);
            kelpa_text_printf(COLOR_GRAY_50, 8, t + 2, 12, "%d", t);
        }
    }
    label(285, 6, "x");
    label(8, 242, "y");
    const struct {
        int color, x, y;
        const char *text;
    } points[] = {{COLOR_BLACK, 0, 0, "(0, 0)"},
                  {COLOR_RED, 200, 100, "(200, 100)"},
                  {COLOR_BLUE, -150, 150, "(-150, 150)"},
                  {COLOR_FOREST_GREEN, -200, -150, "(-200, -150)"},
                  {COLOR_ORANGE, 100, -200, "(100, -200)"}};
    for (const auto &p : points) {
        kelpa_circle(p.color, p.x, p.y, 4);
        label(p.x + 8, p.y + 6, p.text);
    }
    save(kelpa_testing::capture(), "coordinates.png");
}

void colors() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    for (int i = 0; i < COLOR_COUNT; ++i) {
        int x = -290 + (i / 6) * 148, y = 200 - (i % 6) * 40;
        kelpa_rect(i, x, y, x + 36, y - 26, 0);
        kelpa_rect(COLOR_BLACK, x, y, x + 36, y - 26, 1);
        kelpa_text_printf(COLOR_BLACK, x + 42, y - 18, 13, "%d %s", i, color_names[i]);
    }
    save(crop(kelpa_testing::capture(), -296, 206, 298, -34), "colors.png");
}

void circles() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_circle(COLOR_RED, -90, 0, 40);
    kelpa_circle(COLOR_BLUE, 10, 0, 20);
    kelpa_circle(COLOR_GREEN, 70, 0, 5);
    kelpa_circle(COLOR_BLACK, 110, 0, 0);
    save(crop(kelpa_testing::capture(), -140, 50, 130, -50), "circle.png");
}

void rectangles() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_rect(COLOR_NAVY_BLUE, -200, 40, -120, -40, 0);
    kelpa_rect(COLOR_ORANGE, -90, 40, -10, -40, 1);
    kelpa_rect(COLOR_ORANGE, 20, 40, 100, -40, 3);
    kelpa_rect(COLOR_ORANGE, 130, 40, 210, -40, 6);
    save(crop(kelpa_testing::capture(), -215, 55, 225, -55), "rect.png");
}

void lines() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_line(COLOR_BLACK, -200, -40, -120, 40, 0);
    kelpa_line(COLOR_PURPLE, -90, -40, -10, 40, 3);
    kelpa_line(COLOR_SEA_GREEN, 20, -40, 100, 40, 8);
    kelpa_line(COLOR_RED, 130, 0, 210, 0, 1);
    save(crop(kelpa_testing::capture(), -215, 55, 225, -55), "line.png");
}

void texts() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_line(COLOR_GRAY_20, -220, 0, 220, 0, 1);
    kelpa_text(COLOR_BLACK, -200, 0, 24, "Hello\nsecond line");
    kelpa_circle(COLOR_RED, -200, 0, 2); // the anchor
    kelpa_text_printf(COLOR_PURPLE, 40, 0, 16, "Score %d", 42);
    kelpa_circle(COLOR_RED, 40, 0, 2);
    save(crop(kelpa_testing::capture(), -215, 40, 225, -50), "text.png");
}

void log_window() {
    kelpa_testing::start();
    kelpa_log("Hello from kelpa_log: %d + %d = %d\n", 2, 3, 5);
    kelpa_clear();
    kelpa_circle(COLOR_RED, 0, 0, 10);
    kelpa_circle(30, 10, 10, -5);
    kelpa_rect(COLOR_BLUE, 10, -10, -10, 10, 2);
    kelpa_line(COLOR_BLACK, 0, 0, 50, 50, -3);
    kelpa_text(COLOR_BLACK, -100, 0, 200, "Hi");
    if (!kelpa_testing::save_log_png(folder + "/log.png"))
        ++failures;
}

// A program that only waits: the Run menu is opened on it by a click on the menu bar.
int waiting_program() {
    kelpa_startup();
    kelpa_set_logging(0);
    kelpa_clear();
    kelpa_circle(COLOR_ORANGE, 100, 60, 30);
    kelpa_rect(COLOR_NAVY_BLUE, 20, -20, 180, -60, 0);
    int x = 0, y = 0;
    char key = 0;
    while (kelpa_next_event(x, y, key) != KELPA_QUIT) {
    }
    kelpa_shutdown();
    return 0;
}

void run_menu() {
    kelpa_testing::Script script;
    // The menu bar lies just above the client area's top edge (y 260 here), "Run" at its left.
    script.click(-285, 270).then([] {
        if (!kelpa_testing::save_png(folder + "/run-menu.png"))
            ++failures;
    });
    kelpa_testing::run(waiting_program, script);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    coordinates();
    colors();
    circles();
    rectangles();
    lines();
    texts();
    log_window();
    run_menu();
    return failures ? 1 : 0;
}
