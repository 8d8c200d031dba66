// The script file "KELPA.SCR": recording of the delivered events and their playback.
// Invariant: script_file is open for writing only while recording, for reading only while
// not, and only ever on a regular file; a recording holds its file against other recorders
// and writes whole lines at its end; the reader never looks past the characters of the line
// it read, and a playback that reached the end of the file has closed it.
#include "kelpa_private.h"

#include "host_file.h"

#include <climits>

namespace {

const char script_name[] = "KELPA.SCR";
constexpr int LINE_BYTES = 512; // a line of at most 511 characters and its NUL

struct Line {
    char text[LINE_BYTES];
    int length = 0; // characters read, NUL bytes included
};

// Standard line input with a limit of 512: up to and including the newline, at most 511
// characters. The length is counted as read, so a NUL byte cannot hide the rest of the line.
// A CR ends a line as a newline does, and a CR LF is one newline (files from other editors
// and hosts); the LF of a CR that ends a full line is taken with it.
void read_line(FILE *file, Line &line) {
    line.length = 0;
    while (line.length < LINE_BYTES - 1) {
        const int c = getc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            const int next = getc(file);
            if (next == EOF && !ferror(file))
                clearerr(file); // a CR at the end is a whole last line; the next read ends
            else if (next != '\n' && next != EOF)
                ungetc(next, file);
            line.text[line.length++] = '\n';
            break;
        }
        line.text[line.length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    line.text[line.length] = '\0';
}

bool is_blank(const Line &line) {
    return line.length == 1 && line.text[0] == '\n';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Index of the first character at or after `from` that starts a number, or the length.
int find_number(const Line &line, int from, bool minus_starts) {
    while (from < line.length && !is_digit(line.text[from]) && !(minus_starts && line.text[from] == '-'))
        ++from;
    return from;
}

// Converts the run of number characters at `from` as integer parsing does (one optional
// minus, then digits), clamped to 32 bits; a run without digits, or none at all, is 0.
// Returns the index after the run.
int parse_number(const Line &line, int from, bool minus_in_run, int32_t &value) {
    int end = from;
    while (end < line.length && (is_digit(line.text[end]) || (minus_in_run && line.text[end] == '-')))
        ++end;
    int i = from;
    const bool negative = i < end && line.text[i] == '-';
    if (negative)
        ++i;
    int64_t magnitude = 0;
    for (; i < end && is_digit(line.text[i]); ++i) {
        magnitude = magnitude * 10 + (line.text[i] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            magnitude = int64_t(INT32_MAX) + 1; // saturated; further digits keep it there
    }
    const int64_t signed_value = negative ? -magnitude : magnitude;
    value = static_cast<int32_t>(signed_value > INT32_MAX ? INT32_MAX : signed_value);
    return end;
}

// Only a regular file is opened: a FIFO or a terminal would block the event loop in the
// open or the first read. Some regular files (/proc/self/mem) open and fail at the first
// read; a stream that cannot deliver its first character counts as not opened.
FILE *open_for_reading() {
    FILE *file = host_open_regular_file(script_name);
    if (!file)
        return nullptr;
    const int first = getc(file);
    if (first == EOF && ferror(file)) {
        fclose(file);
        return nullptr;
    }
    if (first != EOF)
        ungetc(first, file);
    else
        clearerr(file); // an empty file: its end is met again by the first read
    return file;
}

// Opens the file that the recording writes, reported when it cannot be. Only the first try
// of a recording empties the file (a recording replaces the previous one); every later open
// appends to whatever has the name then: the file after a move, or the file of another
// recorder that held it while this one was refused, which is kept so.
bool open_for_recording() {
    LibraryState &s = library_state;
    const bool empty = !s.script_begun;
    s.script_begun = 1;
    s.script_file = host_open_recording(script_name, empty);
    if (!s.script_file) {
        kelpa_log("Cannot open script file %s for writing\n", script_name);
        return false;
    }
    s.script_write_failed = 0;
    return true;
}

} // namespace

void stop_playback() {
    library_state.playing_back = 0;
    library_state.play_one = 0;
    set_menu_check(IDM_PLAYBACK, false);
}

void script_close() {
    if (library_state.script_file)
        fclose(library_state.script_file);
    library_state.script_file = nullptr;
}

void script_write_event(int kind, int x, int y, char key) {
    LibraryState &s = library_state;
    if (!s.script_file && !open_for_recording())
        return;
    char line[48]; // the longest line, with two 32-bit numbers, has 36 characters
    int length = 0;
    switch (kind) {
    case KELPA_MOUSE: length = snprintf(line, sizeof line, "KELPA_MOUSE(%d, %d);\n", x, y); break;
    case KELPA_KBD:
        length =
            snprintf(line, sizeof line, "KELPA_KBD(%d);\n", static_cast<int>(static_cast<signed char>(key)));
        break;
    case KELPA_PERIODIC: length = snprintf(line, sizeof line, "KELPA_PERIODIC(%d);\n", s.periodic_run); break;
    default: return;
    }
    // A file renamed or removed meanwhile keeps the lines it has; the recording goes on in a
    // file of the name (a new one, or whatever is there now), since stopping would lose every
    // later event. Said at each move.
    if (!host_file_has_name(s.script_file, script_name)) {
        kelpa_log("Cannot write script file %s\n", script_name);
        script_close();
        if (!open_for_recording())
            return;
    }
    // Each line reaches the file at once and whole, so a recording survives a program that
    // dies, and a full disk or a size limit shows at the line it cost without cutting it.
    // Reported once per stream; the recording goes on.
    if (!host_append_line(s.script_file, line, static_cast<size_t>(length))) {
        if (!s.script_write_failed)
            kelpa_log("Cannot write script file %s\n", script_name);
        s.script_write_failed = 1;
    }
}

void script_write_pending_run() {
    LibraryState &s = library_state;
    if (s.periodic_run > 0) {
        script_write_event(KELPA_PERIODIC, s.event_x, s.event_y, s.event_key);
        s.periodic_run = 0;
    }
}

int script_read_event() {
    LibraryState &s = library_state;
    if (!s.script_file) {
        s.script_file = open_for_reading();
        if (!s.script_file) {
            kelpa_log("Cannot open script file %s for reading\n", script_name);
            stop_playback();
            return 0;
        }
    }
    if (s.periodic_run > 0) {
        --s.periodic_run;
        s.pending_kind = KELPA_PERIODIC;
        return 1;
    }
    Line line;
    do {
        read_line(s.script_file, line);
        // The end-of-file indicator decides, not the characters read: a last line without
        // a newline is not played. The stream is closed at its end (and after a failed
        // read), so the next Playback or Play One replays the file from its first line.
        if (feof(s.script_file)) {
            kelpa_log("EOF encountered in script file %s\n", script_name);
            stop_playback();
            script_close();
            return 0;
        }
        if (ferror(s.script_file)) {
            stop_playback();
            script_close();
            return 0;
        }
    } while (is_blank(line));

    // The letter after the prefix "KELPA_"; the prefix itself is not examined.
    const char letter = line.length > 6 ? line.text[6] : '\0';
    int32_t value = 0;
    switch (letter) {
    case 'M': {
        s.pending_kind = KELPA_MOUSE;
        int at = parse_number(line, find_number(line, 6, true), true, value);
        s.event_x = value;
        parse_number(line, find_number(line, at, true), true, value);
        s.event_y = value;
        break;
    }
    case 'K':
        s.pending_kind = KELPA_KBD;
        parse_number(line, find_number(line, 6, true), true, value);
        s.event_key = static_cast<char>(value & 0xff); // a code written negative is the same character
        break;
    case 'P':
        s.pending_kind = KELPA_PERIODIC;
        parse_number(line, find_number(line, 6, false), false, value);
        s.periodic_run = value - 1; // this event is the first of the count; 0 counts as 1
        break;
    default: stop_playback(); return 0;
    }
    return 1;
}

bool script_playback_step() {
    LibraryState &s = library_state;
    if (!s.play_one && !s.playing_back)
        return false;
    s.play_one = 0;
    if (script_read_event())
        return true;
    s.play_one = 0;
    s.playing_back = 0;
    return false;
}

void script_record_step() {
    LibraryState &s = library_state;
    if (!s.recording)
        return;
    if (s.pending_kind == KELPA_PERIODIC) {
        ++s.periodic_run;
        return;
    }
    script_write_pending_run();
    // A quit writes no line, but opens (and so empties) the file like any event.
    script_write_event(s.pending_kind, s.event_x, s.event_y, s.event_key);
}
