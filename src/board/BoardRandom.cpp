// BoardRandom: additive lagged Fibonacci, 55 words of 30 bits, results of 24 bits.
#include "board/BoardRandom.h"

namespace {
constexpr uint32_t kMask30 = (1u << 30) - 1;
}

void BoardRandom::Seed(uint32_t seed) {
    mWords[0] = static_cast<int32_t>(seed & kMask30);
    mWords[1] = 1;
    for (int n = 2; n < kWords; ++n)
        mWords[n] = static_cast<int32_t>((static_cast<uint32_t>(mWords[n - 2]) + static_cast<uint32_t>(mWords[n - 1])) & kMask30);
    mJ = 0;
    mK = 31;
}

int32_t BoardRandom::Next() {
    // A loaded state may hold any indices; keep them inside the table.
    if (mJ < 0 || mJ >= kWords) mJ = 0;
    if (mK < 0 || mK >= kWords) mK = 31;
    uint32_t v = (static_cast<uint32_t>(mWords[mK]) + static_cast<uint32_t>(mWords[mJ])) & kMask30;
    mWords[mJ] = static_cast<int32_t>(v);
    mJ = (mJ + 1) % kWords;
    mK = (mK + 1) % kWords;
    return static_cast<int32_t>(v >> 6);
}

int32_t BoardRandom::Range(int32_t n, bool isSigned) {
    if (n == 0) return 0;
    uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    uint32_t p = 2;
    while (p < m && p < (1u << 31)) p <<= 1;
    uint32_t r = (static_cast<uint32_t>(Next()) & (p - 1)) % m;
    int32_t result = static_cast<int32_t>(r);
    if ((n < 0 || isSigned) && Range(2) == 1) result = -result;
    return result;
}

int32_t BoardRandom::Sign(int32_t v) { return Range(2) == 1 ? v : -v; }

BoardRandom& ProgramRandom() {
    static BoardRandom random;
    return random;
}
