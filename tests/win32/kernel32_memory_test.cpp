// Global memory blocks: movable blocks and their lock counts, fixed blocks, sizes, and what
// GlobalFree hands back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemory, MovableBlocksCountLocks) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_TRUE(h);
    EXPECT_EQ(GlobalSize(h), 16u);
    char *p = static_cast<char *>(GlobalLock(h));
    ASSERT_TRUE(p);
    std::strcpy(p, "kept");
    char *q = static_cast<char *>(GlobalLock(h));
    EXPECT_EQ(p, q);
    EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(h)) << "the count reached zero";
    p = static_cast<char *>(GlobalLock(h));
    EXPECT_STREQ(p, "kept");
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, ZeroInitAndFixedBlocks) {
    HGLOBAL h = GlobalAlloc(GHND, 64);
    unsigned char *p = static_cast<unsigned char *>(GlobalLock(h));
    ASSERT_TRUE(p);
    bool all_zero = true;
    for (int i = 0; i < 64; ++i)
        all_zero = all_zero && p[i] == 0;
    EXPECT_TRUE(all_zero);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);

    HGLOBAL f = GlobalAlloc(GPTR, 8);
    ASSERT_TRUE(f);
    EXPECT_EQ(GlobalLock(f), static_cast<void *>(f)) << "a fixed block's handle is its address";
    EXPECT_EQ(GlobalSize(f), 8u);
    EXPECT_EQ(GlobalFree(f), nullptr);
}

TEST(GlobalMemory, ZeroByteMovableBlockLocksToNull) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_TRUE(h);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, FreeingALockedBlockSucceeds) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_TRUE(GlobalLock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

} // namespace
