// The game's random source: the generator of the 32-bit Windows C library's rand, brought
// along so that one seed gives the same game on every platform and C library.
// Values are 0..GAME_RAND_MAX; the order in which the rules take them is part of the game.
#pragma once

#include <cstdint>

constexpr int GAME_RAND_MAX = 32767;

void game_srand(uint32_t seed);
int game_rand();
