// Keyboard mover: keys turn it while it animates; halted, it stays put whatever time passes,
// (a step already under way still ends), and each Advance one frame moves it exactly one step.
#include "example_picture.h"

TEST(KeyMover, TurnsHaltsAndSteps) {
    using kelpa_testing::capture;
    kelpa_testing::Picture halted, later, stepped;
    kelpa_testing::Script script;
    script.wait(1500).key('i').wait(1000).key('j').wait(1200).command('H').wait(100).then(
        [&] { halted = capture(); });
    script.wait(1000).then([&] { later = capture(); });
    script.key('k').command('F').wait(100).command('F').wait(100).then([&] { stepped = capture(); });
    script.wait(1000).then([&] { EXPECT_EQ(capture(), stepped); });
    EXPECT_EQ(kelpa_testing::run(game_main, script), 0);
    EXPECT_EQ(halted, later);
    EXPECT_NE(halted, stepped);
    expect_reference_picture(stepped);
}
