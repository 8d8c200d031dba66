// Any number of log lines of any length (past the 1023-character limit too), as plain text
// through "%s" or as formats with real conversions and arguments of their types, with
// repaints of the text window in between: each stored line is what the C library formats,
// cut at the limit, the ring keeps its invariant, and a repaint leaves nothing behind.
#include "fuzz_format.h"
#include "fuzz_session.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

int log_formatted(const fuzz::Format &f) {
    return fuzz::with_arguments(f,
                                [](const char *format, auto... args) { return kelpa_log(format, args...); });
}

// A line of any length, mostly made up rather than taken from a long input.
fuzz::Format plain_line(FuzzedDataProvider &in) {
    const size_t length = in.ConsumeIntegralInRange<size_t>(0, 3000);
    std::string line = in.ConsumeBytesAsString(std::min(length, in.remaining_bytes()));
    if (line.size() < length)
        line.append(length - line.size(), 'x');
    fuzz::Format f;
    f.text = "%s";
    f.args.push_back({fuzz::ArgType::STRING, 0, 0, line});
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::session();
    kelpa_show_log_window(1);
    fuzz::dispatch_pending();
    const win32::LiveCounts start = fuzz::counts_without_log();

    while (in.remaining_bytes() > 0) {
        const int repeat = in.ConsumeIntegralInRange(1, 40);
        const fuzz::Format f = in.ConsumeBool() ? plain_line(in) : fuzz::make_format(in, 1500);
        const fuzz::Formatted expected = fuzz::expected_formatting(f);
        for (int i = 0; i < repeat; ++i) {
            const int count = log_formatted(f);
            const int newest = (message_log.log_next + LOG_SLOTS - 1) % LOG_SLOTS;
            const char *stored = static_cast<const char *>(GlobalLock(message_log.log_lines[newest]));
            if (!stored)
                fuzz::fail("the newest line has a block");
            if (stored != expected.text)
                fuzz::fail("the newest line is the formatted text, cut at the limit");
            // The formatting's count, NULs from "%c" included; a cut line counts what it kept.
            if (expected.count >= 0 && count != std::min(expected.count, LOG_LINE_BYTES - 1))
                fuzz::fail("kelpa_log returns the count formatted");
            GlobalUnlock(message_log.log_lines[newest]);
        }
        fuzz::check_log_ring();
        if (in.ConsumeBool())
            fuzz::dispatch_pending();
    }
    fuzz::dispatch_pending();
    if (fuzz::counts_without_log() != start)
        fuzz::fail("logging left objects, DCs or blocks behind");
    return 0;
}
