// The shapes scene, laid out in the library's centred coordinates for a client area of
// about 595 x 490: discs and rectangles top left, a fan of lines top right, the 24 colours
// as labelled swatches in the middle, and text of four sizes at the bottom. Every drawing
// goes through the public operations only.
#include "shapes_scene.h"

#include "kelpa.h"

namespace {

void draw_discs() {
    const int radii[] = {1, 2, 3, 5, 8, 12, 18, 24};
    int x = -285;
    int color = COLOR_RED;
    for (int radius : radii) {
        x += radius;
        kelpa_circle(color, x, 190, radius);
        x += radius + 8;
        color = color == COLOR_GRAY_20 ? COLOR_RED : color + 1;
    }
    kelpa_text(COLOR_BLACK, -285, 222, 12, "kelpa_circle: radius 1, 2, 3, 5, 8, 12, 18, 24");
}

void draw_rectangles() {
    // A filled one, then outlines of widths 1 to 5; each sits on a gray filled square so
    // that the outline's extent against the box shows.
    const int colors[6] = {COLOR_NAVY_BLUE,    COLOR_BLACK,  COLOR_RED,
                           COLOR_FOREST_GREEN, COLOR_PURPLE, COLOR_BLUE};
    for (int width = 0; width <= 5; ++width) {
        int left = -285 + width * 50;
        if (width > 0)
            kelpa_rect(COLOR_GRAY_20, left, 140, left + 39, 101, 0);
        kelpa_rect(colors[width], left, 140, left + 39, 101, width);
        kelpa_text_printf(COLOR_BLACK, left + 4, 86, 12, width == 0 ? "filled" : "w %d", width);
    }
}

void draw_line_fan() {
    // Sixteen directions around the centre at slopes 0, 1/4, 1/2, 1, 2, 4 and vertical,
    // widths 1 to 5 in turn.
    const int cx = 170, cy = 130;
    const int ends[16][2] = {{80, 0},  {80, 20},   {80, 40},  {56, 56},  {40, 80},  {20, 80},
                             {0, 80},  {-20, 80},  {-40, 80}, {-56, 56}, {-80, 40}, {-80, 20},
                             {-80, 0}, {-80, -40}, {0, -80},  {56, -56}};
    for (int i = 0; i < 16; ++i) {
        int width = i % 5 + 1;
        int color = i % 2 ? COLOR_FOREST_GREEN : COLOR_PURPLE;
        kelpa_line(color, cx, cy, cx + ends[i][0], cy + ends[i][1], width);
    }
    kelpa_circle(COLOR_BLACK, cx, cy, 3);
    kelpa_text(COLOR_BLACK, 70, 222, 12, "kelpa_line: widths 1 to 5");
}

void draw_swatches() {
    // 4 columns of 6: a filled swatch with a black outline (so white and chalk show), then
    // the colour's index and table name.
    static const char *const names[COLOR_COUNT] = {
        "black",  "white",     "red",        "green",        "blue",      "yellow", "magenta",  "cyan",
        "purple", "navy blue", "dusty plum", "ice blue",     "turquoise", "orange", "brown",    "pink",
        "chalk",  "gold",      "peach",      "forest green", "sea green", "olive",  "50% gray", "20% gray",
    };
    for (int color = 0; color < COLOR_COUNT; ++color) {
        int column = color / 6;
        int row = color % 6;
        int x = -290 + column * 148;
        int y = 20 - row * 24;
        kelpa_rect(color, x, y + 14, x + 24, y, 0);
        kelpa_rect(COLOR_BLACK, x, y + 14, x + 24, y, 1);
        kelpa_text_printf(COLOR_BLACK, x + 30, y - 1, 12, "%2d %s", color, names[color]);
    }
}

void draw_text_sizes() {
    kelpa_text(COLOR_BLACK, -285, -132, 8, "8 px: The quick brown fox jumps over the lazy dog. 0123456789");
    kelpa_text(COLOR_NAVY_BLUE, -285, -152, 12, "12 px: The quick brown fox jumps over the lazy dog.");
    kelpa_text(COLOR_BROWN, -285, -183, 24, "24 px: Sphinx of black quartz");
    kelpa_text(COLOR_ORANGE, -285, -240, 48, "48 px: KELPA");
    kelpa_text(COLOR_SEA_GREEN, 110, -170, 12, "two lines\nof 12 px text");
}

} // namespace

void draw_shapes_scene() {
    kelpa_clear();
    draw_discs();
    draw_rectangles();
    draw_line_fan();
    draw_swatches();
    draw_text_sizes();
}
