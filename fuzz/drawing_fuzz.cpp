// Any sequence of drawing operations with any arguments, any text, and formats with real
// conversions and arguments of their types, with logging switched on and off: nothing may
// crash, stall or leave an object, DC or memory block behind, the log ring keeps its
// invariant, and kelpa_text_printf returns what the C library formatted.
#include "fuzz_format.h"
#include "fuzz_session.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

namespace {

constexpr int MAX_CALLS = 64;

// An integer that is often one of the interesting ones: the game's sizes, the frame's
// edges, zero, and the ends of the 32-bit range.
int argument(FuzzedDataProvider &in) {
    static const int specials[] = {
        0,     1,      -1,    2,         20,        300,           -300,          600,     601,       540,
        32767, -32768, 65536, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, 1 << 30, -(1 << 30)};
    if (in.ConsumeBool())
        return specials[in.ConsumeIntegralInRange<size_t>(0, sizeof specials / sizeof specials[0] - 1)];
    return in.ConsumeIntegral<int>();
}

int text_printf(int c, int x, int y, int p, const fuzz::Format &f) {
    return fuzz::with_arguments(
        f, [&](const char *format, auto... args) { return kelpa_text_printf(c, x, y, p, format, args...); });
}

std::string text(FuzzedDataProvider &in) {
    return in.ConsumeRandomLengthString(2000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::session();
    fuzz::dispatch_pending();
    const win32::LiveCounts start = fuzz::counts_without_log();

    for (int call = 0; call < MAX_CALLS && in.remaining_bytes() > 0; ++call) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: {
            const int c = argument(in), x = argument(in), y = argument(in), r = argument(in);
            kelpa_circle(c, x, y, r);
            break;
        }
        case 1: {
            const int c = argument(in), x1 = argument(in), y1 = argument(in), x2 = argument(in),
                      y2 = argument(in), w = argument(in);
            kelpa_rect(c, x1, y1, x2, y2, w);
            break;
        }
        case 2: {
            const int c = argument(in), x1 = argument(in), y1 = argument(in), x2 = argument(in),
                      y2 = argument(in), w = argument(in);
            kelpa_line(c, x1, y1, x2, y2, w);
            break;
        }
        case 3: {
            const int c = argument(in), x = argument(in), y = argument(in), p = argument(in);
            const std::string t = text(in);
            kelpa_text(c, x, y, p, t.c_str());
            break;
        }
        case 4: {
            const int c = argument(in), x = argument(in), y = argument(in), p = argument(in);
            const fuzz::Format f = fuzz::make_format(in, 2000);
            const int count = text_printf(c, x, y, p, f);
            const int expected = fuzz::expected_formatting(f).count;
            if (expected >= 0 && count != std::min(expected, LOG_LINE_BYTES - 1))
                fuzz::fail("kelpa_text_printf returns the count formatted");
            break;
        }
        case 5: kelpa_clear(); break;
        case 6: kelpa_set_logging(in.ConsumeBool()); break;
        case 7: fuzz::dispatch_pending(); break; // the paints of both windows
        }
        fuzz::check_log_ring();
    }
    fuzz::dispatch_pending();
    if (fuzz::counts_without_log() != start)
        fuzz::fail("drawing left objects, DCs or blocks behind");
    return 0;
}
