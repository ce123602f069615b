// Builders for the sound tests: WAV files with any header field overridden, constant-valued
// buffers, and the generated Ogg files of the build folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/SoundBuffer.h"

namespace AudioTest {

struct WavSpec {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    int blockAlign = -1;        // -1: channels x bits / 8
    uint32_t formatSize = 16;   // size field of the "fmt " chunk; extra bytes are zeros
    std::string formatId = "fmt ";
    std::string dataId = "data";
    int64_t dataSize = -1;      // -1: the true size
    std::string chunkBeforeData;  // a whole chunk (id, size, body) placed between "fmt " and "data"
    std::vector<uint8_t> samples;
};

inline void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string MakeWav(const WavSpec& spec) {
    std::string body = "WAVE" + spec.formatId;
    Put(body, spec.formatSize, 4);
    Put(body, spec.formatTag, 2);
    Put(body, spec.channels, 2);
    Put(body, spec.rate, 4);
    int align = spec.blockAlign >= 0 ? spec.blockAlign : spec.channels * spec.bits / 8;
    Put(body, spec.rate * static_cast<uint32_t>(align), 4);
    Put(body, static_cast<uint32_t>(align), 2);
    Put(body, spec.bits, 2);
    if (spec.formatSize > 16 && spec.formatSize < 4096) body.append(spec.formatSize - 16, '\0');
    body += spec.chunkBeforeData;
    body += spec.dataId;
    Put(body, spec.dataSize >= 0 ? static_cast<uint32_t>(spec.dataSize) : static_cast<uint32_t>(spec.samples.size()), 4);
    body.append(spec.samples.begin(), spec.samples.end());
    std::string file = "RIFF";
    Put(file, static_cast<uint32_t>(body.size()), 4);
    return file + body;
}

// `frames` frames of 16-bit samples all equal to `value`, for every channel.
inline std::vector<uint8_t> Constant16(int frames, int channels, int16_t value) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < frames * channels; ++i) {
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>((static_cast<uint16_t>(value) >> 8) & 0xFF));
    }
    return bytes;
}

inline std::shared_ptr<const SoundBuffer> Buffer16(int frames, int channels, int rate, int16_t value) {
    return std::make_shared<const SoundBuffer>(SoundBuffer::Pcm16(channels, rate), Constant16(frames, channels, value));
}

// Real path of a generated Ogg file ("tone_mono.ogg", "tone_stereo.ogg") in the build folder.
inline std::string GeneratedOgg(const std::string& name) { return std::string(QS_AUDIO_TEST_DATA) + "/" + name; }

}  // namespace AudioTest
