// The text window as a person sees it after one game scene drawn with the drawing log on,
// kept for the text-recognition check (tests/ocr): log_window.pgm is what the client area
// shows, log_window.txt the log lines it shows whole, top to bottom. Library headers and
// Win32 calls only, so the same picture comes from the headless display and from Wine.
#include "game_scene.h"
#include "kelpa_private.h"
#include "library_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A scene whose log holds every kind of character a log line has: negative coordinates,
// parentheses, commas, quotes, a six-digit score and colour names with digits and "%".
GameState busy_scene() {
    GameState s;
    s.player_x = 123, s.player_y = -45;
    s.chaser_x = -210, s.chaser_y = 87;
    const int xs[] = {-250, -96, 35, 180, 264}, ys[] = {-190, 140, -7, 66, -222};
    const int kinds[] = {PICKUP_TELEPORT, PICKUP_POINT, PICKUP_HEALTH, PICKUP_LEVEL, PICKUP_REKIND};
    for (int i = 0; i < PICKUP_COUNT; ++i)
        s.pickup_x[i] = xs[i], s.pickup_y[i] = ys[i], s.pickup_kind[i] = kinds[i];
    s.points = 123456;
    s.health = 38;
    s.game_over = 1;
    return s;
}

// The client area, read back through a copy into a memory bitmap, as 8-bit grey levels.
std::vector<unsigned char> client_pixels(HWND window, int width, int height) {
    HDC window_dc = GetDC(window);
    HDC dc = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window_dc, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
    std::vector<unsigned char> grey;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF p = GetPixel(dc, x, y);
            grey.push_back(static_cast<unsigned char>(
                (GetRValue(p) * 30 + GetGValue(p) * 59 + GetBValue(p) * 11) / 100));
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(window, window_dc);
    return grey;
}

// The newest `count` lines of the ring, without their final newline.
std::vector<std::string> newest_lines(int count) {
    std::vector<std::string> lines;
    const MessageLog &log = message_log;
    if (log.log_first < 0)
        return lines;
    int slot = log.log_first;
    do {
        std::string text = static_cast<const char *>(GlobalLock(log.log_lines[slot]));
        GlobalUnlock(log.log_lines[slot]);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        lines.push_back(text);
        slot = (slot + 1) % LOG_SLOTS;
    } while (slot != log.log_next);
    if (static_cast<int>(lines.size()) > count)
        lines.erase(lines.begin(), lines.end() - count);
    return lines;
}

TEST(LogWindowSnapshot, SceneLogIsShownAndKept) {
    start_library_process();
    ASSERT_EQ(kelpa_startup(), 1);
    kelpa_set_logging(1);
    draw_scene(busy_scene());
    drain();
    HWND text = library_state.text_window;
    UpdateWindow(text);

    RECT client{};
    GetClientRect(text, &client);
    HDC dc = GetDC(text);
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old_font);
    ReleaseDC(text, dc);
    const int line_height = tm.tmHeight + tm.tmExternalLeading;
    ASSERT_GT(line_height, 0);
    const std::vector<std::string> shown = newest_lines(client.bottom / line_height);
    const std::vector<unsigned char> grey = client_pixels(text, client.right, client.bottom);

    // Black text on white: something of both, and the newest line is in the bottom row of cells.
    int dark = 0, dark_bottom = 0;
    for (size_t i = 0; i < grey.size(); ++i)
        if (grey[i] < 128) {
            ++dark;
            dark_bottom += static_cast<int>(i / client.right) >= client.bottom - line_height;
        }
    EXPECT_GT(dark, 1000);
    EXPECT_LT(dark, static_cast<int>(grey.size()) / 4);
    EXPECT_GT(dark_bottom, 50);

    FILE *picture = std::fopen("log_window.pgm", "wb");
    ASSERT_NE(picture, nullptr);
    std::fprintf(picture, "P5\n%ld %ld\n255\n", static_cast<long>(client.right),
                 static_cast<long>(client.bottom));
    std::fwrite(grey.data(), 1, grey.size(), picture);
    std::fclose(picture);
    FILE *lines = std::fopen("log_window.txt", "w");
    ASSERT_NE(lines, nullptr);
    for (const std::string &line : shown)
        std::fprintf(lines, "%s\n", line.c_str());
    std::fclose(lines);

    kelpa_shutdown();
    DeleteDC(library_state.frame_dc);
    DeleteObject(library_state.frame_bitmap);
    DestroyWindow(text);
    DestroyWindow(library_state.graphics_window);
    drain();
    for (HGLOBAL &line : message_log.log_lines)
        if (line)
            line = GlobalFree(line);
}

} // namespace
