// Reads a whole ".wav" file into a SoundBuffer by the game's fixed-offset rule: "RIFF"/"WAVE", the
// format fields at offsets 20 to 34, then a forward scan from offset 34 for the "data" chunk.
// Every offset and size is checked against the bytes at hand; nothing is allocated from a header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/audio/SoundBuffer.h"

class WavParser {
public:
    enum class Result {
        Ok,
        BadFile,    // no signature, unusable format fields or no "data" chunk
        NoSamples,  // a well-formed file whose "data" chunk holds no whole sample frame
    };

    // On Ok, `out` holds the samples; otherwise it is left as it was.
    static Result Parse(const uint8_t* bytes, size_t size, SoundBuffer& out);
};
