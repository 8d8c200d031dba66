// The hello program's test: its game_main runs on the headless display, driven by a script of
// clicks, keys and virtual time, and the checks read what the graphics window shows.
#include <kelpa.h>
#include <kelpa_testing.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const std::string &what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

// Whether a colour shows anywhere on the row y between x1 and x2.
bool shows(int color, int x1, int x2, int y) {
    for (int x = x1; x <= x2; ++x)
        if (kelpa_testing::color_at(x, y) == color)
            return true;
    return false;
}

// A recording replayed, as Playback Script would play it: hello.scr clicks twice and types
// two keys, so the track ends where the second click was and the ball has changed colour.
void replay_recording(const std::string &path) {
    using namespace kelpa_testing;
    Script script;
    script.play(path).wait_playback(12).then(
        [] { check(color_at(0, 0) == COLOR_BLACK, "after 12 ticks the track has not moved yet"); });
    script.wait_playback().then([] {
        check(color_at(120, -80) == COLOR_BLACK, "the recording's last click moved the track");
        check(color_at(0, 0) == COLOR_WHITE, "the track left the centre");
    });
    run(game_main, script);
    std::vector<std::string> log = all_log_lines();
    check(log.size() >= 3 && log[log.size() - 3].rfind("Key 'i'", 0) == 0 &&
              log[log.size() - 2].rfind("Key 'j'", 0) == 0,
          "the recording's two keys, in the log before the end of the file");
}

} // namespace

int main(int argc, char **argv) {
    using namespace kelpa_testing;
    Picture before, after;
    Script script;
    script.wait(300)
        .then([&] {
            check(color_at(-120, 0) == COLOR_BLACK, "the track starts at the centre");
            check(shows(COLOR_RED, -115, 115, 16), "a red ball on the track");
            before = capture();
        })
        .wait(300)
        .then([&] { check(capture() != before, "the ball moves"); })
        .click(100, -50)
        .key('x')
        .then([&] {
            check(color_at(100 - 120, -50) == COLOR_BLACK, "the click moved the track");
            check(color_at(-120, 0) == COLOR_WHITE, "the old track is gone");
            check(shows(COLOR_GREEN, -15, 215, -34), "the key made the ball green");
        });
    int result = run(game_main, script);
    check(result == 0, "game_main returns 0");
    std::vector<std::string> log = log_lines();
    check(!log.empty() && log.back() == "Key 'x': the ball is now colour 3.", "the key's log line");
    replay_recording(argc > 1 ? argv[1] : "hello.scr");
    std::printf("%s\n", failures ? "hello_test: FAILED" : "hello_test: passed");
    return failures ? 1 : 0;
}
