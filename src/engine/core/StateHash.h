// A 64-bit digest of what a player can see that matters (screens, score, pieces and where they
// are, counters), built the same way on every run, so a replayed game can be checked against
// the run it was recorded from. Values go in as fixed little-endian bytes (FNV-1a).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class StateHash {
public:
    void AddInt(int64_t value);
    void AddBool(bool value) { AddInt(value ? 1 : 0); }
    // Negative zero counts as zero and every NaN as one value, so equal-looking states agree.
    void AddFloat(float value);
    // The length goes in first, so ("ab", "c") and ("a", "bc") differ.
    void AddText(std::string_view text);

    uint64_t Value() const { return mValue; }
    // Sixteen lower-case hexadecimal digits.
    std::string Hex() const;

private:
    void AddBytes(const void* data, size_t size);
    uint64_t mValue = 14695981039346656037ull;
};
