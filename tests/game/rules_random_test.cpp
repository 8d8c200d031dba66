// The random source and the two operations that turn its values into kinds and positions,
// at the boundary values of the generator's output.
#include "game_random.h"
#include "game_state.h"
#include "random_values.h"

#include <gtest/gtest.h>

TEST(RandomSource, MatchesTheWindowsCLibraryForSeedOne) {
    game_srand(1);
    EXPECT_EQ(game_rand(), 41);
    EXPECT_EQ(game_rand(), 18467);
    EXPECT_EQ(game_rand(), 6334);
    EXPECT_EQ(game_rand(), 26500);
    EXPECT_EQ(game_rand(), 19169);
}

TEST(RandomKind, BoundariesOfEachShare) {
    struct Case {
        int r;
        int kind;
    };
    const Case cases[] = {
        {0, PICKUP_LEVEL},         {1638, PICKUP_LEVEL},     {1639, PICKUP_POINT},
        {13107, PICKUP_POINT},     {13108, PICKUP_DOUBLE},   {18022, PICKUP_DOUBLE},
        {18023, PICKUP_TELEPORT},  {22937, PICKUP_TELEPORT}, {22938, PICKUP_RESHUFFLE},
        {27852, PICKUP_RESHUFFLE}, {27853, PICKUP_HEALTH},   {31129, PICKUP_HEALTH},
        {31130, PICKUP_REKIND},    {32767, PICKUP_REKIND},
    };
    for (const Case &c : cases) {
        game_srand(seed_giving(c.r));
        EXPECT_EQ(random_kind(), c.kind) << "r = " << c.r;
    }
}

TEST(RandomPosition, RoundsDownAndClampsOnlyPastTheEdges) {
    struct Case {
        int rx, ry;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, -280, -230},       {32767, 32767, 280, 205},
        {16384, 16384, 0, 0},     {16383, 16383, -1, -1}, // 16383 * 600 / 32768 = 299.98, rounded down
        {1146, 1376, -280, -230}, // the last values that the clamp piles onto the low edges
        {1147, 1377, -279, -229}, {31675, 29818, 279, 204},
        {31676, 29819, 280, 205}, // the first values piled onto the high edges
    };
    for (const Case &c : cases) {
        uint32_t seed = 0;
        ASSERT_TRUE(seed_giving(c.rx, c.ry, seed));
        game_srand(seed);
        int32_t x = 0;
        int32_t y = 0;
        random_position(x, y);
        EXPECT_EQ(x, c.x) << "r = " << c.rx;
        EXPECT_EQ(y, c.y) << "r = " << c.ry;
    }
}

TEST(Distance, TruncatesTheRootOfTheSquares) {
    EXPECT_EQ(distance(0, 0, 22, 23), 31); // 31.8
    EXPECT_EQ(distance(0, 0, 0, 32), 32);
    EXPECT_EQ(distance(5, -7, 5, -7), 0);
    EXPECT_EQ(distance(-280, -230, 280, 205), 709); // corner to corner, 709.08
    EXPECT_EQ(distance(3, 4, 0, 0), 5);
}

TEST(Distance, FarOutsideTheFieldStaysInRange) {
    EXPECT_EQ(distance(-2147483647 - 1, 0, 2147483647, 0), 2147483647);
    EXPECT_EQ(distance(0, 0, 2000000000, 0), 2000000000);
}
