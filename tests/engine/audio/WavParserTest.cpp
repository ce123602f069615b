// The WAV rule: the layouts the game accepts, and every header lie that must be refused or clamped.
#include <gtest/gtest.h>

#include "AudioTestHelpers.h"
#include "engine/audio/WavParser.h"

using AudioTest::MakeWav;
using AudioTest::WavSpec;

namespace {

WavParser::Result ParseText(const std::string& file, SoundBuffer& out) {
    return WavParser::Parse(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out);
}

std::vector<uint8_t> Ramp(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

}  // namespace

TEST(WavParserTest, AcceptsCommonLayouts) {
    struct Case {
        const char* name;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
        uint32_t formatSize;
        std::string chunkBeforeData;
    };
    const Case cases[] = {
        {"mono 8-bit 8 kHz", 1, 8000, 8, 16, ""},
        {"mono 16-bit 44.1 kHz", 1, 44100, 16, 16, ""},
        {"stereo 16-bit 22.05 kHz", 2, 22050, 16, 16, ""},
        {"stereo 8-bit 11.025 kHz", 2, 11025, 8, 16, ""},
        {"18-byte fmt chunk", 1, 48000, 16, 18, ""},
        {"LIST chunk before data", 2, 32000, 16, 16, std::string("LIST\x04\0\0\0abcd", 12)},
    };
    for (const Case& c : cases) {
        WavSpec spec;
        spec.channels = c.channels;
        spec.rate = c.rate;
        spec.bits = c.bits;
        spec.formatSize = c.formatSize;
        spec.chunkBeforeData = c.chunkBeforeData;
        spec.samples = Ramp(static_cast<size_t>(c.channels * c.bits / 8) * 10);
        SoundBuffer out;
        ASSERT_EQ(ParseText(MakeWav(spec), out), WavParser::Result::Ok) << c.name;
        EXPECT_EQ(out.Format().channels, c.channels) << c.name;
        EXPECT_EQ(out.Format().samplesPerSecond, c.rate) << c.name;
        EXPECT_EQ(out.Format().bitsPerSample, c.bits) << c.name;
        EXPECT_EQ(out.Format().averageBytesPerSecond, c.rate * out.Format().blockAlign) << c.name;
        EXPECT_EQ(out.FrameCount(), 10u) << c.name;
        EXPECT_EQ(out.Data(), spec.samples) << c.name;
    }
}

TEST(WavParserTest, RefusesBadHeadersWithoutTouchingTheOutput) {
    struct Case {
        const char* name;
        std::string file;
    };
    auto with = [](auto change) {
        WavSpec spec;
        spec.samples = Ramp(40);
        change(spec);
        return MakeWav(spec);
    };
    std::string good = with([](WavSpec&) {});
    std::string noRiff = good;
    noRiff.replace(0, 4, "RIFX");
    std::string noWave = good;
    noWave.replace(8, 4, "AVI ");
    const Case cases[] = {
        {"empty", ""},
        {"no RIFF", noRiff},
        {"no WAVE", noWave},
        {"cut inside the format", good.substr(0, 30)},
        {"fmt chunk not first", with([](WavSpec& s) { s.formatId = "junk"; })},
        {"fmt chunk too short", with([](WavSpec& s) { s.formatSize = 12; })},
        {"fmt chunk longer than the file", with([](WavSpec& s) { s.formatSize = 0x7FFFFFF0; s.samples.clear(); })},
        {"0 channels", with([](WavSpec& s) { s.channels = 0; s.blockAlign = 2; })},
        {"6 channels", with([](WavSpec& s) { s.channels = 6; })},
        {"block align 0", with([](WavSpec& s) { s.blockAlign = 0; })},
        {"block align disagrees", with([](WavSpec& s) { s.blockAlign = 3; })},
        {"24-bit", with([](WavSpec& s) { s.bits = 24; s.samples = Ramp(42); })},
        {"rate 0", with([](WavSpec& s) { s.rate = 0; })},
        {"absurd rate", with([](WavSpec& s) { s.rate = 4000000000u; })},
        {"float samples", with([](WavSpec& s) { s.formatTag = 3; s.bits = 16; })},
        {"no data chunk", with([](WavSpec& s) { s.dataId = "dat!"; })},
        {"data id at the very end", good.substr(0, 36) + "data"},
    };
    for (const Case& c : cases) {
        SoundBuffer out(SoundBuffer::Pcm16(2, 1234), {1, 2, 3, 4});
        EXPECT_EQ(ParseText(c.file, out), WavParser::Result::BadFile) << c.name;
        EXPECT_EQ(out.Format().samplesPerSecond, 1234u) << c.name << ": output was overwritten";
        EXPECT_EQ(out.Data().size(), 4u) << c.name;
    }
    SoundBuffer out;
    EXPECT_EQ(WavParser::Parse(nullptr, 100, out), WavParser::Result::BadFile);
}

TEST(WavParserTest, DataSizeIsClampedToTheFileAndToWholeFrames) {
    struct Case {
        const char* name;
        uint16_t channels;
        size_t sampleBytes;
        int64_t claimed;
        WavParser::Result result;
        uint32_t frames;
    };
    const Case cases[] = {
        {"claims 4 GB", 1, 20, 0xFFFFFFFFll, WavParser::Result::Ok, 10},
        {"claims one byte too many", 2, 40, 41, WavParser::Result::Ok, 10},
        {"half a frame at the end", 2, 42, -1, WavParser::Result::Ok, 10},
        {"claims less than present", 1, 40, 8, WavParser::Result::Ok, 4},
        {"empty data chunk", 1, 0, -1, WavParser::Result::NoSamples, 0},
        {"less than one frame", 2, 3, -1, WavParser::Result::NoSamples, 0},
    };
    for (const Case& c : cases) {
        WavSpec spec;
        spec.channels = c.channels;
        spec.samples = Ramp(c.sampleBytes);
        spec.dataSize = c.claimed;
        SoundBuffer out;
        ASSERT_EQ(ParseText(MakeWav(spec), out), c.result) << c.name;
        EXPECT_EQ(out.FrameCount(), c.frames) << c.name;
    }
}
