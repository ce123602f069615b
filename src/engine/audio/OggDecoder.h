// Decodes a whole Ogg Vorbis file held in memory to 16-bit PCM with the file's channel count and
// rate, through the integer decoder (Tremor). Hostile input stops decoding, never the game.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/audio/SoundBuffer.h"

class OggDecoder {
public:
    // Decoded output beyond this is dropped: over 25 minutes of stereo at 44.1 kHz.
    static constexpr size_t kMaxDecodedBytes = size_t(256) << 20;

    // True with `out` filled when the stream opened, is mono or stereo at a playable rate and gave
    // at least one sample frame. Decoding stops at the end of the stream, at a decoder error, or
    // where a chained stream changes its channel count or rate; what came before is kept.
    static bool Decode(const uint8_t* bytes, size_t size, SoundBuffer& out);
};
