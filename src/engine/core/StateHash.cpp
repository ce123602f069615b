// The state digest: FNV-1a over a fixed byte form of each value.
#include "engine/core/StateHash.h"

#include <cmath>
#include <cstdio>
#include <cstring>

void StateHash::AddBytes(const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        mValue ^= bytes[i];
        mValue *= 1099511628211ull;
    }
}

void StateHash::AddInt(int64_t value) {
    unsigned char bytes[8];
    uint64_t bits = uint64_t(value);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    AddBytes(bytes, sizeof bytes);
}

void StateHash::AddFloat(float value) {
    if (value == 0.0f) value = 0.0f;
    uint32_t bits = 0x7FC00000u;
    if (!std::isnan(value)) std::memcpy(&bits, &value, sizeof bits);
    AddInt(int64_t(bits));
}

void StateHash::AddText(std::string_view text) {
    AddInt(int64_t(text.size()));
    AddBytes(text.data(), text.size());
}

std::string StateHash::Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(mValue));
    return text;
}
