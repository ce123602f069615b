// Format checks shared by the WAV parser, the Ogg decoder, the sound cache and the mixer.
#include "engine/audio/SoundBuffer.h"

#include <utility>

SoundBuffer::SoundBuffer(const WaveFormat& format, std::vector<uint8_t> data)
    : mFormat(format), mData(std::move(data)) {}

bool SoundBuffer::IsPlayable(const WaveFormat& format) {
    if (format.formatTag != 1) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSecond < kMinRate || format.samplesPerSecond > kMaxRate) return false;
    return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

WaveFormat SoundBuffer::Pcm16(int channels, int rate) {
    WaveFormat format;
    format.formatTag = 1;
    format.channels = static_cast<uint16_t>(channels);
    format.samplesPerSecond = static_cast<uint32_t>(rate);
    format.blockAlign = static_cast<uint16_t>(channels * 2);
    format.averageBytesPerSecond = format.blockAlign * format.samplesPerSecond;
    format.bitsPerSample = 16;
    return format;
}

uint32_t SoundBuffer::FrameCount() const {
    if (mFormat.blockAlign == 0) return 0;
    return static_cast<uint32_t>(mData.size() / mFormat.blockAlign);
}
