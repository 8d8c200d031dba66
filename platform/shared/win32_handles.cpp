// Handle allocation, and the reset that returns the whole subset to a fresh process.
#include "win32_handles.h"
#include "win32_internal.h"

namespace win32 {

namespace {
// Start well above zero and step by 4, as real handles do, so small integers are never handles.
constexpr uintptr_t first_handle = 0x10000;
uintptr_t next_handle = first_handle;
} // namespace

uintptr_t new_handle_value() {
    uintptr_t h = next_handle;
    next_handle += 4;
    return h;
}

void reset_subset() {
    // Windows first: destroying them releases their DCs and timers.
    reset_user32();
    reset_gdi32();
    reset_kernel32();
    reset_audit();
    next_handle = first_handle;
}

} // namespace win32
