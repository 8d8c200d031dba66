// Read-back of the frame buffer for the colour, renderer and drawing tests: whole-frame
// snapshots, colour counts and the box that ink covers, all through GetPixel on frame_dc.
// A DrawingTest starts every test on a started library with a freshly cleared frame.
#pragma once

#include "library_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);

struct FrameSnapshot {
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * FRAME_WIDTH + x]; }
    bool operator==(const FrameSnapshot &o) const { return pixels == o.pixels; }
};

inline FrameSnapshot snapshot_frame() {
    FrameSnapshot s;
    s.pixels.reserve(static_cast<size_t>(FRAME_WIDTH) * FRAME_HEIGHT);
    for (int y = 0; y < FRAME_HEIGHT; ++y)
        for (int x = 0; x < FRAME_WIDTH; ++x)
            s.pixels.push_back(GetPixel(library_state.frame_dc, x, y));
    return s;
}

// The frame-buffer pixel under a point in centred coordinates.
inline COLORREF pixel_at(int x, int y) {
    return GetPixel(library_state.frame_dc, library_state.origin_x + x, library_state.origin_y - y);
}

inline int count_color(const FrameSnapshot &s, COLORREF color) {
    int n = 0;
    for (COLORREF c : s.pixels)
        n += c == color;
    return n;
}

// Device box (right and bottom included) of the pixels that differ from `before`.
struct InkBox {
    int left = FRAME_WIDTH, top = FRAME_HEIGHT, right = -1, bottom = -1;
    int count = 0;
    bool empty() const { return count == 0; }
};

inline InkBox changed_box(const FrameSnapshot &before, const FrameSnapshot &after) {
    InkBox box;
    for (int y = 0; y < FRAME_HEIGHT; ++y)
        for (int x = 0; x < FRAME_WIDTH; ++x)
            if (before.at(x, y) != after.at(x, y)) {
                ++box.count;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// The pixels of a device rectangle (right and bottom included) as rows of characters:
// '#' black, '.' white, 'r' red, '?' anything else. Shows a shape in a failure message.
inline std::vector<std::string> pattern(int left, int top, int right, int bottom) {
    std::vector<std::string> rows;
    for (int y = top; y <= bottom; ++y) {
        std::string row;
        for (int x = left; x <= right; ++x) {
            COLORREF c = GetPixel(library_state.frame_dc, x, y);
            row += c == BLACK ? '#' : c == WHITE ? '.' : c == RED ? 'r' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

class DrawingTest : public StartedLibrary {
  protected:
    void SetUp() override {
        StartedLibrary::SetUp();
        library_state.logging = 0;
        fill_background();
        library_state.frame_dirty = 0;
        message_log = MessageLog{}; // drop start-up's lines; the blocks go with the reset
    }
    int ox() const { return library_state.origin_x; }
    int oy() const { return library_state.origin_y; }
};
