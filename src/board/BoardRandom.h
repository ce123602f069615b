// The game's random source: an additive lagged Fibonacci generator of 55 words of 30 bits.
// Every random draw in the game goes through one of these, so a seed replays a game exactly.
#pragma once

#include <cstdint>

class BoardRandom {
public:
    static constexpr int kWords = 55;

    BoardRandom() { Seed(0); }
    explicit BoardRandom(uint32_t seed) { Seed(seed); }

    void Seed(uint32_t seed);
    // The next 24-bit value.
    int32_t Next();
    // 0 for n == 0; otherwise in [0, |n|), negated when a further Range(2) gives 1 if n was
    // negative or `isSigned` is set.
    int32_t Range(int32_t n, bool isSigned = false);
    // v when one Range(2) gives 1, otherwise -v.
    int32_t Sign(int32_t v);

    // Raw state, as saved boards store it: index j, index k, then the 55 words.
    int32_t mJ = 0;
    int32_t mK = 31;
    int32_t mWords[kWords] = {};
};

// The program-wide generator: board seeds, the journey map, the free-form board, cosmetics.
BoardRandom& ProgramRandom();
