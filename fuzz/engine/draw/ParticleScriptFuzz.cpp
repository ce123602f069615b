// The particle script parser on arbitrary text, then a few steps of the parsed script.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/draw/Particle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Particle particle;
    particle.AddScript(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int i = 0; i < 8; ++i) particle.Update();
    return 0;
}
