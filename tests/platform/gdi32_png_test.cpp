// The PNG writer behind screenshots and test dumps: a valid 8-bit RGB file of the surface's
// size, and a plain failure (no file left) for an empty surface or a path it cannot write.
#include "surface_png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<unsigned char> read_all(const char *path) {
    std::vector<unsigned char> out;
    if (FILE *f = std::fopen(path, "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            out.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    return out;
}

uint32_t be32(const std::vector<unsigned char> &b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

TEST(PngWrite, WritesAnRgbImageOfTheSurfacesSize) {
    win32::Surface s;
    s.resize(3, 2, 0x00FF8000u);
    const char *path = "gdi32_png_test.png";
    ASSERT_TRUE(win32::write_png(s, path));
    std::vector<unsigned char> b = read_all(path);
    ASSERT_GT(b.size(), 33u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, b.begin()));
    EXPECT_EQ(be32(b, 16), 3u); // IHDR width
    EXPECT_EQ(be32(b, 20), 2u); // IHDR height
    EXPECT_EQ(b[24], 8);        // bit depth
    EXPECT_EQ(b[25], 2);        // colour type RGB
    std::remove(path);
}

TEST(PngWrite, FailsCleanlyOnAnEmptySurfaceOrAnUnwritablePath) {
    win32::Surface empty;
    EXPECT_FALSE(win32::write_png(empty, "gdi32_png_empty.png"));
    EXPECT_TRUE(read_all("gdi32_png_empty.png").empty());
    win32::Surface s;
    s.resize(2, 2);
    EXPECT_FALSE(win32::write_png(s, "no/such/directory/x.png"));
    EXPECT_FALSE(win32::write_png(s, nullptr));
}

} // namespace
