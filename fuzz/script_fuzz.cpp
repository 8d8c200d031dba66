// Any bytes as "KELPA.SCR", played back through the library on the headless display until
// playback stops or a bound of events is reached; then the program must still take a live
// click, with no object, DC or memory block left behind.
#include "fuzz_session.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr int MAX_EVENTS = 3000; // a huge periodic count would play for ever

void enter_temp_dir() {
    static bool entered = false;
    if (entered)
        return;
    char pattern[] = "/tmp/kelpa_fuzz_XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        fuzz::fail("temp dir");
    entered = true;
}

void write_script(const uint8_t *data, size_t size) {
    FILE *out = std::fopen("KELPA.SCR", "wb");
    if (!out)
        fuzz::fail("write KELPA.SCR");
    if (size)
        std::fwrite(data, 1, size, out);
    std::fclose(out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    enter_temp_dir();
    fuzz::session();
    script_close(); // every input plays from its first line, with no count left over
    library_state.periodic_run = 0;
    write_script(data, size);
    fuzz::dispatch_pending();
    const win32::LiveCounts start = fuzz::counts_without_log();

    bool clicked = false;
    headless::on_idle([&] {
        if (!library_state.playing_back && !clicked) {
            clicked = true;
            headless::click(library_state.graphics_window, library_state.origin_x + 3,
                            library_state.origin_y);
        }
    });
    run_command(IDM_PLAYBACK);
    int x = 0, y = 0;
    char key = 0;
    int kind = 0;
    for (int n = 0; n < MAX_EVENTS && library_state.playing_back; ++n) {
        kind = kelpa_next_event(x, y, key);
        if (kind < KELPA_MOUSE || kind > KELPA_PERIODIC)
            fuzz::fail("playback yields clicks, keys and ticks only");
    }
    if (library_state.playing_back) {
        run_command(IDM_PLAYBACK);
        kind = kelpa_next_event(x, y, key);
    } else if (!clicked) {
        kind = kelpa_next_event(x, y, key);
    }
    if (kind != KELPA_MOUSE || x != 3 || y != 0)
        fuzz::fail("the live click after the playback");
    fuzz::dispatch_pending();
    fuzz::check_log_ring();
    if (fuzz::counts_without_log() != start)
        fuzz::fail("playback left objects, DCs or blocks behind");

    headless::on_idle(nullptr);
    script_close();
    return 0;
}
