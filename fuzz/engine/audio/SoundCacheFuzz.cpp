// Feeds arbitrary bytes to the sound cache reader; an accepted file must write back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/audio/SoundCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SoundBuffer out;
    if (SoundCache::Parse(data, size, out)) {
        std::vector<uint8_t> again = SoundCache::Serialize(out);
        if (again.size() != size) std::abort();
        // Wave format, description size, buffer size, data size and samples must come back; the
        // flags and the zero fields are rewritten as the game writes them.
        if (std::memcmp(again.data(), data, 20) != 0 || std::memcmp(again.data() + 24, data + 24, 4) != 0) std::abort();
        if (std::memcmp(again.data() + 52, data + 52, size - 52) != 0) std::abort();
    }
    return 0;
}
