// The game's random source, a linear congruential generator with the constants of the
// 32-bit Windows C library. The state is one 32-bit word; unsigned arithmetic gives the
// wrap-around mod 2^32 without overflow.
#include "game_random.h"

namespace {
// The Windows C library starts as if seeded with 1.
uint32_t random_seed = 1;
} // namespace

void game_srand(uint32_t seed) {
    random_seed = seed;
}

int game_rand() {
    random_seed = random_seed * 214013u + 2531011u;
    return static_cast<int>((random_seed >> 16) & 0x7fff);
}
