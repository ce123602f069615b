// Feeds arbitrary bytes to the Ogg Vorbis decoder through the game's entry point.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/audio/OggDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SoundBuffer out;
    if (OggDecoder::Decode(data, size, out)) {
        if (!SoundBuffer::IsPlayable(out.Format()) || out.FrameCount() == 0) std::abort();
        if (out.Data().size() > OggDecoder::kMaxDecodedBytes) std::abort();
    }
    return 0;
}
