// The headless display's virtual clock, for KERNEL32's Sleep: time passes without waiting
// and without running a test's idle hook (which stands for a user acting while the program
// waits for messages, not while it sleeps).
#pragma once

#include <cstdint>

namespace win32 {

void headless_advance_clock(uint32_t ms);

} // namespace win32
