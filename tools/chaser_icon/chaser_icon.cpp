// Makes the game's icon from the game's own drawing: the player's face, in the colour a new game
// gives it, drawn by draw_player_face on the headless display, cut out 48 x 48 around its centre,
// the white surround made transparent, and written as RGBA PNGs at 1x, 2x and 4x (every pixel a
// whole square, as the displays scale). A change of the face changes the icon with it.
// Usage: chaser_icon OUTDIR, which gets OUTDIR/48x48/apps/chaser.png, 96x96 and 192x192 alike.
#include "game_scene.h"
#include "kelpa.h"
#include "kelpa_testing.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int icon_size = 48;
constexpr uint32_t white = 0xFFFFFF;

// Pixels as 0xRRGGBBAA, rows from the top.
struct Icon {
    int size = 0;
    std::vector<uint32_t> rgba;
};

// The face, alone on a cleared frame.
kelpa_testing::Picture draw_face() {
    kelpa_testing::start();
    kelpa_set_logging(0);
    kelpa_clear();
    draw_player_face(0, 0, GameState{}.player_color);
    return kelpa_testing::capture();
}

// The square of icon_size centred on what is not white near the origin (the frame's edges have
// the black line of kelpa_clear); false when that is larger, or runs into the edge of the search.
bool cut_out(const kelpa_testing::Picture &all, Icon &icon) {
    const int ox = all.width / 2, oy = all.height / 2; // the origin, where the face is drawn
    const int x1 = ox - icon_size, x2 = ox + icon_size, y1 = oy - icon_size, y2 = oy + icon_size;
    if (x1 < 0 || y1 < 0 || x2 >= all.width || y2 >= all.height)
        return false;
    int left = x2, right = x1, top = y2, bottom = y1;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if ((all.rgb[static_cast<size_t>(y * all.width + x)] & 0xFFFFFF) != white) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const int width = right - left + 1, height = bottom - top + 1;
    if (width <= 0 || width > icon_size || height > icon_size || left == x1 || right == x2 || top == y1 ||
        bottom == y2)
        return false;
    const int x0 = left - (icon_size - width) / 2, y0 = top - (icon_size - height) / 2;
    icon.size = icon_size;
    icon.rgba.clear();
    for (int y = y0; y < y0 + icon_size; ++y)
        for (int x = x0; x < x0 + icon_size; ++x)
            icon.rgba.push_back((all.rgb[static_cast<size_t>(y * all.width + x)] & 0xFFFFFF) << 8 | 0xFF);
    return true;
}

// Clears the alpha of the white reached from the edges without crossing the face, so any white
// the face itself held would stay opaque.
void clear_surround(Icon &icon) {
    const int n = icon.size;
    std::vector<int> todo;
    auto visit = [&](int x, int y) {
        uint32_t &p = icon.rgba[static_cast<size_t>(y * n + x)];
        if (p == (white << 8 | 0xFF)) {
            p = white << 8;
            todo.push_back(y * n + x);
        }
    };
    for (int i = 0; i < n; ++i) {
        visit(i, 0);
        visit(i, n - 1);
        visit(0, i);
        visit(n - 1, i);
    }
    while (!todo.empty()) {
        const int x = todo.back() % n, y = todo.back() / n;
        todo.pop_back();
        if (x > 0)
            visit(x - 1, y);
        if (x < n - 1)
            visit(x + 1, y);
        if (y > 0)
            visit(x, y - 1);
        if (y < n - 1)
            visit(x, y + 1);
    }
}

Icon scaled(const Icon &icon, int k) {
    Icon big;
    big.size = icon.size * k;
    for (int y = 0; y < big.size; ++y)
        for (int x = 0; x < big.size; ++x)
            big.rgba.push_back(icon.rgba[static_cast<size_t>(y / k * icon.size + x / k)]);
    return big;
}

// Through libpng's simplified interface, which writes no time stamp or other varying chunk:
// each run gives the same bytes. Written whole or removed.
bool write_png(const Icon &icon, const std::string &path) {
    std::vector<png_byte> bytes;
    for (uint32_t pixel : icon.rgba)
        for (int shift : {24, 16, 8, 0})
            bytes.push_back(static_cast<png_byte>(pixel >> shift));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = static_cast<png_uint_32>(icon.size);
    image.format = PNG_FORMAT_RGBA;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr);
    png_image_free(&image);
    if (!ok)
        std::remove(path.c_str());
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2 || !*argv[1]) {
        std::fprintf(stderr, "usage: chaser_icon OUTDIR\n");
        return 2;
    }
    Icon icon;
    if (!cut_out(draw_face(), icon)) {
        std::fprintf(stderr, "chaser_icon: the face does not fit in %d x %d pixels\n", icon_size, icon_size);
        return 1;
    }
    clear_surround(icon);
    for (int k : {1, 2, 4}) {
        const std::string size = std::to_string(icon_size * k);
        const std::string folder = std::string(argv[1]) + "/" + size + "x" + size + "/apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "chaser_icon: cannot make %s: %s\n", folder.c_str(),
                         error.message().c_str());
            return 1;
        }
        const std::string path = folder + "/chaser.png";
        errno = 0;
        if (!write_png(scaled(icon, k), path)) {
            std::fprintf(stderr, "chaser_icon: cannot write %s%s%s\n", path.c_str(), errno ? ": " : "",
                         errno ? std::strerror(errno) : "");
            return 1;
        }
    }
    return 0;
}
