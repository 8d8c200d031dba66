// The bouncing ball after five seconds of virtual time: it has bounced off the right wall and the floor.
#include "example_picture.h"

TEST(BouncingBall, BouncesAndLeavesATrail) {
    kelpa_testing::Picture early, last;
    kelpa_testing::Script script;
    script.wait(200).then([&] { early = kelpa_testing::capture(); }).wait(5000).then([&] {
        last = kelpa_testing::capture();
    });
    EXPECT_EQ(kelpa_testing::run(game_main, script), 0);
    EXPECT_NE(early, last);
    expect_reference_picture(last);
}
