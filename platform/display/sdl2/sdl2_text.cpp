// Text between SDL (UTF-8) and the subset (Windows-1252, the ANSI code page our texts use).
// Bytes 0x00-0x7F and 0xA0-0xFF are the code points of the same value; 0x80-0x9F map
// through the table below, and its five holes (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for nothing.
#include "sdl2_display.h"

namespace win32::sdl2 {

namespace {

constexpr uint16_t cp1252_high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr uint32_t replacement = 0xFFFD;

size_t put_utf8(uint32_t cp, char *out, size_t room) {
    char buf[4];
    size_t n;
    if (cp < 0x80) {
        buf[0] = static_cast<char>(cp);
        n = 1;
    } else if (cp < 0x800) {
        buf[0] = static_cast<char>(0xC0 | (cp >> 6));
        buf[1] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 2;
    } else {
        buf[0] = static_cast<char>(0xE0 | (cp >> 12));
        buf[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buf[2] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 3;
    }
    if (n > room)
        return 0;
    for (size_t i = 0; i < n; ++i)
        out[i] = buf[i];
    return n;
}

} // namespace

int cp1252_from_codepoint(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (cp1252_high[i] != 0 && cp1252_high[i] == cp)
            return 0x80 + i;
    return '?';
}

uint32_t next_codepoint(const char *&text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    if (*p == 0)
        return 0;
    int extra;
    uint32_t cp;
    if (*p < 0x80) {
        text += 1;
        return *p;
    } else if ((*p & 0xE0) == 0xC0) {
        extra = 1;
        cp = *p & 0x1F;
    } else if ((*p & 0xF0) == 0xE0) {
        extra = 2;
        cp = *p & 0x0F;
    } else if ((*p & 0xF8) == 0xF0) {
        extra = 3;
        cp = *p & 0x07;
    } else {
        text += 1;
        return replacement;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            // A truncated sequence: skip what was read, never past the terminator.
            text += i;
            return replacement;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    text += 1 + extra;
    return cp;
}

void utf8_from_cp1252(const char *text, char *out, size_t out_size) {
    if (out_size == 0)
        return;
    size_t used = 0;
    for (const auto *p = reinterpret_cast<const unsigned char *>(text ? text : ""); *p; ++p) {
        uint32_t cp = *p;
        if (cp >= 0x80 && cp < 0xA0)
            cp = cp1252_high[cp - 0x80] ? cp1252_high[cp - 0x80] : replacement;
        size_t n = put_utf8(cp, out + used, out_size - 1 - used);
        if (n == 0)
            break;
        used += n;
    }
    out[used] = 0;
}

} // namespace win32::sdl2
