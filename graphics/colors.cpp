// The colour table: 24 named colours that every drawing takes by index, and the one check
// of a caller's index. The two tables are parallel, fixed at build time and never written;
// index 1 (white) is the background and index 2 (red) stands in for any illegal index.
#include "kelpa_private.h"

const COLORREF color_values[COLOR_COUNT] = {
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(0, 0, 255),
    RGB(255, 255, 0),   RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(153, 0, 204),   RGB(0, 51, 153),
    RGB(153, 102, 153), RGB(153, 255, 255), RGB(153, 255, 204), RGB(255, 102, 0),   RGB(153, 102, 51),
    RGB(255, 153, 204), RGB(255, 255, 153), RGB(204, 153, 51),  RGB(255, 153, 102), RGB(0, 102, 51),
    RGB(51, 204, 153),  RGB(153, 153, 51),  RGB(128, 128, 128), RGB(204, 204, 204),
};

const char *const color_names[COLOR_COUNT] = {
    "black",  "white",     "red",        "green",        "blue",      "yellow", "magenta",  "cyan",
    "purple", "navy blue", "dusty plum", "ice blue",     "turquoise", "orange", "brown",    "pink",
    "chalk",  "gold",      "peach",      "forest green", "sea green", "olive",  "50% gray", "20% gray",
};

int kelpa_check_color(int index) {
    if (index >= 0 && index < COLOR_COUNT)
        return index;
    // Written whatever the logging flag says: a bad colour is a caller's mistake worth seeing.
    kelpa_log("Illegal color %d; using RED.\n", index);
    return COLOR_RED;
}
