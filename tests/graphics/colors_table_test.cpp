// The colour table and kelpa_check_color: the 24 values and names, legal indices passing
// silently, and every illegal one replaced by red with its warning, logging on or off.
#include "drawing_test_pixels.h"

#include <climits>

using ColorTableTest = FreshLibrary;

TEST_F(ColorTableTest, ValuesAndNamesAreTheTwentyFourColours) {
    struct Entry {
        const char *name;
        int r, g, b;
    };
    const Entry table[COLOR_COUNT] = {
        {"black", 0, 0, 0},           {"white", 255, 255, 255},      {"red", 255, 0, 0},
        {"green", 0, 255, 0},         {"blue", 0, 0, 255},           {"yellow", 255, 255, 0},
        {"magenta", 255, 0, 255},     {"cyan", 0, 255, 255},         {"purple", 153, 0, 204},
        {"navy blue", 0, 51, 153},    {"dusty plum", 153, 102, 153}, {"ice blue", 153, 255, 255},
        {"turquoise", 153, 255, 204}, {"orange", 255, 102, 0},       {"brown", 153, 102, 51},
        {"pink", 255, 153, 204},      {"chalk", 255, 255, 153},      {"gold", 204, 153, 51},
        {"peach", 255, 153, 102},     {"forest green", 0, 102, 51},  {"sea green", 51, 204, 153},
        {"olive", 153, 153, 51},      {"50% gray", 128, 128, 128},   {"20% gray", 204, 204, 204},
    };
    for (int i = 0; i < COLOR_COUNT; ++i) {
        EXPECT_STREQ(color_names[i], table[i].name) << i;
        EXPECT_EQ(color_values[i], RGB(table[i].r, table[i].g, table[i].b)) << i;
        EXPECT_EQ(color_values[i] >> 24, 0u) << i;
    }
    EXPECT_EQ(color_values[COLOR_WHITE], 0xFFFFFFu);
    EXPECT_EQ(color_values[COLOR_RED], 0x0000FFu); // red in the lowest byte
}

TEST_F(ColorTableTest, LegalIndicesPassWithoutALine) {
    for (int i = 0; i < COLOR_COUNT; ++i)
        EXPECT_EQ(kelpa_check_color(i), i);
    EXPECT_TRUE(log_lines().empty());
}

TEST_F(ColorTableTest, IllegalIndicesBecomeRedWithAWarningWhateverTheLoggingFlag) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_check_color(24), COLOR_RED);
    EXPECT_EQ(kelpa_check_color(-1), COLOR_RED);
    library_state.logging = 0;
    EXPECT_EQ(kelpa_check_color(INT_MIN), COLOR_RED);
    EXPECT_EQ(kelpa_check_color(INT_MAX), COLOR_RED);
    EXPECT_EQ(log_lines(), (std::vector<std::string>{
                               "Illegal color 24; using RED.\n",
                               "Illegal color -1; using RED.\n",
                               "Illegal color -2147483648; using RED.\n",
                               "Illegal color 2147483647; using RED.\n",
                           }));
}

using ColorDrawingTest = DrawingTest;

TEST_F(ColorDrawingTest, AnIllegalColourIsWarnedOfFirstAndNamedRed) {
    library_state.logging = 1;
    kelpa_circle(30, 0, 0, 5);
    EXPECT_EQ(log_lines(), (std::vector<std::string>{"Illegal color 30; using RED.\n",
                                                     "red circle at (0,0), radius 5\n"}));
    EXPECT_EQ(pixel_at(0, 0), RED);

    message_log = MessageLog{};
    library_state.logging = 0;
    kelpa_rect(-7, 0, 0, 3, 3, 0);
    EXPECT_EQ(log_lines(), (std::vector<std::string>{"Illegal color -7; using RED.\n"}));
}
