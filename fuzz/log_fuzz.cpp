// Any number of log lines of any length (past the 1023-character limit too), with repaints
// of the text window in between: the ring keeps its invariant, holds at most LOG_SLOTS
// blocks, each line no longer than the limit, and a repaint leaves nothing behind.
#include "fuzz_session.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::session();
    kelpa_show_log_window(1);
    fuzz::dispatch_pending();
    const win32::LiveCounts start = fuzz::counts_without_log();

    while (in.remaining_bytes() > 0) {
        const int repeat = in.ConsumeIntegralInRange(1, 40);
        const size_t length = in.ConsumeIntegralInRange<size_t>(0, 3000);
        std::string line = in.ConsumeBytesAsString(std::min(length, in.remaining_bytes()));
        if (line.size() < length)
            line.append(length - line.size(), 'x'); // long lines without long inputs
        const bool as_format = in.ConsumeBool();
        if (as_format)
            line.erase(std::remove(line.begin(), line.end(), '%'), line.end());
        for (int i = 0; i < repeat; ++i) {
            const int count = as_format ? kelpa_log(line.c_str(), 0) : kelpa_log("%s", line.c_str());
            if (count < 0 || count > LOG_LINE_BYTES - 1)
                fuzz::fail("a line is at most 1023 characters");
        }
        fuzz::check_log_ring();
        const int newest = (message_log.log_next + LOG_SLOTS - 1) % LOG_SLOTS;
        const char *stored = static_cast<const char *>(GlobalLock(message_log.log_lines[newest]));
        if (!stored)
            fuzz::fail("the newest line has a block");
        const size_t expected = std::min(std::strlen(line.c_str()), size_t(LOG_LINE_BYTES - 1));
        if (std::strlen(stored) != expected)
            fuzz::fail("the newest line is the text, cut at the limit");
        GlobalUnlock(message_log.log_lines[newest]);
        if (in.ConsumeBool())
            fuzz::dispatch_pending();
    }
    fuzz::dispatch_pending();
    if (fuzz::counts_without_log() != start)
        fuzz::fail("logging left objects, DCs or blocks behind");
    return 0;
}
