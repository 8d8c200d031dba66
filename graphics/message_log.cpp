// The message log: a ring of the last LOG_SLOTS lines, each in a movable memory block, shown
// in the text window oldest at the top and newest at the bottom edge.
// Invariant: the slots from log_first up to log_next (wrapping) hold one live block each and
// every other slot is empty; log_first is -1 exactly when no slot holds a block.
// A line the text window cannot show (its font cannot be loaded) is written to standard error.
// Every line also goes to the debugger's channel (OutputDebugStringA), whole and in order.
#include "kelpa_private.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int next_slot(int slot) {
    return (slot + 1) % LOG_SLOTS;
}

// A block of exactly length + 1 bytes holding the text and its NUL; null when the platform
// cannot give or lock one.
HGLOBAL copy_to_block(const char *text, size_t length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (!block)
        return nullptr;
    char *bytes = static_cast<char *>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(bytes, text, length);
    bytes[length] = '\0';
    GlobalUnlock(block);
    return block;
}

void append_line(HGLOBAL block) {
    MessageLog &log = message_log;
    if (log.log_first == log.log_next) { // full: the oldest line gives up its slot
        GlobalFree(log.log_lines[log.log_first]);
        log.log_lines[log.log_first] = nullptr;
        log.log_first = next_slot(log.log_first);
    }
    log.log_lines[log.log_next] = block;
    if (log.log_first == -1)
        log.log_first = log.log_next;
    log.log_next = next_slot(log.log_next);
}

void write_to_stderr(const char *text) {
    const size_t length = strlen(text);
    fwrite(text, 1, length, stderr);
    if (length == 0 || text[length - 1] != '\n')
        fputc('\n', stderr);
}

// The window has just been found unable to show text: the lines it should now show are
// written out, as every later line will be.
void write_ring_to_stderr() {
    const MessageLog &log = message_log;
    if (log.log_first == -1)
        return;
    int slot = log.log_first;
    do {
        if (const char *text = static_cast<const char *>(GlobalLock(log.log_lines[slot]))) {
            write_to_stderr(text);
            GlobalUnlock(log.log_lines[slot]);
        }
        slot = next_slot(slot);
    } while (slot != log.log_next);
}

// Draws one ring line into the bottom strip after pushing the image up by one line height.
void draw_line(HDC dc, HGLOBAL block, const RECT &client, const RECT &strip, HBRUSH background,
               int line_height) {
    const char *text = static_cast<const char *>(GlobalLock(block));
    ScrollDC(dc, 0, -line_height, nullptr, nullptr, nullptr, nullptr);
    FillRect(dc, &strip, background);
    if (text) {
        size_t length = strlen(text);
        if (length > 0 && text[length - 1] == '\n')
            --length; // only the one trailing newline; others go to the text output as they are
        TextOutA(dc, client.left + 5, client.bottom - line_height, text, static_cast<int>(length));
        GlobalUnlock(block);
    }
}

} // namespace

int kelpa_log(const char *format, ...) {
    char buffer[LOG_LINE_BYTES];
    va_list args;
    va_start(args, format);
    // Callers pass user text through %s: a longer line is cut to LOG_LINE_BYTES - 1 characters.
    const int count = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (count < 0)
        buffer[0] = '\0';
    const size_t length = strlen(buffer);

    // Allocated before the oldest line is freed: when memory runs out, the new line is
    // dropped and the ring keeps every line it had.
    HGLOBAL block = copy_to_block(buffer, length);
    if (block)
        append_line(block);
    if (message_log.text_shown == 0)
        write_to_stderr(buffer);
    // The ring forgets; a debugger (or a test, or a replay's log file) sees every line.
    OutputDebugStringA(buffer);

    if (library_state.text_window) {
        RECT client = {};
        GetClientRect(library_state.text_window, &client);
        InvalidateRect(library_state.text_window, &client, TRUE);
    }
    // The count the formatting returned: a NUL written by "%c" ends the stored line, not the count;
    // a cut line counts the LOG_LINE_BYTES - 1 characters it kept, as kelpa_text_printf does.
    return count < LOG_LINE_BYTES ? count : LOG_LINE_BYTES - 1;
}

void paint_text_window(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    HDC window_dc = GetDC(window);
    HDC dc = CreateCompatibleDC(window_dc);
    // Compatible with the memory context, not the window: a fresh memory context holds a
    // 1-bpp bitmap, so the log is always drawn in black and white.
    HBITMAP image = dc ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    HBRUSH background = dc ? CreateSolidBrush(GetBkColor(dc)) : nullptr;
    if (image && background) {
        HGDIOBJ old_bitmap = SelectObject(dc, image);
        HGDIOBJ old_font = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
        FillRect(dc, &client, background);
        TEXTMETRICA metrics = {};
        // No metrics: the platform could load no font, and nothing drawn here could be read.
        const bool shows_text = GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0;
        if (!shows_text && message_log.text_shown != 0)
            write_ring_to_stderr();
        message_log.text_shown = shows_text;
        const int line_height = metrics.tmHeight + metrics.tmExternalLeading;
        const RECT strip = {client.left, client.bottom - line_height, client.right, client.bottom + 1};

        const MessageLog &log = message_log;
        if (shows_text && log.log_first != -1) {
            int slot = log.log_first;
            do {
                draw_line(dc, log.log_lines[slot], client, strip, background, line_height);
                slot = next_slot(slot);
            } while (slot != log.log_next);
        }
        BitBlt(window_dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old_font);
        SelectObject(dc, old_bitmap);
    }
    EndPaint(window, &ps);
    if (background)
        DeleteObject(background);
    if (image)
        DeleteObject(image);
    if (dc)
        DeleteDC(dc);
    ReleaseDC(window, window_dc);
}
