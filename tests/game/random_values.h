// Test helpers for the game's random source: seeds that make it yield chosen values next,
// and a count of the values an operation takes, found by replaying the generator.
// Both only seed and read the generator; each test seeds it before use.
#pragma once

#include "game_random.h"

#include <cstdint>
#include <vector>

// The generator's step is s' = s * 214013 + 2531011 and the value bits 16..30 of s'.
// The multiplier's inverse mod 2^32 takes a state one step back.
inline uint32_t state_before(uint32_t s) {
    uint32_t inverse = 1;
    for (int i = 0; i < 5; ++i) // Newton's iteration doubles the correct low bits each time
        inverse *= 2u - 214013u * inverse;
    return (s - 2531011u) * inverse;
}

// A seed after which the generator yields the values `first` and then `second`; every
// state whose bits 16..30 give `first` is tried (the low 16 bits and bit 31 are free).
inline bool seed_giving(int first, int second, uint32_t &seed) {
    for (uint32_t free = 0; free < 0x20000u; ++free) {
        uint32_t s1 = (static_cast<uint32_t>(first) << 16) | (free & 0xffffu) | ((free >> 16) << 31);
        uint32_t s2 = s1 * 214013u + 2531011u;
        if (static_cast<int>((s2 >> 16) & 0x7fff) == second) {
            seed = state_before(s1);
            return true;
        }
    }
    return false;
}

inline uint32_t seed_giving(int first) {
    return state_before(static_cast<uint32_t>(first) << 16);
}

// How many values op takes from the generator, seeded with `seed`: the values that follow
// op are matched against the sequence from the same seed. -1 if op took more than `limit`.
template <typename Op> int values_taken(uint32_t seed, Op op, int limit = 200) {
    game_srand(seed);
    op();
    std::vector<int> after;
    for (int i = 0; i < 4; ++i)
        after.push_back(game_rand());
    for (int n = 0; n <= limit; ++n) {
        game_srand(seed);
        for (int i = 0; i < n; ++i)
            game_rand();
        bool same = true;
        for (int v : after)
            same = same && game_rand() == v;
        if (same)
            return n;
    }
    return -1;
}
