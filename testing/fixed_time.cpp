// The C library's time() for a program under test. Programs and their tests are linked with
// --wrap=time, so every call of time() in their own code (a game_main seeding its random
// numbers) comes here: the real clock, or, in a run with a fixed start time, that time plus
// the seconds of virtual time since the run began.
#include "testing_internal.h"
#include "win32_headless.h"

#include <ctime>

namespace {

bool pinned = false;
int64_t pinned_seconds = 0;

} // namespace

extern "C" time_t __real_time(time_t *out);

extern "C" time_t __wrap_time(time_t *out) {
    if (!pinned)
        return __real_time(out);
    const time_t now = static_cast<time_t>(pinned_seconds + headless::now() / 1000);
    if (out)
        *out = now;
    return now;
}

namespace kelpa_testing {

void pin_time(int64_t seconds) {
    pinned = seconds >= 0;
    pinned_seconds = seconds;
}

} // namespace kelpa_testing
