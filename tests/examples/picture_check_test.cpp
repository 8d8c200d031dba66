// The picture check the examples' tests rely on: one pixel changed is a difference, reported
// with where it is, and the actual and expected pictures are written for a look.
#include "kelpa.h"
#include "kelpa_testing.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(PictureCheck, OnePixelIsADifference) {
    kelpa_testing::start();
    kelpa_clear();
    kelpa_circle(COLOR_BLUE, 0, 0, 30);
    kelpa_testing::Picture picture = kelpa_testing::capture();
    ASSERT_GT(picture.width, 0);
    std::string why;
    ASSERT_TRUE(kelpa_testing::same_picture(picture, "check.png", &why, true)) << why;
    EXPECT_TRUE(kelpa_testing::same_picture(picture, "check.png", &why)) << why;

    kelpa_testing::Picture changed = picture;
    changed.rgb[static_cast<size_t>(7 * changed.width + 5)] ^= 1;
    std::filesystem::remove("check.actual.png");
    EXPECT_FALSE(kelpa_testing::same_picture(changed, "check.png", &why));
    EXPECT_NE(why.find("1 pixels differ; the first at client pixel (5, 7)"), std::string::npos) << why;
    EXPECT_EQ(kelpa_testing::load_picture("check.actual.png"), changed);
    EXPECT_EQ(kelpa_testing::load_picture("check.expected.png"), picture);
}
