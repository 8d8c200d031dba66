// KERNEL32 global memory blocks. A GMEM_FIXED block's handle is its address; a GMEM_MOVEABLE
// block has a handle of its own and a lock count. Every live block is in one table, so a
// freed or made-up handle is recognised and refused instead of being followed.
#include "win32_handles.h"
#include "win32_internal.h"

#include <cstring>
#include <map>
#include <memory>
#include <new>

namespace win32 {

namespace {

struct Block {
    std::unique_ptr<unsigned char[]> data;
    SIZE_T size = 0;
    bool moveable = false;
    int locks = 0;
};

std::map<uintptr_t, Block> blocks;

// Larger requests fail as an exhausted 32-bit address space would.
constexpr SIZE_T largest_block = SIZE_T(1) << 30;
// Without GMEM_ZEROINIT a block holds garbage: a fill of this byte makes a program that
// relies on zeroes show it in tests.
constexpr unsigned char uninitialised = 0xCD;

Block *find_block(HGLOBAL mem) {
    auto it = blocks.find(reinterpret_cast<uintptr_t>(mem));
    return it == blocks.end() ? nullptr : &it->second;
}

} // namespace

int live_memory_blocks() {
    return static_cast<int>(blocks.size());
}

void reset_kernel32() {
    blocks.clear();
}

} // namespace win32

using namespace win32;

// KERNEL32 GlobalAlloc: GMEM_FIXED (the handle is the address) or GMEM_MOVEABLE (lock it to
// get the address); GMEM_ZEROINIT clears it. Null when memory runs out.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (bytes > largest_block || take_injected_failure(Allocation::memory_block))
        return nullptr;
    Block b;
    b.size = bytes;
    b.moveable = (flags & GMEM_MOVEABLE) != 0;
    b.data.reset(new (std::nothrow) unsigned char[bytes ? bytes : 1]);
    if (!b.data)
        return nullptr;
    std::memset(b.data.get(), (flags & GMEM_ZEROINIT) ? 0 : uninitialised, bytes ? bytes : 1);
    uintptr_t key = b.moveable ? new_handle_value() : reinterpret_cast<uintptr_t>(b.data.get());
    blocks[key] = std::move(b);
    return reinterpret_cast<HGLOBAL>(key);
}

// KERNEL32 GlobalLock: the block's address; a moveable block's lock count goes up. Null for
// an invalid handle and for a moveable block of zero bytes.
LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    Block *b = find_block(mem);
    if (!b)
        return nullptr;
    if (!b->moveable)
        return b->data.get();
    if (b->size == 0)
        return nullptr;
    ++b->locks;
    return b->data.get();
}

// KERNEL32 GlobalUnlock: lowers a moveable block's lock count; TRUE while it stays locked,
// FALSE once it reaches zero (or was not locked, or the handle is invalid). A fixed block
// has no lock count: TRUE.
BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    Block *b = find_block(mem);
    if (!b)
        return FALSE;
    if (!b->moveable)
        return TRUE;
    if (b->locks == 0)
        return FALSE;
    --b->locks;
    return b->locks > 0;
}

// KERNEL32 GlobalFree: frees the block, locked or not, and returns null; returns the handle
// itself when it names no block.
HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    if (!mem)
        return nullptr;
    auto it = blocks.find(reinterpret_cast<uintptr_t>(mem));
    if (it == blocks.end())
        return mem;
    blocks.erase(it);
    return nullptr;
}

// KERNEL32 GlobalSize: the size asked for; 0 for an invalid handle.
SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
    Block *b = find_block(mem);
    return b ? b->size : 0;
}
