// The public drawing operations: each corrects its arguments in a fixed order, logging every
// correction whatever the logging flag says, describes itself in the log when logging is on,
// and has one DrawRecord painted at once. Nothing is kept between calls; the only memory an
// operation owns (kelpa_text's block) is freed before it returns.
#include "kelpa_private.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// The magnitude of a negative size. INT_MIN has none in 32 bits: it becomes INT_MAX, the
// nearest value, and the correction line shows both.
int magnitude(int negative) {
    return negative == INT32_MIN ? INT32_MAX : -negative;
}

int32_t saturate(int64_t v) {
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Paints one record of a kind given by two points (rectangle, oval, line).
void render_two_points(uint32_t kind, int color, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    DrawRecord record;
    record.kind = kind;
    record.color = color;
    record.width = width;
    record.x1 = x1;
    record.y1 = y1;
    record.x2 = x2;
    record.y2 = y2;
    render_draw_record(record);
}

} // namespace

int kelpa_circle(int color, int x, int y, int radius) {
    color = kelpa_check_color(color);
    if (radius < 0) {
        int corrected = magnitude(radius);
        kelpa_log("Radius of %d not possible, using radius %d\n", radius, corrected);
        radius = corrected;
    }
    if (library_state.logging)
        kelpa_log("%s circle at (%d,%d), radius %d\n", color_names[color], x, y, radius);

    // The box is computed in 64 bits; a corner beyond 32 bits lies far outside the frame
    // buffer either way, and the renderer clips it.
    render_two_points(DRAW_OVAL, color, 0, saturate(int64_t{x} - radius), saturate(int64_t{y} + radius),
                      saturate(int64_t{x} + radius), saturate(int64_t{y} - radius));
    return 1;
}

int kelpa_rect(int color, int x1, int y1, int x2, int y2, int width) {
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 < y2)
        std::swap(y1, y2);
    color = kelpa_check_color(color);
    if (width < 0) {
        int corrected = magnitude(width);
        kelpa_log("Width of %d not possible, using width %d\n", width, corrected);
        width = corrected;
    }
    if (library_state.logging) {
        if (width == 0)
            kelpa_log("%s rectangle with bounding box (%d,%d) to (%d,%d), filled\n", color_names[color], x1,
                      y1, x2, y2);
        else
            kelpa_log("%s rectangle with bounding box (%d,%d) to (%d,%d) with line width %d\n",
                      color_names[color], x1, y1, x2, y2, width);
    }

    render_two_points(DRAW_RECT, color, width, x1, y1, x2, y2);
    return 1;
}

int kelpa_line(int color, int x1, int y1, int x2, int y2, int width) {
    if (width < 0) {
        int corrected = magnitude(width);
        kelpa_log("Width of %d not possible, using width %d\n", width, corrected);
        width = corrected;
    }
    color = kelpa_check_color(color);
    if (library_state.logging)
        kelpa_log("%s line from (%d,%d) to (%d,%d), width %d\n", color_names[color], x1, y1, x2, y2, width);

    render_two_points(DRAW_LINE, color, width < 1 ? 1 : width, x1, y1, x2, y2);
    return 1;
}

int kelpa_text(int color, int x, int y, int point_size, const char *text) {
    if (point_size < 0) {
        int corrected = magnitude(point_size);
        kelpa_log("ptsize of %d not possible, using ptsize %d\n", point_size, corrected);
        point_size = corrected;
    }
    if (point_size > 127) {
        kelpa_log("ptsize of %d not possible, using ptsize %d\n", point_size, 127);
        point_size = 127;
    }
    color = kelpa_check_color(color);
    if (!text)
        text = ""; // a null text draws as the empty one rather than crashing
    if (library_state.logging)
        kelpa_log("%s text at (%d,%d), \"%s\"\n", color_names[color], x, y, text);

    size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    char *copy = block ? static_cast<char *>(GlobalLock(block)) : nullptr;
    if (!copy) {
        if (block)
            GlobalFree(block);
        kelpa_log("Cannot allocate memory for text\n");
        return 1;
    }
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(block);

    DrawRecord record;
    record.kind = DRAW_TEXT;
    record.color = color;
    record.x1 = x;
    record.y1 = y;
    record.point_size = point_size;
    record.text_block = block;
    render_draw_record(record);
    GlobalFree(block);
    return 1;
}

int kelpa_text_printf(int color, int x, int y, int point_size, const char *format, ...) {
    char buffer[LOG_LINE_BYTES];
    va_list args;
    va_start(args, format);
    int count = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (count < 0) {
        buffer[0] = '\0'; // the format could not be applied: draw nothing but the corrections
        count = 0;
    } else if (count >= LOG_LINE_BYTES) {
        count = LOG_LINE_BYTES - 1; // cut, as vsnprintf did
    }
    kelpa_text(color, x, y, point_size, buffer);
    return count;
}

int kelpa_clear() {
    if (library_state.logging)
        kelpa_log("Clearing the graphics window\n");
    fill_background();
    return 1;
}
