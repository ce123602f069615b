// The decoded samples of one sound and their wave format: what a channel plays and what the sound
// cache stores. Immutable once made; duplicated channels share one buffer through shared_ptr.
#pragma once

#include <cstdint>
#include <vector>

// The 16-byte wave format record, field for field as the cache file stores it.
struct WaveFormat {
    uint16_t formatTag = 1;  // 1 = PCM, the only kind the mixer plays
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

class SoundBuffer {
public:
    // Rates outside this range are refused: the channel frequency is clamped to it anyway.
    static constexpr uint32_t kMinRate = 100;
    static constexpr uint32_t kMaxRate = 100000;

    SoundBuffer() = default;
    SoundBuffer(const WaveFormat& format, std::vector<uint8_t> data);

    // PCM, 1 or 2 channels, 8 or 16 bits, a rate within range and a block align that matches.
    static bool IsPlayable(const WaveFormat& format);
    // The format of 16-bit PCM with `channels` and `rate`, derived fields filled in.
    static WaveFormat Pcm16(int channels, int rate);

    const WaveFormat& Format() const { return mFormat; }
    const std::vector<uint8_t>& Data() const { return mData; }
    uint32_t FrameCount() const;
    int Rate() const { return static_cast<int>(mFormat.samplesPerSecond); }

private:
    WaveFormat mFormat;
    std::vector<uint8_t> mData;
};
