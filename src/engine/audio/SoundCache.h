// The decoded-sound cache: "cached\\<name>.cached" in the data folder holds a sound's samples as
// they were decoded, so a later start skips the Ogg decoder. A 16-byte wave format, a 36-byte
// buffer description and the sample byte count precede the samples (little-endian).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/audio/SoundBuffer.h"

class SoundCache {
public:
    static constexpr size_t kHeaderSize = 16 + 36 + 4;
    static constexpr uint32_t kDescriptionSize = 36;
    // Static buffer in software with volume and frequency control, as the file has always said.
    static constexpr uint32_t kBufferFlags = 0xAA;

    // "cached\\<name>.cached" with any extension of the name's last part removed.
    static std::string PathFor(std::string_view name);

    // Accepts only a file whose every size agrees with its length and whose format the mixer
    // plays; anything else is refused and `out` is left as it was.
    static bool Parse(const uint8_t* bytes, size_t size, SoundBuffer& out);
    static std::vector<uint8_t> Serialize(const SoundBuffer& buffer);

    // False when there is no cache file for the name or it cannot be trusted (logged).
    static bool Load(std::string_view name, SoundBuffer& out);
    // Written atomically; folders are made as needed.
    static bool Save(std::string_view name, const SoundBuffer& buffer);
};
