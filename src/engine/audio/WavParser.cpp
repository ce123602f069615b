// WAV files are read at fixed offsets: the "fmt " chunk at byte 12, its fields from byte 20, and the
// "data" chunk searched from byte 34 (files made by common tools put "fmt " first, so the offsets
// hold). Files where they would not are refused: a misplaced or short "fmt " chunk, or a format the
// mixer cannot play; a "data" size that claims more bytes than the file has is clamped.
#include "engine/audio/WavParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The format fields end at offset 36; the "fmt " chunk header sits at 12.
constexpr size_t kFormatEnd = 36;
constexpr size_t kScanStart = 34;

}  // namespace

WavParser::Result WavParser::Parse(const uint8_t* bytes, size_t size, SoundBuffer& out) {
    if (bytes == nullptr || size < kFormatEnd) return Result::BadFile;
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return Result::BadFile;
    if (std::memcmp(bytes + 12, "fmt ", 4) != 0) return Result::BadFile;
    uint32_t formatSize = U32(bytes + 16);
    if (formatSize < 16 || formatSize > size - 20) return Result::BadFile;

    WaveFormat format;
    format.formatTag = U16(bytes + 20);
    format.channels = U16(bytes + 22);
    format.samplesPerSecond = U32(bytes + 24);
    format.blockAlign = U16(bytes + 32);
    format.bitsPerSample = U16(bytes + 34);
    if (!SoundBuffer::IsPlayable(format)) return Result::BadFile;
    // The stored figure is only a hint some writers get wrong; the cache keeps the true one.
    format.averageBytesPerSecond = format.samplesPerSecond * format.blockAlign;

    size_t at = kScanStart;
    while (at + 4 <= size && std::memcmp(bytes + at, "data", 4) != 0) ++at;
    if (at + 8 > size) return Result::BadFile;
    size_t available = size - (at + 8);
    size_t count = std::min<size_t>(U32(bytes + at + 4), available);
    count -= count % format.blockAlign;
    if (count == 0) return Result::NoSamples;

    const uint8_t* samples = bytes + at + 8;
    out = SoundBuffer(format, std::vector<uint8_t>(samples, samples + count));
    return Result::Ok;
}
