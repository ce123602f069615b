// Ogg Vorbis decoding of generated tones: format, length and waveform, and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "AudioTestHelpers.h"
#include "engine/audio/OggDecoder.h"
#include "TestSupport.h"

namespace {

std::vector<uint8_t> ReadGenerated(const std::string& name) {
    std::vector<uint8_t> bytes = TestSupport::ReadBytes(AudioTest::GeneratedOgg(name));
    EXPECT_FALSE(bytes.empty()) << name << " was not generated";
    return bytes;
}

int16_t SampleAt(const SoundBuffer& buffer, size_t frame, int channel) {
    int16_t value;
    std::memcpy(&value, buffer.Data().data() + (frame * buffer.Format().channels + channel) * 2, 2);
    return value;
}

}  // namespace

TEST(OggDecoderTest, DecodesToneWithItsFormatLengthAndPitch) {
    const struct {
        const char* file;
        int channels, rate;
        double seconds, hertz;
    } cases[] = {
        {"tone_mono.ogg", 1, 44100, 1.5, 440},
        {"tone_stereo.ogg", 2, 22050, 0.2, 300},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = ReadGenerated(c.file);
        SoundBuffer out;
        ASSERT_TRUE(OggDecoder::Decode(bytes.data(), bytes.size(), out)) << c.file;
        EXPECT_EQ(out.Format().channels, c.channels) << c.file;
        EXPECT_EQ(out.Format().samplesPerSecond, static_cast<uint32_t>(c.rate)) << c.file;
        EXPECT_EQ(out.Format().bitsPerSample, 16) << c.file;
        EXPECT_EQ(out.FrameCount(), static_cast<uint32_t>(c.seconds * c.rate)) << c.file;
        // The generator writes a 0.5 sine per channel at hertz x (channel + 1).
        for (int channel = 0; channel < c.channels; ++channel) {
            int peak = 0, crossings = 0;
            for (size_t i = 1; i < out.FrameCount(); ++i) {
                peak = std::max(peak, std::abs(static_cast<int>(SampleAt(out, i, channel))));
                if ((SampleAt(out, i - 1, channel) < 0) != (SampleAt(out, i, channel) < 0)) ++crossings;
            }
            double expectedCrossings = 2 * c.hertz * (channel + 1) * c.seconds;
            EXPECT_NEAR(peak, 16384, 2000) << c.file << " channel " << channel;
            EXPECT_NEAR(crossings, expectedCrossings, expectedCrossings * 0.05) << c.file << " channel " << channel;
        }
    }
}

TEST(OggDecoderTest, DamagedFiles) {
    std::vector<uint8_t> good = ReadGenerated("tone_mono.ogg");
    SoundBuffer whole;
    ASSERT_TRUE(OggDecoder::Decode(good.data(), good.size(), whole));

    // Cut in the middle of the audio: what came before is kept.
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(good.size() * 2 / 3));
    SoundBuffer partial;
    ASSERT_TRUE(OggDecoder::Decode(cut.data(), cut.size(), partial));
    EXPECT_GT(partial.FrameCount(), 0u);
    EXPECT_LT(partial.FrameCount(), whole.FrameCount());

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"empty", {}},
        {"not Ogg", std::vector<uint8_t>(500, 'x')},
        {"headers cut", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
    };
    for (const auto& c : refused) {
        SoundBuffer out(SoundBuffer::Pcm16(1, 777), {1, 2});
        EXPECT_FALSE(OggDecoder::Decode(c.bytes.data(), c.bytes.size(), out)) << c.name;
        EXPECT_EQ(out.Format().samplesPerSecond, 777u) << c.name;
    }
}
