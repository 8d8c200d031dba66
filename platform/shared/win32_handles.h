// Handle values for every kind of object the subset hands out.
// Values are unique across kinds and never reused within a run, so a stale handle
// (a destroyed window, a deleted pen) finds nothing instead of a newer object.
#pragma once

#include <cstdint>

namespace win32 {

uintptr_t new_handle_value();

template <typename H> H new_handle() {
    return reinterpret_cast<H>(new_handle_value());
}
template <typename H> uintptr_t handle_key(H h) {
    return reinterpret_cast<uintptr_t>(h);
}

} // namespace win32
