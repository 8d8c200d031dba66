// A script file played back into a run, as the Run menu's Playback Script plays KELPA.SCR:
// the testing library opens the file and hands its stream to the library as the open script
// stream, then chooses Playback Script, so the library's own reader takes it from there.
#include "kelpa_testing.h"

#include "host_file.h"
#include "kelpa_private.h"
#include "testing_internal.h"
#include "win32_headless.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace kelpa_testing {

namespace {

struct Playback {
    uint32_t first_periodic = 0; // periodic events delivered before it began
};
Playback playback;

// Ends what the program itself does with its script file, as the Run menu's items would, then
// makes the file the open script stream and chooses Playback Script. The command is posted,
// as a menu click is, so the pass that handles it reads the first line.
bool begin_playback(const std::string &path) {
    LibraryState &s = library_state;
    FILE *file = host_open_regular_file(path.c_str());
    if (!file) {
        std::fprintf(stderr, "kelpa_testing: cannot open script file %s\n", path.c_str());
        return false;
    }
    if (s.recording)
        run_command(IDM_RECORD);
    if (s.playing_back)
        run_command(IDM_PLAYBACK);
    stop_playback();
    script_close();
    s.script_file = file;
    s.periodic_run = 0;
    playback.first_periodic = s.periodic_delivered;
    PostMessageA(graphics_window(), WM_COMMAND, IDM_PLAYBACK, 0);
    return true;
}

// At a wait after the play step: the posted command has been handled by then.
bool playback_over(int periodic_events) {
    const LibraryState &s = library_state;
    if (!s.playing_back)
        return true;
    return periodic_events >= 0 &&
           s.periodic_delivered - playback.first_periodic >= uint32_t(periodic_events);
}

// The line of the file on which the byte before offset lies, from 1, counting line ends as
// the reader does: LF, CR, and CR LF as one.
long line_before(const std::string &path, long offset) {
    FILE *file = host_open_regular_file(path.c_str());
    if (!file)
        return 0;
    long line = 1;
    int previous = 0;
    for (long at = 0; at < offset - 1; ++at) {
        const int c = getc(file);
        if (c == EOF)
            break;
        if (c == '\r' || (c == '\n' && previous != '\r'))
            ++line;
        previous = c;
    }
    fclose(file);
    return line;
}

} // namespace

Script &Script::play(const std::string &path) {
    return add(Step{-1, true, [path] { begin_playback(path); }, nullptr});
}

Script &Script::wait_playback(int periodic_events) {
    return add(Step{-1, false, nullptr, [periodic_events] { return playback_over(periodic_events); }});
}

Replayed replay(const std::function<int()> &program, const std::string &path, const ReplayOptions &options) {
    Replayed replayed;
    if (FILE *file = host_open_regular_file(path.c_str()))
        fclose(file);
    else
        return replayed; // NOT_OPENED
    replayed.start_time =
        options.start_time >= 0 ? options.start_time : static_cast<int64_t>(std::time(nullptr));

    bool ended = false;
    auto end = [&](Replayed::End why) {
        ended = true;
        replayed.end = why;
        replayed.end_ms = headless::now();
    };
    Script script;
    script.start_time(replayed.start_time);
    if (options.logging)
        script.then([] {
            if (!library_state.logging)
                PostMessageA(graphics_window(), WM_COMMAND, IDM_LOGGING, 0);
        });
    script.play(path).wait_playback().then([&] {
        // A stream still open stopped at a line that is no event; the end of the file (or a
        // failed read) has closed it.
        if (FILE *stream = library_state.script_file) {
            end(Replayed::BAD_LINE);
            replayed.line = line_before(path, ftell(stream));
        } else {
            end(Replayed::END_OF_FILE);
        }
    });

    // The picture on screen, reported once it is gone: it is compared with the screen in
    // place, and only its changed rows are copied.
    Picture shown;
    uint32_t shown_since = 0;
    auto watch = [&] {
        if (options.frame && IsWindow(graphics_window())) {
            bring_window_up_to_date();
            if (screen_differs(shown)) {
                if (!shown.rgb.empty())
                    options.frame(shown, shown_since, headless::now());
                update_capture(shown);
                shown_since = headless::now();
            }
        }
        if (options.limit_ms && headless::now() >= options.limit_ms) {
            end(Replayed::TIME_LIMIT);
            stop_playback();
            return false;
        }
        return true;
    };
    replayed.result = run_watched(program, script, watch);
    if (!ended)
        end(Replayed::PROGRAM_ENDED);
    if (options.frame && !shown.rgb.empty())
        options.frame(shown, shown_since, std::max(replayed.end_ms, shown_since));
    return replayed;
}

} // namespace kelpa_testing
