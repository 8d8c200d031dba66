// What "KELPA.SCR" must hold while a session records and after: the lines of the events
// delivered since the recording began, each run of periodic events as one counted line once
// the run has ended, nothing of what the file held before the recording's first line, and
// the file untouched by a recording that has not written yet. The expectation is followed
// call by call of kelpa_next_event from the recording flag before and after each call (a
// command inside the call starts or stops the recording before its event is recorded).
// What the session does to the file from outside makes the content unknown until a
// recording begins afresh, except a cut to nothing: then exactly the lines written since.
#pragma once

#include "script_files.h"

#include <optional>
#include <string>

namespace fuzz {

struct ExpectedScript {
    std::optional<FileContent> file; // none while unknown
    bool opened = false;             // the recording has emptied the file with its first write
    int run = 0;                     // periodic events recorded and not yet written
};

inline std::string periodic_line(int count) {
    return "KELPA_PERIODIC(" + std::to_string(count) + ");\n";
}

inline std::string event_line(int kind, int x, int y, char key) {
    if (kind == KELPA_MOUSE)
        return "KELPA_MOUSE(" + std::to_string(x) + ", " + std::to_string(y) + ");\n";
    if (kind == KELPA_KBD)
        return "KELPA_KBD(" + std::to_string(static_cast<signed char>(key)) + ");\n";
    return "";
}

// The recording's first write creates the file, or empties it.
inline void expect_written(ExpectedScript &e, const std::string &line) {
    if (!e.file)
        return;
    if (!e.opened)
        e.file = FileContent{true, ""};
    e.opened = true;
    e.file->text += line;
}

inline void expect_run_written(ExpectedScript &e) {
    if (e.run > 0)
        expect_written(e, periodic_line(e.run));
    e.run = 0;
}

// Not recording, and the content unknown: from now on, what is there.
inline void expect_what_is_there(ExpectedScript &e) {
    if (!library_state.recording && !e.file)
        e.file = read_script_file();
}

// Something outside the library wrote, replaced or removed the file.
inline void expect_unknown(ExpectedScript &e) {
    e.file.reset();
}

// One call of kelpa_next_event, whose event (kind is pending_kind: a run mode's quit does not
// change what is recorded) the recording step saw; kind 0 for dispatches outside a call.
// restarted: a stop and a new start of the recording may both have been dispatched in it,
// which the flags alone cannot tell from a recording that went on.
inline void expect_after_call(ExpectedScript &e, bool was_recording, bool recording, bool restarted, int kind,
                              int x, int y, char key) {
    if (was_recording && !recording)
        expect_run_written(e);
    if (!was_recording && recording) {
        e.opened = false;
        e.run = 0;
    }
    if (was_recording && recording && restarted)
        expect_unknown(e);
    if (!recording || kind == 0)
        return;
    if (kind == KELPA_PERIODIC) {
        ++e.run;
        return;
    }
    expect_run_written(e);
    expect_written(e, event_line(kind, x, y, key)); // a quit writes no line, but opens the file
}

// Printable, for the report of a difference.
inline std::string shown(const std::optional<FileContent> &f) {
    if (!f)
        return "(not a regular file)";
    if (!f->exists)
        return "(no file)";
    std::string out;
    for (char c : f->text.substr(0, 600))
        out += c == '\0' ? std::string("\\0") : c == '\n' ? std::string("\\n\n") : std::string(1, c);
    return f->text.size() > 600 ? out + "..." : out;
}

inline void check_script_file(const ExpectedScript &e) {
    if (!e.file)
        return;
    const std::optional<FileContent> now = read_script_file();
    if (now && e.file && now->exists == e.file->exists && now->text == e.file->text)
        return;
    std::fprintf(stderr, "KELPA.SCR holds:\n%s\nexpected:\n%s\n", shown(now).c_str(), shown(e.file).c_str());
    if (e.opened && now && now->text.find('\0') != std::string::npos)
        fail("KELPA.SCR holds NUL bytes: a line was written past the end of a file cut short");
    fail("KELPA.SCR holds the lines of the events delivered since the recording began");
}

} // namespace fuzz
