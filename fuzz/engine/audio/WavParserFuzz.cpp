// Feeds arbitrary bytes to the WAV rule and, when accepted, checks the result stays inside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/audio/WavParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SoundBuffer out;
    if (WavParser::Parse(data, size, out) == WavParser::Result::Ok) {
        if (out.Data().empty() || out.Data().size() > size) std::abort();
        if (out.Data().size() % out.Format().blockAlign != 0) std::abort();
    }
    return 0;
}
