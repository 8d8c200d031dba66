// Click to paint: discs where the clicks were, in the brush chosen by keys before each click.
#include "example_picture.h"

TEST(ClickPaint, PaintsWhereClickedWithTheChosenBrush) {
    using kelpa_testing::color_at;
    kelpa_testing::Picture last;
    kelpa_testing::Script script;
    script.click(-100, 100).key(' ').key('+').click(100, 100).key(' ').key('-').key('-').click(0, -120);
    script.then([&] {
        EXPECT_EQ(color_at(-100, 100), COLOR_RED);
        EXPECT_EQ(color_at(100 + 14, 100), COLOR_GREEN); // radius 15 after '+'
        EXPECT_EQ(color_at(0, -120 + 5), COLOR_BLUE);    // radius 5 after two '-'
        EXPECT_EQ(color_at(0, -120 + 6), COLOR_WHITE);
        last = kelpa_testing::capture();
    });
    EXPECT_EQ(kelpa_testing::run(game_main, script), 0);
    expect_reference_picture(last);
}

TEST(ClickPaint, CClears) {
    kelpa_testing::Script script;
    script.click(50, 50).key('c').then([] { EXPECT_EQ(kelpa_testing::color_at(50, 50), COLOR_WHITE); });
    EXPECT_EQ(kelpa_testing::run(game_main, script), 0);
}
